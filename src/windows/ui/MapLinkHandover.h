// How another copy of Mappa hands the running one a link: WM_COPYDATA to the
// map window (hooks.onLink) with this tag, the link's text at most this long.
#pragma once

#include <windows.h>

namespace mappa {

struct MapLinkHandover {
    static constexpr ULONG_PTR kDataTag = 0x4B4E4C4D;  // "MLNK"
    static constexpr DWORD kDataLimit = 4096;
};

}  // namespace mappa
