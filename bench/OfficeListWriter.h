// Writes made-up office lists in the Mappa2.dat format, for the benchmarks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

enum class OfficeLetters {
    Ascii,    // names, streets and cities in plain ASCII
    Western,  // cities and streets with the letters of Western Europe (all in Windows-1252)
};

// The text of a list of `offices` offices, in UTF-8 without a byte-order
// mark: a header, a mix of the optional phone and toll-free lines, separator
// lines, some comment lines, and about 40% of the offices in a country that
// another office has too. The same arguments always give the same text.
std::string MakeOfficeList(std::size_t offices, OfficeListShape* shape = nullptr,
                           OfficeLetters letters = OfficeLetters::Ascii);

// The same text as a file in another encoding: Windows-1252 (for text whose
// letters all lie below U+0100), or with a byte-order mark, UTF-8 or UTF-16 LE.
std::string ToWindows1252(std::string_view utf8);
std::string WithUtf8Mark(std::string_view utf8);
std::string ToUtf16WithMark(std::string_view utf8);

}  // namespace mappa::bench
