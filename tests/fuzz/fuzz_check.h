#pragma once

#include <cstdio>
#include <cstdlib>

namespace quillet::fuzz {

// A broken property must stop the run in every build type, so not assert().
inline void check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace quillet::fuzz
