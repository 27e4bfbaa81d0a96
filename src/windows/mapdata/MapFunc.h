// The location table as the map window owns it: the offices and web addresses
// of the data file, plus the bitmap that keeps the clean map picture.
#pragma once

#include <windows.h>

#include "mapdata/DataFile.h"
#include "mapdata/LocationTable.h"
#include "support/WinHandles.h"

namespace mappa {

class TMapFunc : public LocationTable {
public:
    // Loads the data file beside the executable (or through the file finder).
    TMapFunc();
    // Loads through the given platform services.
    explicit TMapFunc(DataFileSource& source);
    ~TMapFunc() override = default;

    // Empty until the map window copies its finished picture into it.
    BitmapHandle CleanMap;
};

}  // namespace mappa
