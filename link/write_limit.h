#pragma once

#include <cstddef>

namespace quillet {

// How long a write may take before it is cancelled: twice what its bytes need on the wire
// (ten bit times a byte at the port's baud, 8N1) and one second more, so that only a driver
// or a far end that never takes the bytes reaches it.
constexpr long long writeTimeLimitMs(std::size_t count, int baud) {
    const long long bits = static_cast<long long>(count) * 10;
    const long long wireMs = baud > 0 ? (bits * 1000 + baud - 1) / baud : 0;
    return 2 * wireMs + 1000;
}

}  // namespace quillet
