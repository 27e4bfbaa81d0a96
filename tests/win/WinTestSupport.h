// What the Windows tests share: scratch folders on the real file system, the
// test file finder's registration and controls, and a loader source that
// records the messages it would show instead of showing them.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "mapdata/WindowsDataFileSource.h"

namespace mappa::test {

// A new, empty folder under the user's temp folder; removed with its content.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Without a trailing backslash; UTF-8.
    const std::string& path() const { return path_; }
    std::string pathOf(std::string_view relative) const { return path_ + "\\" + std::string(relative); }
    // Writes a file, making the folders on its way; returns its full path.
    std::string write(std::string_view relative, std::string_view content) const;

private:
    std::string path_;
};

// A valid data file with one office.
std::string DataFileText(std::string_view office = "Oslo", std::string_view latitude = "10 N");

// Registers TestFileFinder.dll (beside the test executable) as coclass
// FindFile in HKEY_CLASSES_ROOT, with its programmatic identifier.
class FinderRegistration {
public:
    FinderRegistration();
    ~FinderRegistration() { remove(); }
    FinderRegistration(const FinderRegistration&) = delete;
    FinderRegistration& operator=(const FinderRegistration&) = delete;
    void remove();
};

// The test finder's controls and records: cleared on entry and on exit.
class FinderEnvironment {
public:
    FinderEnvironment() { clear(); }
    ~FinderEnvironment() { clear(); }
    FinderEnvironment(const FinderEnvironment&) = delete;
    FinderEnvironment& operator=(const FinderEnvironment&) = delete;

    static void answer(std::string_view mode, std::string_view result = {});
    // Empty when unset.
    static std::string value(const char* name);
    static bool isSet(const char* name);
    static void clear();
};

class RecordingSource : public WindowsDataFileSource {
public:
    using WindowsDataFileSource::WindowsDataFileSource;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void requestTerminate() override { ++terminateRequests; }

    std::vector<std::string> messages;
    int terminateRequests = 0;
};

// Policy values under Software\Policies\Kestrelon\Mappa of HKEY_LOCAL_MACHINE
// or HKEY_CURRENT_USER for the life of the guard. At the end every value it
// set is put back as it was, and Software\Policies\Kestrelon is removed
// under each root where it did not exist before.
class PolicyValues {
public:
    PolicyValues();
    ~PolicyValues();
    PolicyValues(const PolicyValues&) = delete;
    PolicyValues& operator=(const PolicyValues&) = delete;

    // UTF-8 text, stored as UTF-16 with its NUL, of type REG_SZ or REG_EXPAND_SZ.
    void setText(HKEY root, const std::string& name, const std::string& text, DWORD type = REG_SZ);
    void setRaw(HKEY root, const std::string& name, DWORD type, const std::vector<BYTE>& data);
    void remove(HKEY root, const std::string& name);

private:
    struct Saved {
        HKEY root;
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    void remember(HKEY root, const std::string& name);

    bool machine_key_existed_;
    bool user_key_existed_;
    std::vector<Saved> saved_;
};

// A dialog box as a helper thread saw it before pressing its OK button.
struct SeenDialog {
    std::string title;
    std::string text;
    bool okButton = false;
    bool cancelButton = false;
    bool icon = false;
    HWND owner = nullptr;
};

// Watches the creating thread's windows from a helper thread: notes each
// dialog box that appears and presses its OK button, so that a message box
// never leaves a test waiting.
class DialogWatcher {
public:
    DialogWatcher();
    ~DialogWatcher() { stop(); }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    void stop();
    // The boxes seen so far.
    std::vector<SeenDialog> seen();

private:
    void watch();

    DWORD watched_thread_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> closed_;
    std::thread helper_;
};

// The full path of a file beside the running test executable.
std::string BesideExecutable(std::string_view name);

}  // namespace mappa::test
