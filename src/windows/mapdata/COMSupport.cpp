#include "mapdata/COMSupport.h"

namespace mappa {

bool TComSupport::isClassRegistered(const GUID& classId) noexcept
{
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(classId, &progId))) return false;
    CoTaskMemFree(progId);
    return true;
}

}  // namespace mappa
