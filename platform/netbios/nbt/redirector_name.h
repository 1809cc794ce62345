// The station's redirector name: the computer name upper-cased, cut to 15 bytes, padded with
// spaces, 16th byte 0x02.
#pragma once

#include <string>
#include <string_view>

#include "platform/netbios/nbt/netbios_name.h"

constexpr UCHAR kRedirectorSuffix = 0x02;

// The computer name: env_value (NB_COMPUTERNAME) when set and not empty, else the first label
// of host_name.
std::string ChooseComputerName(const char* env_value, std::string_view host_name);

NetbiosName RedirectorName(std::string_view computer_name);

// RedirectorName of this machine, from NB_COMPUTERNAME or the host name.
NetbiosName LocalRedirectorName();
