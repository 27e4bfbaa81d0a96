// One owner for any handle-like value that a single function releases.
#pragma once

#include <utility>

namespace mappa {

template <typename Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }

    Handle release() { return std::exchange(handle_, Invalid); }
    void reset(Handle handle = Invalid)
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != Invalid) Close(old);
    }

private:
    Handle handle_ = Invalid;
};

}  // namespace mappa
