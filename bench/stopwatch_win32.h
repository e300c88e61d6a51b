// Wall and CPU time for the benchmarks run under Wine.
#pragma once

#include <windows.h>

inline LARGE_INTEGER clock_now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

inline double milliseconds_since(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Kernel and user time together, as GetThreadTimes and GetProcessTimes give
// them: on a busy machine a fairer figure than the wall time.
inline double cpu_milliseconds(FILETIME kernel, FILETIME user) {
    auto ms = [](FILETIME t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}
