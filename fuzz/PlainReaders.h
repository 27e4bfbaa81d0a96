// Plain readers, written the slow, obvious way, that the fuzz targets hold
// the data file's decoding and line splitting against.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mappa::fuzz {

struct PlainDecoding {
    std::string text;
    std::vector<std::size_t> replaced;  // offsets of the U+FFFD that stand for malformed input
};

// The file's bytes decoded as the reader does: UTF-8 after its byte order
// mark, UTF-16LE after its mark, else Windows-1252; each malformed sequence
// replaced by one U+FFFD.
PlainDecoding PlainDecode(std::string_view bytes);

// Lines cut the slow, obvious way: CR, LF and CR LF each end a line; a final
// line break adds no empty line. The text holds no NUL.
std::vector<std::string> PlainLines(std::string_view text);

}  // namespace mappa::fuzz
