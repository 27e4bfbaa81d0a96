// The benchmark report: durations in readable units and one row per measurement.
#pragma once

#include <string>
#include <vector>

#include "Stopwatch.h"

namespace mappa::winbench {

double Median(std::vector<double> values);
std::string Duration(double seconds);
std::string Milliseconds(double seconds);
std::string Microseconds(double seconds);
void PrintHeader();
void PrintRow(const char* size, const std::string& name, const Timing& timing);

}  // namespace mappa::winbench
