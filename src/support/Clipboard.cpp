#include "support/Clipboard.h"

#include <cstring>

#include "support/WinError.h"
#include "support/WinHandles.h"

namespace mappa {
namespace {

// The clipboard, open for the life of the scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

    bool isOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace

void PutTextOnClipboard(HWND owner, std::string_view text)
{
    GlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
    {
        const GlobalLockScope locked(memory.get());
        if (!locked.data()) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
        std::memcpy(locked.data(), text.data(), text.size());
        static_cast<char*>(locked.data())[text.size()] = '\0';
    }

    bool stored = false;
    {
        const OpenClipboardScope clipboard(owner);
        if (!clipboard.isOpen()) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot open clipboard");
        EmptyClipboard();
        stored = SetClipboardData(CF_TEXT, memory.get()) != nullptr;
    }
    if (!stored) throw WindowsError(E_FAIL, "Cannot set clipboard data");
    // The clipboard owns the memory now.
    memory.release();
}

}  // namespace mappa
