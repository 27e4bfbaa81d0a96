// What the map window tests share: a data file made from a list of offices,
// a shown window over it, the picture's pixels, the real pointer, and a helper
// thread that reads and closes the program's message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "mapdata/WindowsDataFileSource.h"
#include "ui/UMapUI.h"

namespace mappa {
// Colours in failure messages as (r,g,b).
inline void PrintTo(const Rgb& c, std::ostream* out)
{
    *out << "(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << ")";
}
}  // namespace mappa

namespace mappa {
// A control by its name in messages.
inline std::ostream& operator<<(std::ostream& out, MapControl control) { return out << LayoutOf(control).name; }
}  // namespace mappa

namespace mappa::uitest {

inline constexpr Rgb kSea{122, 162, 206};
inline constexpr Rgb kLand{184, 194, 152};
inline constexpr Rgb kBlack{0, 0, 0};

// One office of a test data file, placed on a picture pixel.
struct Office {
    std::string name = "Office";
    std::string country = "Norway";
    std::string type = "Sales";
    int x = 320, y = 160;
    std::string email = "office@example.com";
    std::string phone = "+47 555 0100", fax = "+47 555 0101", toll = "800 555 01", interToll = "00800 555 01";
    std::string latitude = {}, longitude = {};  // as written in the file; empty: from x and y
};

std::string DataFileText(const std::vector<Office>& offices, const std::string& webLink = "https://www.example.com/",
                         const std::string& webLink2 = "https://support.example.com/");

// A folder under Z:\tmp, so that Unix programs see it as /tmp/...; removed at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string unixPath() const;
    void write(const std::string& name, const std::string& text) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

class RecordingSource : public WindowsDataFileSource {
public:
    using WindowsDataFileSource::WindowsDataFileSource;
    bool finderRegistered() override { return false; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void requestTerminate() override { ++terminateRequests; }
    std::vector<std::string> messages;
    int terminateRequests = 0;
};

// The text of a data file as it stands.
struct DataFile {
    std::string text;
};
// The office list that comes with the program.
DataFile BundledData();

// A shown map window over a data file in its own folder (no file: `offices` empty and `withFile` false).
class MapWindow {
public:
    // `utf8`: the data file is written in UTF-8 with a byte-order mark, else as the bytes given.
    explicit MapWindow(const std::vector<Office>& offices, const std::string& webLink = "https://www.example.com/",
                       bool withFile = true, bool utf8 = false);
    explicit MapWindow(const DataFile& file);
    ~MapWindow();
    TMapUI& ui() { return *ui_; }
    TMapUI* operator->() { return ui_.get(); }
    // A control's text, read as UTF-16 (WM_GETTEXT) and given as UTF-8.
    std::string text(MapControl control) const;

private:
    TempFolder folder_;

public:
    RecordingSource source;

private:
    std::unique_ptr<TMapUI> ui_;
};

// A combo box's entries, read as UTF-16 and given as UTF-8.
std::vector<std::string> ComboEntries(HWND combo);
// The clipboard's 8-bit text (CF_TEXT) as its bytes, or a note that it could not be read.
std::string ClipboardText();
// The clipboard's CF_UNICODETEXT, given as UTF-8.
std::string UnicodeClipboardText();

// Dispatches what is queued; true when a quit request was among it.
bool Pump();

using Pixels = std::vector<Rgb>;  // rows of 640 from the top
Pixels Capture(const MapPicture& picture);
Pixels CaptureBitmap(HBITMAP bitmap, int width, int height);
// The world map picture as built into the executable, without markers.
Pixels BareMap();
inline Rgb At(const Pixels& pixels, int x, int y) { return pixels[static_cast<std::size_t>(y) * 640 + x]; }

// A control's rectangle in its parent's client area.
RECT PlaceInParent(HWND control);

// The screen point that the window takes for picture point (x, y) when it
// decides whether the pointer is over the picture.
POINT PictureOnScreen(TMapUI& map, int x, int y);
// Moves the real pointer; false when the system does not report it there.
bool MovePointer(POINT to);
// Moves the pointer off every test window.
void ParkPointer();

// Reads, then presses OK on, each "Mappa.exe" box that the calling thread shows.
class MessageBoxWatcher {
public:
    struct Box {
        std::string text;
        bool icon = false;
        std::string unicodeText;  // read as UTF-16, given as UTF-8
    };
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    std::vector<Box> boxes();

private:
    void record(HWND box);
    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread helper_;
};

}  // namespace mappa::uitest
