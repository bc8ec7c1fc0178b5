#include "Measure.h"

#include <QFile>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

namespace Measure {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double medianMs(int repetitions, const std::function<void()> &work, const std::function<void()> &prepare)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        if (prepare)
            prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return median(std::move(times));
}

std::pair<double, double> alternatingMedianMs(int repetitions, const Timed &first, const Timed &second)
{
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < repetitions; ++i) {
        a.push_back(medianMs(1, first.work, first.prepare));
        b.push_back(medianMs(1, second.work, second.prepare));
    }
    return {median(std::move(a)), median(std::move(b))};
}

long peakResidentKb()
{
#ifdef Q_OS_LINUX
    // VmHWM belongs to the current address space. ru_maxrss would be no good in a child process: Linux
    // carries the parent's peak over through fork and exec.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

void figure(const std::string &name, double value)
{
    if (value == static_cast<double>(static_cast<long long>(value)))
        std::printf("%s %lld\n", name.c_str(), static_cast<long long>(value));
    else
        std::printf("%s %.3f\n", name.c_str(), value);
    std::fflush(stdout);
}

bool ratio(const std::string &name, double value, double bound)
{
    const bool ok = value <= bound;
    std::printf("ratio %s %.3f target %g %s\n", name.c_str(), value, bound, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    return ok;
}

} // namespace Measure
