#include "ui/FindOfficeDialog.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "support/WindowBase.h"
#include "ui/AccessibleControl.h"
#include "ui/FindOfficeIds.h"
#include "ui/OfficeTimes.h"
#include "localtime/LocalTimeTexts.h"

namespace mappa {
namespace {

struct Column {
    unsigned title;
    int width;  // in dialog units
};
// Name, City (the office's fourth line), Country, Phone, Type, and the office's local time now.
constexpr Column kColumns[] = {{IDS_FIND_COLUMN_NAME, 130}, {IDS_FIND_COLUMN_CITY, 70}, {IDS_FIND_COLUMN_COUNTRY, 70},
                               {IDS_FIND_COLUMN_PHONE, 70}, {IDS_FIND_COLUMN_TYPE, 45}, {IDS_FIND_COLUMN_LOCAL_TIME, 75}};
constexpr int kLocalTimeColumn = 5;

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

std::string_view CellText(const LocationView& office, int column)
{
    switch (column) {
    case 0: return office.Name;
    case 1: return office.Extra2;
    case 2: return office.Country;
    case 3: return office.Phone;
    case 4: return office.OfficeType;
    default: return {};
    }
}

// Keys that move in the list even while the focus is in the edit box.
bool IsListKey(WPARAM key) { return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT; }

}  // namespace

FindOfficeDialog::FindOfficeDialog(HINSTANCE instance, HWND owner, const LocationSlots& slots, std::size_t count,
                                   Choose choose, const std::vector<OfficeTimeLines>* timeLines)
    : owner_(owner), slots_(slots), time_lines_(timeLines), choose_(std::move(choose)),
      search_(count, [&slots](std::size_t i) { return SearchFieldsOf(slots[i]); })
{
    rows_ = &search_.filter("");
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
        if (LOWORD(wParam) == IDOK) chooseRow(selectedRow());
        else if (LOWORD(wParam) == IDCANCEL) close();
        else if (LOWORD(wParam) == IDC_FIND_TEXT && HIWORD(wParam) == EN_CHANGE) refilter();
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_FIND_LIST) return FALSE;
        if (header->code == LVN_GETDISPINFOW) fillCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        else if (header->code == NM_DBLCLK) {
            const int item = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
            if (item >= 0) chooseRow(static_cast<std::size_t>(item));
        }
        return TRUE;
    }
    case WM_CLOSE: close(); return TRUE;
    default: return FALSE;
    }
}

void FindOfficeDialog::initialize()
{
    SetWindowTextW(dialog_, UiText(IDS_FIND_CAPTION).c_str());
    SetDlgItemTextW(dialog_, IDC_FIND_LABEL, UiText(IDS_FIND_LABEL).c_str());
    HWND offices = list();
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
    ListView_SetItemCountEx(offices, rows_->size(), 0);
    selectRow(0);
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
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
    // As Tab would: the focus in the edit box, its text selected, so that typing starts a new search.
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editBox()), TRUE);
}

void FindOfficeDialog::close()
{
    if (!isOpen()) return;
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
    int left = owner.left + ((owner.right - owner.left) - width) / 2;
    int top = owner.top + ((owner.bottom - owner.top) - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    SetWindowPos(dialog_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindOfficeDialog::refilter()
{
    rows_ = &search_.filter(WideToUtf8(WideWindowText(editBox())));
    ListView_SetItemCountEx(list(), rows_->size(), 0);
    selectRow(0);
}

void FindOfficeDialog::selectRow(std::size_t row)
{
    // The list takes one selection: choosing a row clears the one before. Nothing
    // clears them all, as that, or looking for the selected row, costs a pass over every row.
    if (row >= rows_->size()) return;
    HWND offices = list();
    const int item = static_cast<int>(row);
    ListView_SetItemState(offices, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(offices, item, FALSE);
}

std::size_t FindOfficeDialog::selectedRow() const
{
    const int item = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    return item < 0 ? rows_->size() : static_cast<std::size_t>(item);
}

void FindOfficeDialog::chooseRow(std::size_t row)
{
    if (row >= rows_->size()) return;
    const std::size_t office = (*rows_)[row];
    close();
    choose_(office);
}

void FindOfficeDialog::fillCell(NMLVDISPINFOW& cell) const
{
    LVITEMW& item = cell.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows_->size()) return;
    const std::size_t office = (*rows_)[static_cast<std::size_t>(item.iItem)];
    std::wstring text;
    if (item.iSubItem == kLocalTimeColumn) {
        try {
            const OfficeTimeLines* lines = time_lines_ && office < time_lines_->size() ? &(*time_lines_)[office] : nullptr;
            text = Utf8ToWide(LocalTimeShortText(OfficeTimes::Bundled().read(slots_[office], lines, OfficeTimes::Now())));
        } catch (const std::exception&) {
            // Without the zone data the column stays empty.
        }
    } else {
        text = Utf8ToWide(CellText(slots_[office], item.iSubItem));
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
}

}  // namespace mappa
