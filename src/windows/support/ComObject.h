// What the program's own COM objects share: a reference count that starts
// with the one reference their creator holds, and the taking over of that
// reference by a ComPtr.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

namespace mappa {

// The interfaces an object implements, with AddRef and Release for all of
// them; the object answers QueryInterface itself. The last Release deletes it.
template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG remaining = InterlockedDecrement(&references_);
        if (remaining == 0) delete this;
        return static_cast<ULONG>(remaining);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    volatile LONG references_ = 1;  // the creator's
};

// Takes over the one reference that a new object holds for its creator.
// (MinGW-w64's ComPtr::Attach adds a reference of its own, unlike
// Microsoft's, which would keep the object, and the server, alive for good.)
template <typename Interface>
Microsoft::WRL::ComPtr<Interface> Adopted(Interface* created) noexcept
{
    Microsoft::WRL::ComPtr<Interface> owner;
    *owner.GetAddressOf() = created;
    return owner;
}

}  // namespace mappa
