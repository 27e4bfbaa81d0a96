// Procedures in front of a control: each sees a message before the ones added
// earlier, hands it on or keeps it, and hears the control's end last.
#include <gtest/gtest.h>

#include <string>

#include "support/WindowSubclass.h"

namespace mappa {
namespace {

struct Trace {
    std::string seen;
    int destroyed = 0;
};

template <char Name, bool Keeps>
LRESULT Layer(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* trace = static_cast<Trace*>(call.context());
    if (message == WM_APP) {
        trace->seen += Name;
        if (Keeps) return Name;
    }
    if (message == WM_NCDESTROY) ++trace->destroyed;
    return call.next(message, wParam, lParam);
}

TEST(WindowSubclass, TheLastAddedSeesAMessageFirstAndTheControlsOwnProcedureLast)
{
    HWND control = CreateWindowExW(0, L"STATIC", L"text", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(control);
    Trace trace;
    ASSERT_TRUE(SubclassWindow(control, &Layer<'a', false>, &trace));
    ASSERT_TRUE(SubclassWindow(control, &Layer<'b', false>, &trace));
    EXPECT_TRUE(IsSubclassedBy(control, &Layer<'a', false>));
    EXPECT_FALSE(IsSubclassedBy(control, &Layer<'c', true>));

    // Handed on by both, the message reaches the static control, which answers 0.
    EXPECT_EQ(SendMessageW(control, WM_APP, 0, 0), 0);
    EXPECT_EQ(trace.seen, "ba");
    // The control's own behaviour is still there behind the layers.
    wchar_t text[16] = {};
    GetWindowTextW(control, text, 16);
    EXPECT_STREQ(text, L"text");

    ASSERT_TRUE(SubclassWindow(control, &Layer<'c', true>, &trace));
    trace.seen.clear();
    EXPECT_EQ(SendMessageW(control, WM_APP, 0, 0), 'c');
    EXPECT_EQ(trace.seen, "c");

    DestroyWindow(control);
    EXPECT_EQ(trace.destroyed, 3);
    // The control is gone from the table: a later window, whatever its handle, starts afresh.
    HWND later = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(IsSubclassedBy(later, &Layer<'a', false>));
    DestroyWindow(later);
}

}  // namespace
}  // namespace mappa
