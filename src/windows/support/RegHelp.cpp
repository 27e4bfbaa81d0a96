#include "support/RegHelp.h"

#include "support/Support2.h"
#include "support/Support2Win.h"

namespace mappa {

std::unique_ptr<TRegWrap> UserRootStore;
std::unique_ptr<TRegWrap> MachineRootStore;
std::unique_ptr<TRegWrap> UserGlobalStore;
std::unique_ptr<TRegWrap> MachineGlobalStore;
std::unique_ptr<TRegWrap> UserToolStore;
std::unique_ptr<TRegWrap> MachineToolStore;
std::unique_ptr<TRegWrap> UserModuleStore;
std::unique_ptr<TRegWrap> MachineModuleStore;

namespace {

std::unique_ptr<TRegWrap>* const kStores[] = {&UserRootStore,   &MachineRootStore,   &UserGlobalStore,  &MachineGlobalStore,
                              &UserToolStore,   &MachineToolStore,   &UserModuleStore,  &MachineModuleStore};

}  // namespace

HMODULE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::string ModuleBaseName(HMODULE module)
{
    const std::string path = ModuleFileName(module);
    const auto split = path.find_last_of("\\:");
    const std::string directory = split == std::string::npos ? std::string() : path.substr(0, split + 1);
    const std::string name = split == std::string::npos ? path : path.substr(split + 1);

    const std::string stored = TrueCasePath(directory, name);
    const auto name_start = stored.find_last_of("\\:");
    std::string base = name_start == std::string::npos ? stored : stored.substr(name_start + 1);
    const auto dot = base.find_last_of('.');
    if (dot != std::string::npos) base.erase(dot);
    return base;
}

void CreateGlobalStores()
{
    const std::string root = kStoreRoot;
    const std::string tools = root + "\\Tools\\";
    const std::string executable = ModuleBaseName(nullptr);
    const std::string module = ModuleBaseName(ThisModule());
    UserRootStore = std::make_unique<TRegWrap>(HKEY_CURRENT_USER, root);
    MachineRootStore = std::make_unique<TRegWrap>(HKEY_LOCAL_MACHINE, root);
    UserGlobalStore = std::make_unique<TRegWrap>(HKEY_CURRENT_USER, root + "\\Global");
    MachineGlobalStore = std::make_unique<TRegWrap>(HKEY_LOCAL_MACHINE, root + "\\Global");
    UserToolStore = std::make_unique<TRegWrap>(HKEY_CURRENT_USER, tools + executable);
    MachineToolStore = std::make_unique<TRegWrap>(HKEY_LOCAL_MACHINE, tools + executable);
    UserModuleStore = std::make_unique<TRegWrap>(HKEY_CURRENT_USER, tools + module);
    MachineModuleStore = std::make_unique<TRegWrap>(HKEY_LOCAL_MACHINE, tools + module);
}

void FreeGlobalStores()
{
    for (std::unique_ptr<TRegWrap>* store : kStores) store->reset();
}

}  // namespace mappa
