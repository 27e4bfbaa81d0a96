// The link that a command line asks Mappa to open: "/link mappa:..." as the
// shell starts it for a clicked link, or the same as switches:
// "/office NAME [/country COUNTRY]" and "/find TEXT". The first argument
// decides; a command line that asks for a link takes no other switch, so that
// a link with a quote in it cannot add "/unregserver" of its own.
#pragma once

#include <optional>
#include <string_view>

#include "automation/MappaLink.h"

namespace mappa {

// `commandLine` is the whole line as the system hands it (UTF-8), the
// program's name first. Nothing when it asks for no link; otherwise the link,
// or why it is refused.
std::optional<ParsedLink> LinkOfCommandLine(std::string_view commandLine);

}  // namespace mappa
