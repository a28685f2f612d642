#include "link/traffic_trace.h"

#include <atomic>

namespace quillet {

namespace {

std::atomic<TrafficObserver> trafficObserver{nullptr};

}  // namespace

TrafficObserver setTrafficObserver(TrafficObserver observer) {
    return trafficObserver.exchange(observer);
}

void reportTraffic(TrafficDirection direction, const unsigned char* bytes, std::size_t count) {
    if (TrafficObserver observer = trafficObserver.load(std::memory_order_acquire)) {
        observer(direction, bytes, count);
    }
}

}  // namespace quillet
