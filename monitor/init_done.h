// Raised by the monitor dialog on every way out of its initialization; read by the splash.
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<std::uint32_t> g_bInitDone;
