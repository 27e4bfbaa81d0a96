// The automation server's state: how the program was started, the number of
// live objects and class locks, its registry entries, and the rules by which
// a server that COM started ends.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <stdexcept>
#include <string>

#include "automation/OptionalComEntries.h"
#include "automation/StartMode.h"
#include "automation/SupportMapCom.h"
#include "support/WinHandles.h"

namespace mappa {

// Writing one of the server's registry entries failed.
class RegistryEntryError : public std::runtime_error {
public:
    RegistryEntryError() : std::runtime_error("Error creating system registry entry") {}
};

// What a registry update does with an entry it cannot write: the register
// switch reports it; the refresh of every other start skips it, so that a
// user without the rights to the machine-wide entries still gets the program.
enum class RegistryFailures { Report, Skip };

// The short form of a path (GetShortPathNameW); empty when there is none.
using ShortPathLookup = std::wstring (*)(const std::wstring& path);
std::wstring SystemShortPath(const std::wstring& path);

// One entry under HKEY_CLASSES_ROOT: the default value of `key`, or its value `name`.
void WriteEntry(const std::string& key, const std::string& value);
void WriteNamedEntry(const std::string& key, const std::string& name, const std::string& value);
std::string GuidText(const GUID& guid);
// The command by which COM starts the server at `path`.
std::string ServerCommand(const std::string& path, ShortPathLookup shortPath);

class ComServer {
public:
    // Looks up the optional COM entry points and reads the start mode.
    explicit ComServer(StartMode mode);
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;

    StartMode mode() const { return mode_; }
    LONG objectCount() const { return object_count_; }

    // Initializes COM on this thread; true when it succeeded.
    bool initializeCom(bool apartmentThreaded);
    bool startSuspended() const { return start_suspended_; }

    // The registry entries of the server class under HKEY_CLASSES_ROOT, its
    // ProgID and description as the class registration record read them.
    void registerServer(const SupportMapRegistration& registration, const std::string& executablePath,
                        RegistryFailures failures = RegistryFailures::Report,
                        ShortPathLookup shortPath = &SystemShortPath) const;
    void unregisterServer(const SupportMapRegistration& registration) const;

    // The office map's class object first, then the designed one, which resumes both.
    void registerOfficeMapClassObject(IUnknown* classObject);
    void registerClassObject(IUnknown* classObject);
    // Revokes both.
    void revokeClassObject();

    // An object or a class lock comes or goes. The last one gone ends a
    // server that COM started.
    void countIn();
    void countOut();

    // Whether the application may end now; asks the user while objects are alive.
    bool closeQuery() const;

private:
    StartMode mode_;
    volatile LONG object_count_ = 0;
    DWORD main_thread_;
    OptionalComEntries com_;
    bool start_suspended_ = false;
    DWORD cookie_ = 0;
    DWORD office_map_cookie_ = 0;
};

// The one server of the process; null until start-up creates it.
ComServer* Server();
void SetServer(ComServer* server);

// Makes `server` the one server of the process for the life of the scope.
class CurrentServer {
public:
    explicit CurrentServer(ComServer& server) { SetServer(&server); }
    ~CurrentServer() { SetServer(nullptr); }
    CurrentServer(const CurrentServer&) = delete;
    CurrentServer& operator=(const CurrentServer&) = delete;
};

inline constexpr const char* kCloseWarningTitle = "COM Server Warning";
inline constexpr const char* kCloseWarningText =
    "There are still active COM objects in this application.  One or more clients may have references to these "
    "objects, so manually closing this application may cause those client application(s) to fail.\r\n\r\n"
    "Are you sure you want to close this application?";

}  // namespace mappa
