#pragma once

// Whether work grows in proportion to its size: timed at one size and at twice that size, in processor
// time (a busy shared machine stretches the time on the clock, not the work), the fastest of a few rounds.
#include <QString>

#include <algorithm>
#include <ctime>
#include <functional>
#include <limits>

namespace GrowthTiming {

// Twice the size may take up to this many times as long: linear work measured 2.1 to 2.9 here (the caches
// and the logarithm of the maps), work that grows with the square 4.3 to 6.9.
inline constexpr double MostGrowth = 3.5;
// Below this the clock's grain and the caches decide; the square took seconds at the sizes tested.
inline constexpr double NoiseMs = 30;

inline double fastestCpuMs(const std::function<void()> &work, int rounds = 5)
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round) {
        const std::clock_t start = std::clock();
        work();
        best = std::min(best, double(std::clock() - start) * 1000 / CLOCKS_PER_SEC);
    }
    return best;
}

inline bool grewInProportion(double onceMs, double twiceMs)
{
    return twiceMs < MostGrowth * onceMs || twiceMs < NoiseMs;
}

inline QString describe(double onceMs, int size, double twiceMs)
{
    return QStringLiteral("%1 ms at %2, %3 ms at twice that").arg(onceMs).arg(size).arg(twiceMs);
}

} // namespace GrowthTiming
