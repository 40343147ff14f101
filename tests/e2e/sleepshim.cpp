// sleepshim.cpp - preloaded by the end-to-end test: a machine that slept, as CLOCK_BOOTTIME running ahead of
// CLOCK_MONOTONIC by the seconds written in $SLEPT_FILE (read afresh on every call). libfaketime moves both
// clocks together or neither, which looks like a program that stood still.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long Slept() {
    const char* path = std::getenv("SLEPT_FILE");
    std::FILE* file = path != nullptr ? std::fopen(path, "r") : nullptr;
    long seconds = 0;
    if (file != nullptr) {
        if (std::fscanf(file, "%ld", &seconds) != 1)
            seconds = 0;
        std::fclose(file);
    }
    return seconds;
}

} // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* time) {
    using Real = int (*)(clockid_t, timespec*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = real(clock, time);
    if (result == 0 && clock == CLOCK_BOOTTIME)
        time->tv_sec += Slept();
    return result;
}
