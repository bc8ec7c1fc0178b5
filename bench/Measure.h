#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Timing and output helpers shared by the benchmarks.
namespace Measure {

// The median of some durations.
double median(std::vector<double> values);

// Runs `work` `repetitions` times and returns the median duration in milliseconds. `prepare`, when
// given, runs before each repetition outside the timing.
double medianMs(int repetitions, const std::function<void()> &work, const std::function<void()> &prepare = {});

struct Timed
{
    std::function<void()> work;
    std::function<void()> prepare = {};
};
// Times two pieces of work in turn, `repetitions` times each, and returns both medians in milliseconds:
// whatever the machine and its disk are doing then slows both alike.
std::pair<double, double> alternatingMedianMs(int repetitions, const Timed &first, const Timed &second);

// The peak resident size of this process image so far, in KiB (0 where the system cannot tell).
long peakResidentKb();

// `<figure> <value>`
void figure(const std::string &name, double value);
// `ratio <name> <value> target <bound> <ok|MISSED>`; returns whether the target was met.
bool ratio(const std::string &name, double value, double bound);

} // namespace Measure
