#include "ui/FindOfficeDialog.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <optional>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "support/WindowBase.h"
#include "ui/AccessibleControl.h"
#include "ui/FindOfficeIds.h"
#include "ui/OfficeTimes.h"

namespace mappa {
namespace {

struct Column {
    unsigned title;
    int width;  // in dialog units
};
// Name, City (the office's fourth line), Country, Phone, Type, and the office's local time now.
constexpr Column kColumns[] = {{IDS_FIND_COLUMN_NAME, 130}, {IDS_FIND_COLUMN_CITY, 70}, {IDS_FIND_COLUMN_COUNTRY, 70},
                               {IDS_FIND_COLUMN_PHONE, 70}, {IDS_FIND_COLUMN_TYPE, 45}, {IDS_FIND_COLUMN_LOCAL_TIME, 75}};
// The dialog's height taken by the row of "Open now" below the list, in dialog units.
constexpr int kOpenNowRowHeight = 14;

bool OpenNowChecked(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_FIND_OPEN_NOW) == BST_CHECKED; }

// The dialog's layout in the language in use: mirrored for a language written
// right to left, else the one of every other language.
const DLGTEMPLATE* DialogLayout(HINSTANCE instance)
{
    HRSRC found = FindResourceExW(instance, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(IDD_FIND_OFFICE), CurrentUiLanguage().id);
    if (!found)
        found = FindResourceExW(instance, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(IDD_FIND_OFFICE), EnglishLanguage().id);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

// A control's text as screen readers say it: without the mark of its access key ("&&" is one "&").
std::wstring WithoutAccessKeyMark(std::wstring text)
{
    for (std::size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 1)) text.erase(at, 1);
    return text;
}

// Keys that move in the list even while the focus is in the edit box.
bool IsListKey(WPARAM key) { return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT; }

}  // namespace

FindOfficeDialog::FindOfficeDialog(HINSTANCE instance, HWND owner, const LocationSlots& slots, std::size_t count,
                                   Choose choose, const std::vector<OfficeTimeLines>* timeLines)
    : owner_(owner), choose_(std::move(choose)), offices_(slots, count, timeLines)
{
    if (const DLGTEMPLATE* layout = DialogLayout(instance))
        dialog_ = CreateDialogIndirectParamW(instance, layout, owner, &DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot open the Find an office dialog");
}

FindOfficeDialog::~FindOfficeDialog()
{
    if (!dialog_) return;
    SetWindowLongPtrW(dialog_, DWLP_USER, 0);
    DestroyWindow(dialog_);
}

HWND FindOfficeDialog::editBox() const { return GetDlgItem(dialog_, IDC_FIND_TEXT); }

HWND FindOfficeDialog::list() const { return GetDlgItem(dialog_, IDC_FIND_LIST); }

HWND FindOfficeDialog::openNowBox() const { return GetDlgItem(dialog_, IDC_FIND_OPEN_NOW); }

bool FindOfficeDialog::isOpen() const { return IsWindowVisible(dialog_) != FALSE; }

INT_PTR CALLBACK FindOfficeDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<FindOfficeDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->dialog_ = dialog;
    return static_cast<INT_PTR>(GuardedMessage([&] { return static_cast<LRESULT>(self->handleMessage(message, wParam, lParam)); }));
}

INT_PTR FindOfficeDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initialize();
        return FALSE;  // the focus is set when the dialog opens
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) chooseRow(offices_.selectedRow());
        else if (LOWORD(wParam) == IDCANCEL) close();
        else if ((LOWORD(wParam) == IDC_FIND_TEXT && HIWORD(wParam) == EN_CHANGE) ||
                 (LOWORD(wParam) == IDC_FIND_OPEN_NOW && HIWORD(wParam) == BN_CLICKED))
            refilter(OpenNowChecked(dialog_));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_FIND_LIST) return FALSE;
        if (header->code == LVN_GETDISPINFOW) offices_.fillCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        else if (header->code == NM_DBLCLK) {
            const int item = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
            if (item >= 0) chooseRow(static_cast<std::size_t>(item));
        }
        return TRUE;
    }
    case WM_TIMER:
        if (wParam != kMinuteTimer) return FALSE;
        minuteTurned();
        return TRUE;
    case WM_CLOSE: close(); return TRUE;
    default: return FALSE;
    }
}

void FindOfficeDialog::initialize()
{
    SetWindowTextW(dialog_, UiText(IDS_FIND_CAPTION).c_str());
    SetDlgItemTextW(dialog_, IDC_FIND_LABEL, UiText(IDS_FIND_LABEL).c_str());
    SetDlgItemTextW(dialog_, IDC_FIND_OPEN_NOW, UiText(IDS_FIND_OPEN_NOW).c_str());
    HWND offices = list();
    offices_.attach(offices);
    ListView_SetExtendedListViewStyle(offices, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        RECT width{0, 0, kColumns[i].width, 0};
        MapDialogRect(dialog_, &width);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        std::wstring title = UiText(kColumns[i].title);
        column.pszText = title.data();
        column.cx = width.right;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(offices, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SubclassWindow(editBox(), &EditProcedure, this);
    MakeAccessible(editBox(), {ROLE_SYSTEM_TEXT, {}, true, 0, false, {}, [] { return UiText(IDS_ACCESSIBLE_SEARCH); }});
    MakeAccessible(offices, {ROLE_SYSTEM_LIST, {}, false, 0, false, {}, [] { return UiText(IDS_ACCESSIBLE_OFFICES); }});
    AccessibleTraits openNow{ROLE_SYSTEM_CHECKBUTTON, {}, false, 0, false, {},
                             [] { return WithoutAccessKeyMark(UiText(IDS_FIND_OPEN_NOW)); }};
    openNow.checkBox = true;
    MakeAccessible(openNowBox(), std::move(openNow));
    ListView_SetItemCountEx(offices, offices_.rows().size(), 0);
    offices_.selectRow(0);
}

LRESULT FindOfficeDialog::EditProcedure(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && IsListKey(wParam)) {
        SendMessageW(static_cast<FindOfficeDialog*>(call.context())->list(), message, wParam, lParam);
        return 0;
    }
    return call.next(message, wParam, lParam);
}

void FindOfficeDialog::open()
{
    if (!placed_) placeOverOwner();
    // Offices open and close while the dialog is hidden.
    if (OpenNowChecked(dialog_)) refilter(true);
    SetTimer(dialog_, kMinuteTimer, OfficeTimes::MillisecondsToNextMinute(), nullptr);
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
    // As Tab would: the focus in the edit box, its text selected, so that typing starts a new search.
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editBox()), TRUE);
}

void FindOfficeDialog::close()
{
    if (!isOpen()) return;
    KillTimer(dialog_, kMinuteTimer);
    const bool active = GetActiveWindow() == dialog_;
    ShowWindow(dialog_, SW_HIDE);
    if (active) SetActiveWindow(owner_);
}

void FindOfficeDialog::placeOverOwner()
{
    placed_ = true;
    RECT owner{}, own{};
    GetWindowRect(owner_, &owner);
    GetWindowRect(dialog_, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    // Centred as if the row of the check box below the list were not there, so
    // that the search and the list stand where they did before it was added.
    RECT row{0, 0, 0, kOpenNowRowHeight};
    MapDialogRect(dialog_, &row);
    int left = owner.left + ((owner.right - owner.left) - width) / 2;
    int top = owner.top + ((owner.bottom - owner.top) - (height - row.bottom)) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    SetWindowPos(dialog_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindOfficeDialog::refilter(bool openNow)
{
    offices_.filter(WideToUtf8(WideWindowText(editBox())), openNow);
}

void FindOfficeDialog::minuteTurned()
{
    if (OpenNowChecked(dialog_)) {
        // The office that the user selected stays selected while it is open.
        const std::vector<std::uint32_t>& rows = offices_.rows();
        const std::size_t row = offices_.selectedRow();
        const std::optional<std::uint32_t> office = row < rows.size() ? std::optional(rows[row]) : std::nullopt;
        refilter(true);
        const std::vector<std::uint32_t>& now = offices_.rows();
        const auto at = office ? std::find(now.begin(), now.end(), *office) : now.end();
        if (at != now.end()) offices_.selectRow(static_cast<std::size_t>(at - now.begin()));
    }
    // The time column is asked for again as the list draws.
    InvalidateRect(list(), nullptr, FALSE);
    SetTimer(dialog_, kMinuteTimer, OfficeTimes::MillisecondsToNextMinute(), nullptr);
}

void FindOfficeDialog::chooseRow(std::size_t row)
{
    if (row >= offices_.rows().size()) return;
    const std::size_t office = offices_.rows()[row];
    close();
    choose_(office);
}

}  // namespace mappa
