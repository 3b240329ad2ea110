#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when a property does not hold: the fuzzer keeps the input that broke it, and
// the seed-corpus test fails with the property's name.
inline void fuzzCheck(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}
