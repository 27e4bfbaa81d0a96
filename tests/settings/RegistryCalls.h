// The registry calls of this executable's own code, watched and steered
// through its import table: every call of the store reaches the real registry,
// and the tests see how many keys it opens and closes, or change a value at
// the one moment a reader is between its size query and its read.
#pragma once

#include <functional>

namespace mappa::settingstest {

// Counts successful key opens (RegOpenKeyExW, RegCreateKeyExW) and closes
// while it lives, the test's own calls included. One at a time.
class KeyHandleCount {
public:
    KeyHandleCount();
    ~KeyHandleCount();
    KeyHandleCount(const KeyHandleCount&) = delete;
    KeyHandleCount& operator=(const KeyHandleCount&) = delete;

    int opened() const;   // by either call
    int created() const;  // by RegCreateKeyExW
    int closed() const;
    int held() const { return opened() - closed(); }
};

// Runs `change` once, right after the next successful query of a value's size
// (RegQueryValueExW without a buffer). One at a time.
class ChangeAfterSizeQuery {
public:
    explicit ChangeAfterSizeQuery(std::function<void()> change);
    ~ChangeAfterSizeQuery();
    ChangeAfterSizeQuery(const ChangeAfterSizeQuery&) = delete;
    ChangeAfterSizeQuery& operator=(const ChangeAfterSizeQuery&) = delete;

    bool done() const;
};

}  // namespace mappa::settingstest
