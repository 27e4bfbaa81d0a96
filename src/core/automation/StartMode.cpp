#include "automation/StartMode.h"

#include <algorithm>

#include "support/Support2.h"

namespace mappa {

StartMode ParseStartMode(const std::vector<std::string>& arguments)
{
    const auto has = [&](std::string_view name) {
        return std::any_of(arguments.begin(), arguments.end(), [&](const std::string& argument) {
            return argument.size() == name.size() + 1 && (argument.front() == '/' || argument.front() == '-') &&
                   StartsWithText(std::string_view(argument).substr(1), name);
        });
    };
    if (has("AUTOMATION") || has("EMBEDDING")) return StartMode::Automation;
    if (has("REGSERVER")) return StartMode::Register;
    if (has("UNREGSERVER")) return StartMode::Unregister;
    return StartMode::Standalone;
}

}  // namespace mappa
