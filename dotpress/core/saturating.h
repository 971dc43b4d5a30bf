// Counts that stop at their type's limit: a job of more pages, copies or characters than 32 bits
// hold reads as the largest count there is, never as a small one that wrapped around.
#pragma once

#include <cstdint>
#include <limits>

namespace dotpress {

constexpr uint32_t kCountLimit = std::numeric_limits<uint32_t>::max();

inline uint32_t saturated(uint64_t value) {
    return value > kCountLimit ? kCountLimit : static_cast<uint32_t>(value);
}

inline uint32_t saturatingAdd(uint32_t a, uint32_t b) {
    return saturated(static_cast<uint64_t>(a) + b);
}

inline uint32_t saturatingProduct(uint32_t a, uint32_t b) {
    return saturated(static_cast<uint64_t>(a) * b);
}

} // namespace dotpress
