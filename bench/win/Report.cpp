#include "Report.h"

#include <algorithm>
#include <cstdio>

namespace mappa::winbench {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Duration(double seconds)
{
    char text[32];
    if (seconds >= 1.0) std::snprintf(text, sizeof text, "%.3f s", seconds);
    else if (seconds >= 1e-3) std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6) std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    else std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
    return text;
}

std::string Milliseconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    return text;
}

std::string Microseconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, seconds * 1e6 >= 100 ? "%.0f us" : "%.1f us", seconds * 1e6);
    return text;
}

void PrintHeader()
{
    std::printf("%-7s %-40s %12s %12s %12s %16s\n", "offices", "measurement", "median", "min", "max", "samples x reps");
    std::printf("%s\n", std::string(104, '-').c_str());
}

void PrintRow(const char* size, const std::string& name, const Timing& timing)
{
    std::printf("%-7s %-40s %12s %12s %12s %9d x %-6lld\n", size, name.c_str(), Duration(timing.median).c_str(),
                Duration(timing.min).c_str(), Duration(timing.max).c_str(), timing.samples,
                static_cast<long long>(timing.repetitions));
    std::fflush(stdout);
}

}  // namespace mappa::winbench
