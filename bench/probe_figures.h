#pragma once

// The figures the timing probes print: quantiles of a list of milliseconds.

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tavrelia::probe {

inline double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<size_t>(q * double(values.size() - 1))];
}

// One line: the name, the count, p50, p99 and the largest, and the target.
inline void report(const char* name, const std::vector<double>& values, const char* target)
{
    std::printf("%-34s %4zu: p50 %7.3f ms, p99 %7.3f ms, max %7.3f ms  (%s)\n", name, values.size(),
                quantile(values, 0.5), quantile(values, 0.99),
                values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()), target);
}

}  // namespace tavrelia::probe
