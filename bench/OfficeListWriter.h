// Writes made-up office lists in the Mappa2.dat format, for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace mappa::bench {

// The country of the office in the middle of every generated list; no other
// office has it.
inline constexpr const char* kMiddleCountry = "Middle Kingdom of Benchmarks";
// A country that no generated list holds.
inline constexpr const char* kAbsentCountry = "Atlantis";

struct OfficeListShape {
    std::size_t offices = 0;
    std::size_t lines = 0;   // lines before the empty line that ends the data
    std::size_t bytes = 0;
};

// The text of a list of `offices` offices: a header, a mix of the optional
// phone and toll-free lines, separator lines, some comment lines, and about
// 40% of the offices in a country that another office has too. The same
// count always gives the same text.
std::string MakeOfficeList(std::size_t offices, OfficeListShape* shape = nullptr);

}  // namespace mappa::bench
