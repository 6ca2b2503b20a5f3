// Bit counts in the hot loops of the line splits and the encoding check.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace kw39::platform {

// The number of bits set. Without an instruction for it in the target (the
// baseline x86-64 has none), std::popcount is a library call; this counts
// in place instead.
inline std::size_t CountOnes(std::uint64_t bits) {
#if defined(__POPCNT__)
    return static_cast<std::size_t>(std::popcount(bits));
#else
    bits = bits - ((bits >> 1) & 0x5555555555555555u);
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<std::size_t>((bits * 0x0101010101010101u) >> 56);
#endif
}

}  // namespace kw39::platform
