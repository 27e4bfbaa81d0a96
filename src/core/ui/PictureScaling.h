// Resizing a picture so that every pixel keeps its place: each pixel of the
// result is the average of the source over exactly the area it covers.
#pragma once

#include <cstdint>
#include <span>

namespace mappa {

// Scales `source` (sourceWidth x sourceHeight pixels 0x00RRGGBB, rows from
// the top) to width x height into `target`. Column x of the result covers
// source columns [x * sourceWidth / width, (x + 1) * sourceWidth / width),
// rows likewise, and gets the mean colour of that rectangle, each source
// pixel weighted by the share of it inside, rounded to the nearest value.
// Works both ways: shrinking averages, enlarging repeats pixels and blends
// only where a source pixel edge falls inside a target pixel. Same size:
// an exact copy. Every size must be positive and the spans that large.
void ScaleByAreaAverage(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                        std::span<std::uint32_t> target, int width, int height);

}  // namespace mappa
