// A small deterministic random source. std:: distributions are avoided on
// purpose: their output differs between standard libraries, and a data set
// must be the same for the same seed everywhere.
#pragma once

#include <cstdint>

namespace kw39::gen {

// splitmix64: tiny state, good enough mixing for test data, fast.
class Random {
  public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    // A stream of its own for one subject (an employee, a table row...), so each
    // part of the data set can be produced independently and in any order.
    static Random For(std::uint64_t seed, std::uint64_t subject, std::uint64_t stream) {
        Random mixer(seed ^ (subject * 0x9E3779B97F4A7C15ull) ^ (stream * 0xC2B2AE3D27D4EB4Full));
        return Random(mixer.Next());
    }

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, n); n must be positive. The slight modulo bias is harmless here.
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

    // Uniform in [low, high]; low when the range is empty.
    long long Between(long long low, long long high) {
        if (high <= low) return low;
        return low + static_cast<long long>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }

    // True with the given chance in percent.
    bool Percent(int chance) { return Below(100) < chance; }

  private:
    std::uint64_t m_state;
};

}  // namespace kw39::gen
