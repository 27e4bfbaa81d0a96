// The registry entries of the office map and of mappa: links, beside the
// designed object's: type library 1.1, the class with its versioned and
// version-independent ProgIDs, and the URL scheme that opens a link in Mappa.
#pragma once

#include <string>

#include "automation/ComServer.h"

namespace mappa {

inline constexpr const char* kLinkScheme = "mappa";

// Written before the designed entries, so that the designed interface's
// registration ends as version 1.0 writes it.
void RegisterOfficeMap(const std::string& executablePath, RegistryFailures failures,
                       ShortPathLookup shortPath = &SystemShortPath);
// Removed before the designed entries.
void UnregisterOfficeMap();

}  // namespace mappa
