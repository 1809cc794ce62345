// Error rate from an adapter's statistics, and the refresh of a record's figures.
#pragma once

#include "netbios/lana_node.h"

// Errors per whole hundred frames; the frame total wraps at 32 bits, nothing is rounded.
unsigned ComputeErrorRate(const ADAPTER_STATUS& status);

// Queries the record's adapter; on success rewrites send_dgram's minutes_running and
// error_rate (low 8 bits), on failure leaves the record exactly as it was.
void RefreshAdapterStats(LANA_NODE* node);
