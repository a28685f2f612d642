#pragma once

#include <cstddef>

namespace quillet {

enum class TrafficDirection { Sent, Received };

// Sees every byte the link writes (window thread, one call a write) and every byte the
// reader receives (reader thread, one call a byte), for kv31's --trace. It must be quick
// and may not call back into the link.
using TrafficObserver = void (*)(TrafficDirection direction, const unsigned char* bytes,
                                 std::size_t count);

// nullptr: nobody watches. Returns the previous observer.
TrafficObserver setTrafficObserver(TrafficObserver observer);

// The link's own calls.
void reportTraffic(TrafficDirection direction, const unsigned char* bytes, std::size_t count);

}  // namespace quillet
