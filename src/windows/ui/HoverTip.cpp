#include "ui/HoverTip.h"

#include <commctrl.h>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/HoverNames.h"
#include "support/WinError.h"

namespace mappa {
namespace {

constexpr UINT_PTR kToolId = 1;
constexpr int kMaxTipWidth = 600;  // lets the lines break where the text breaks them

TTTOOLINFOW ToolOf(HWND owner)
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = kToolId;
    return tool;
}

}  // namespace

void HoverTip::create(HINSTANCE instance, HWND owner, HWND picture, TextOf textOf)
{
    owner_ = owner;
    picture_ = picture;
    text_of_ = std::move(textOf);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
    if (!tip_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map's tooltip");
    TTTOOLINFOW tool = ToolOf(owner_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
}

void HoverTip::point(std::size_t nearest, MapPoint picture, POINT screen)
{
    if (nearest_ == nearest) return;
    nearest_ = nearest;
    picture_at_ = picture;
    at_ = screen;
    if (shown_) {
        activate(false);
        shown_ = false;
        was_shown_ = true;
    }
    const int delay = static_cast<int>(SendMessageW(tip_, TTM_GETDELAYTIME, was_shown_ ? TTDT_RESHOW : TTDT_INITIAL, 0));
    SetTimer(owner_, kTimerId, static_cast<UINT>(delay > 0 ? delay : 1), nullptr);
    pending_ = true;
    if (!watching_leave_) {
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, picture_, 0};
        watching_leave_ = TrackMouseEvent(&leave) != FALSE;
    }
}

void HoverTip::hide()
{
    if (pending_) KillTimer(owner_, kTimerId);
    if (shown_) activate(false);
    pending_ = shown_ = was_shown_ = false;
    nearest_.reset();
}

void HoverTip::pointerLeft()
{
    watching_leave_ = false;
    hide();
}

void HoverTip::onTimer()
{
    KillTimer(owner_, kTimerId);
    if (!pending_) return;
    pending_ = false;
    show();
}

void HoverTip::show()
{
    if (!nearest_ || !tip_) return;
    const std::string text = text_of_(picture_at_);
    if (text.empty()) return;
    // In a language written right to left the tip reads and aligns as the window does.
    const bool right_to_left = CurrentUiLanguage().rightToLeft;
    text_ = Utf8ToWide(right_to_left ? RightToLeftLines(text) : text);
    const LONG_PTR style = GetWindowLongPtrW(tip_, GWL_EXSTYLE);
    if (((style & WS_EX_LAYOUTRTL) != 0) != right_to_left)
        SetWindowLongPtrW(tip_, GWL_EXSTYLE, style ^ WS_EX_LAYOUTRTL);
    TTTOOLINFOW tool = ToolOf(owner_);
    tool.lpszText = text_.data();
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Below the pointer, clear of the hand cursor.
    const int below = GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at_.x, at_.y + below));
    activate(true);
    shown_ = true;
}

void HoverTip::activate(bool on)
{
    TTTOOLINFOW tool = ToolOf(owner_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, on, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace mappa
