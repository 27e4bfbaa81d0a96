// The program's settings stores, alive from start-up to the end.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "support/RegWrap.h"

namespace mappa {

extern std::unique_ptr<TRegWrap> UserRootStore;
extern std::unique_ptr<TRegWrap> MachineRootStore;
extern std::unique_ptr<TRegWrap> UserGlobalStore;
extern std::unique_ptr<TRegWrap> MachineGlobalStore;
extern std::unique_ptr<TRegWrap> UserToolStore;
extern std::unique_ptr<TRegWrap> MachineToolStore;
extern std::unique_ptr<TRegWrap> UserModuleStore;
extern std::unique_ptr<TRegWrap> MachineModuleStore;

// A module's file name as stored on disk, without directory and extension:
// "Mappa" for ...\MAPPA.EXE stored as Mappa.exe.
std::string ModuleBaseName(HMODULE module);

// The module that holds this code (the executable, or a library that links it).
HMODULE ThisModule();

void CreateGlobalStores();
void FreeGlobalStores();

}  // namespace mappa
