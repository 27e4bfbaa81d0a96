// What an administrator's policy value means to the program. The values come
// from Software\Policies\Kestrelon\Mappa, the machine's key first, then the
// user's (PolicyStore.h reads them); a value that breaks these rules is
// treated as if it were not there, so that a mistyped policy leaves the
// program working as without it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mappa {

inline constexpr const char* kPolicyKey = "Software\\Policies\\Kestrelon\\Mappa";
inline constexpr const char* kDataFilePolicy = "DataFile";
inline constexpr const char* kRestorePositionsPolicy = "RestorePositions";

// One policy value as the registry held it, its text already in UTF-8 (and
// expanded, where it was REG_EXPAND_SZ).
struct PolicyValue {
    enum class Kind { Missing, Text, Number, Other };
    Kind kind = Kind::Missing;
    std::string text;
    std::uint32_t number = 0;
};

// A switch is a number, 0 or 1: what the templates write.
std::optional<bool> SwitchPolicy(const PolicyValue& value);

// A path must be a full one ("C:\..." or "\\server\share\..."): a relative
// one would depend on the folder the program happened to be started in. The
// spaces and one pair of quotes that a pasted path brings along are dropped.
std::optional<std::string> PathPolicy(const PolicyValue& value);

bool IsFullPath(std::string_view path);

}  // namespace mappa
