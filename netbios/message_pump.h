// Delivers every message waiting in the calling thread's queue, each to its window at once, so
// the window stays responsive during long work on its thread.
#pragma once

void PumpPendingMessages();
