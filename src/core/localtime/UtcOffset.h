#pragma once

#include <cstdint>

namespace mappa::localtime {

struct UtcOffset {
    std::int32_t seconds = 0;  // east of UTC
    bool daylight = false;
    bool operator==(const UtcOffset&) const = default;
};

}  // namespace mappa::localtime
