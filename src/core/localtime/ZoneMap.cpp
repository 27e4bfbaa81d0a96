#include "localtime/ZoneMap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace mappa::localtime {

namespace {

constexpr std::uint16_t kNautical = 0x7FFF;

std::uint16_t U16(const unsigned char* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }
std::uint32_t U32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

[[noreturn]] void Damaged() { throw std::runtime_error("the time-zone map is damaged"); }

}  // namespace

std::string_view NauticalZone(double longitude) {
    static const std::array<std::string, 25> kNames = [] {
        std::array<std::string, 25> names;
        for (int hours = -12; hours <= 12; ++hours) {
            names[static_cast<std::size_t>(hours + 12)] =
                hours == 0 ? "Etc/GMT" : "Etc/GMT" + std::string(hours > 0 ? "-" : "+") + std::to_string(std::abs(hours));
        }
        return names;
    }();
    if (!(longitude >= -180.0)) longitude = -180.0;  // NaN too
    if (longitude > 180.0) longitude = 180.0;
    const int hours = static_cast<int>(std::lround(longitude / 15.0));
    return kNames[static_cast<std::size_t>(hours + 12)];
}

ZoneMap ZoneMap::Parse(std::span<const unsigned char> data) {
    std::size_t at = 0;
    const auto need = [&](std::size_t count) {
        if (count > data.size() - at) Damaged();
        const unsigned char* here = data.data() + at;
        at += count;
        return here;
    };
    if (std::memcmp(need(4), "MZM1", 4) != 0) Damaged();
    ZoneMap map;
    const std::uint16_t zones = U16(need(2));
    map.names_.reserve(zones);
    for (std::uint16_t i = 0; i < zones; ++i) {
        const std::size_t length = *need(1);
        map.names_.emplace_back(reinterpret_cast<const char*>(need(length)), length);
    }
    map.topDepth_ = *need(1);
    map.finestDepth_ = *need(1);
    if (map.topDepth_ > 12 || map.finestDepth_ < map.topDepth_ || map.finestDepth_ > 24) Damaged();
    const std::size_t topCount = std::size_t{1} << (2 * map.topDepth_);
    map.topCells_ = need(topCount * 4);
    map.nodeCount_ = U32(need(4));
    map.nodes_ = need(std::size_t{map.nodeCount_} * 8);
    if (at != data.size()) Damaged();

    // Every reference checked once here, so that a lookup needs no checks.
    const auto checkLeaf = [&](std::uint32_t zone) {
        if (zone != kNautical && zone >= zones) Damaged();
    };
    for (std::size_t cell = 0; cell < topCount; ++cell) {
        const std::uint32_t entry = U32(map.topCells_ + cell * 4);
        if (entry & 0x80000000u) {
            checkLeaf(entry & 0x7FFF);
            continue;
        }
        if (entry >= map.nodeCount_) Damaged();
    }
    for (std::uint32_t node = 0; node < map.nodeCount_; ++node) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            const std::uint16_t entry = U16(map.nodes_ + node * 8 + quarter * 2);
            if (!(entry & 0x8000)) checkLeaf(entry);
        }
    }
    // Child references are relative to their top cell's first node; a child
    // always comes after its parent, and the walk stops at the finest depth.
    for (std::size_t cell = 0; cell < topCount; ++cell) {
        const std::uint32_t base = U32(map.topCells_ + cell * 4);
        if (base & 0x80000000u) continue;
        std::vector<std::pair<std::uint32_t, int>> pending{{base, map.topDepth_}};
        while (!pending.empty()) {
            const auto [node, depth] = pending.back();
            pending.pop_back();
            if (depth >= map.finestDepth_) Damaged();
            for (int quarter = 0; quarter < 4; ++quarter) {
                const std::uint16_t entry = U16(map.nodes_ + node * 8 + quarter * 2);
                if (!(entry & 0x8000)) continue;
                const std::uint32_t child = base + (entry & 0x7FFF);
                if (child <= node || child >= map.nodeCount_) Damaged();
                pending.push_back({child, depth + 1});
            }
        }
    }
    return map;
}

std::string_view ZoneMap::ZoneAt(double latitude, double longitude) const {
    const double cells = static_cast<double>(std::uint32_t{1} << finestDepth_);
    const auto cellOf = [&](double fraction) {
        const double scaled = std::floor(fraction * cells);
        if (!(scaled >= 0.0)) return std::uint32_t{0};  // NaN too
        return scaled >= cells ? static_cast<std::uint32_t>(cells) - 1 : static_cast<std::uint32_t>(scaled);
    };
    const std::uint32_t x = cellOf((longitude + 180.0) / 360.0);
    const std::uint32_t y = cellOf((90.0 - latitude) / 180.0);
    const int below = finestDepth_ - topDepth_;
    const std::uint32_t top = ((y >> below) << topDepth_) | (x >> below);
    const std::uint32_t entry = U32(topCells_ + top * 4);
    std::uint32_t zone;
    if (entry & 0x80000000u) {
        zone = entry & 0x7FFF;
    } else {
        const std::uint32_t base = entry;
        std::uint32_t node = base;
        int bit = below - 1;
        for (;;) {
            const std::uint32_t quarter = ((y >> bit) & 1) << 1 | ((x >> bit) & 1);
            const std::uint16_t child = U16(nodes_ + node * 8 + quarter * 2);
            if (!(child & 0x8000)) {
                zone = child;
                break;
            }
            node = base + (child & 0x7FFF);
            --bit;
        }
    }
    return zone == kNautical ? NauticalZone(longitude) : std::string_view(names_[zone]);
}

}  // namespace mappa::localtime
