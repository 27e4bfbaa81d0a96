// The administrators' policies, read from the registry: a policy decides over
// the user's own setting, and the user cannot change it from the program.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "support/PolicyRules.h"

namespace mappa {

// One value under `root`\Software\Policies\Kestrelon\Mappa, read-only. Anything
// that cannot be read is Missing; REG_EXPAND_SZ comes back expanded.
PolicyValue ReadPolicyValue(HKEY root, const std::string& name);

// The policy in force: the machine's, else the user's; nothing when neither
// holds a valid value, and the user's own setting then decides.
std::optional<bool> PolicySwitch(const std::string& name);
std::optional<std::string> PolicyPath(const std::string& name);

}  // namespace mappa
