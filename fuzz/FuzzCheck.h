// What the fuzz targets share: a property that must hold for every input the
// loader accepted. A broken property stops the fuzzer like a crash does, with
// the input kept as an artifact.
#pragma once

#include <cstdio>
#include <cstdlib>

#define REEF_FUZZ_REQUIRE(condition)                                                      \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)
