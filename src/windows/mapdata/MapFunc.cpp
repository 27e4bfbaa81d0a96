#include "mapdata/MapFunc.h"

#include "mapdata/WindowsDataFileSource.h"

namespace mappa {

TMapFunc::TMapFunc()
{
    WindowsDataFileSource source;
    loadDataFile(*this, source);
}

TMapFunc::TMapFunc(DataFileSource& source) { loadDataFile(*this, source); }

}  // namespace mappa
