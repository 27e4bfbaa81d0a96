// Every text that the local time and opening hours show to the user, in one
// place for translation. %1 and %2 stand for the parts filled in, in the
// user's own time and day formats.
#pragma once

#include <string>
#include <string_view>

namespace mappa::texts {

inline constexpr const char* kLocalTimeLabel = "Local time:";
// "14:35 Tuesday (UTC+09:00)": time, day, offset.
inline constexpr const char* kLocalTimeNow = "%1 %2 (%3)";
// "14:35 Tuesday", in lists: time, day.
inline constexpr const char* kLocalTimeShort = "%1 %2";
inline constexpr const char* kOpenClosesAt = "open, closes %1";          // closing time today
inline constexpr const char* kOpenClosesOn = "open, closes %2 %1";       // closing time, day
inline constexpr const char* kClosedOpensAt = "closed, opens %1";        // opening time today
inline constexpr const char* kClosedOpensOn = "closed, opens %2 %1";     // opening time, day
inline constexpr const char* kOpenAlways = "open";
inline constexpr const char* kClosedAlways = "closed";
// Between the time and the state: "14:35 Tuesday (UTC+09:00), open, closes 17:30".
inline constexpr const char* kTimeAndState = "%1, %2";
// After an office's name in the hover tooltip: "..., 14:35 local time, open".
inline constexpr const char* kTipLocalTime = "%1 local time";
inline constexpr const char* kTipOpen = "open";
inline constexpr const char* kTipClosed = "closed";
// The find dialog.
inline constexpr const char* kFindLocalTimeColumn = "Local time";

// Fills %1, %2, %3 of a text.
inline std::string Fill(std::string_view pattern, std::string_view one, std::string_view two = {},
                        std::string_view three = {})
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '3') {
            const char which = pattern[++i];
            text += which == '1' ? one : which == '2' ? two : three;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace mappa::texts
