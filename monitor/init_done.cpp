#include "monitor/init_done.h"

std::atomic<std::uint32_t> g_bInitDone{0};
