#pragma once

#include <cstdint>

// A small deterministic generator (splitmix64), so that every run benchmarks the same collection.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) { }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A number from low to high, both included.
    int between(int low, int high)
    {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

    double unit() { return static_cast<double>(next() >> 11) / static_cast<double>(1ULL << 53); }

private:
    std::uint64_t m_state;
};
