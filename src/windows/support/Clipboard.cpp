#include "support/Clipboard.h"

#include <cstring>
#include <string>

#include "support/Support2Win.h"
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

// `size` bytes of `data` and a terminating NUL character of `unit` bytes, in
// movable global memory as the clipboard takes it.
GlobalHandle ClipboardMemory(const void* data, std::size_t size, std::size_t unit)
{
    GlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, size + unit));
    if (!memory) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
    const GlobalLockScope locked(memory.get());
    if (!locked.data()) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
    std::memcpy(locked.data(), data, size);
    std::memset(static_cast<char*>(locked.data()) + size, 0, unit);
    return memory;
}

}  // namespace

void PutTextOnClipboard(HWND owner, std::string_view text)
{
    const std::wstring wide = Utf8ToWide(text);
    const std::string ansi = WideToAnsi(wide);
    GlobalHandle unicode_memory = ClipboardMemory(wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t));
    GlobalHandle ansi_memory = ClipboardMemory(ansi.data(), ansi.size(), 1);

    bool stored = false;
    {
        const OpenClipboardScope clipboard(owner);
        if (!clipboard.isOpen()) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot open clipboard");
        EmptyClipboard();
        // The clipboard owns what it has taken, from the moment it took it.
        if (SetClipboardData(CF_UNICODETEXT, unicode_memory.get())) {
            unicode_memory.release();
            if (SetClipboardData(CF_TEXT, ansi_memory.get())) {
                ansi_memory.release();
                stored = true;
            }
        }
    }
    if (!stored) throw WindowsError(E_FAIL, "Cannot set clipboard data");
}

}  // namespace mappa
