#include "ui/PictureScaling.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace mappa {
namespace {

struct Share {
    std::size_t index;     // source column or row
    std::uint64_t weight;  // its overlap with the target pixel
};

// For each of `count` target pixels along one axis, the source pixels under it
// and their overlaps. Measured in units of 1 / (sourceCount * count) of the
// axis, a source pixel is `count` long and a target pixel `sourceCount`, so
// every overlap is a whole number and each target pixel's weights add up to
// `sourceCount`.
std::vector<std::vector<Share>> SharesAlong(int sourceCount, int count)
{
    const auto source_length = static_cast<std::uint64_t>(count);
    const auto target_length = static_cast<std::uint64_t>(sourceCount);
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(count));
    for (std::size_t t = 0; t < shares.size(); ++t) {
        const std::uint64_t begin = t * target_length, end = begin + target_length;
        for (std::uint64_t s = begin / source_length; s * source_length < end; ++s) {
            const std::uint64_t overlap =
                std::min(end, (s + 1) * source_length) - std::max(begin, s * source_length);
            shares[t].push_back({static_cast<std::size_t>(s), overlap});
        }
    }
    return shares;
}

}  // namespace

void ScaleByAreaAverage(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                        std::span<std::uint32_t> target, int width, int height)
{
    if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0)
        throw std::invalid_argument("picture sizes must be positive");
    const auto source_columns = static_cast<std::size_t>(sourceWidth);
    const auto columns = static_cast<std::size_t>(width);
    if (source.size() / source_columns < static_cast<std::size_t>(sourceHeight) ||
        target.size() / columns < static_cast<std::size_t>(height))
        throw std::invalid_argument("picture smaller than its size");

    const auto across = SharesAlong(sourceWidth, width);
    const auto down = SharesAlong(sourceHeight, height);
    const std::uint64_t total = static_cast<std::uint64_t>(sourceWidth) * static_cast<std::uint64_t>(sourceHeight);

    // One target row at a time: blend its source rows into `blended`, then
    // blend columns of that into the target row.
    std::vector<std::uint64_t> blended(3 * source_columns);
    for (std::size_t y = 0; y < down.size(); ++y) {
        std::fill(blended.begin(), blended.end(), 0);
        for (const Share& row : down[y]) {
            const std::uint32_t* pixels = source.data() + row.index * source_columns;
            for (std::size_t x = 0; x < source_columns; ++x) {
                blended[3 * x] += row.weight * ((pixels[x] >> 16) & 0xFF);
                blended[3 * x + 1] += row.weight * ((pixels[x] >> 8) & 0xFF);
                blended[3 * x + 2] += row.weight * (pixels[x] & 0xFF);
            }
        }
        std::uint32_t* out = target.data() + y * columns;
        for (std::size_t x = 0; x < columns; ++x) {
            std::uint64_t red = 0, green = 0, blue = 0;
            for (const Share& column : across[x]) {
                red += column.weight * blended[3 * column.index];
                green += column.weight * blended[3 * column.index + 1];
                blue += column.weight * blended[3 * column.index + 2];
            }
            const auto mean = [total](std::uint64_t sum) { return static_cast<std::uint32_t>((sum + total / 2) / total); };
            out[x] = mean(red) << 16 | mean(green) << 8 | mean(blue);
        }
    }
}

}  // namespace mappa
