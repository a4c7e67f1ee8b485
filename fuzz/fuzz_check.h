#pragma once
// What the harnesses share: a check that stops the process the way libFuzzer
// and CTest both notice, with the broken property named on stderr.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                              \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
      std::abort();                                                              \
    }                                                                            \
  } while (false)
