// Where the program's system DLLs come from. A folder that holds the program
// may hold DLLs too (a Downloads folder, a share that many can write to), and
// Windows would look there first for a DLL that is not one of its Known DLLs.
#pragma once

namespace mappa {

// From here on, every DLL loaded by name comes from the system folder only.
// The first thing each executable does.
void LoadSystemLibrariesFromSystem32Only();

}  // namespace mappa
