// How the program was started, read from its command line.
#pragma once

#include <string>
#include <vector>

namespace mappa {

enum class StartMode { Standalone, Automation, Register, Unregister };

// Switches are written after "/" or "-" in any letter case: AUTOMATION or
// EMBEDDING (started by COM), REGSERVER, UNREGSERVER. Other arguments are ignored.
StartMode ParseStartMode(const std::vector<std::string>& arguments);

}  // namespace mappa
