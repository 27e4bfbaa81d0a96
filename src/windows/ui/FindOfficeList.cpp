#include "ui/FindOfficeList.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <string_view>

#include "support/Support2Win.h"
#include "ui/OfficeTimes.h"
#include "localtime/LocalTimeTexts.h"

namespace mappa {
namespace {

// The office's local time now, after Name, City, Country, Phone and Type.
constexpr int kLocalTimeColumn = 5;

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

}  // namespace

FindOfficeList::FindOfficeList(const LocationSlots& slots, std::size_t count,
                               const std::vector<OfficeTimeLines>* timeLines)
    : slots_(slots), time_lines_(timeLines),
      search_(count, [&slots](std::size_t i) { return SearchFieldsOf(slots[i]); }), rows_(&search_.filter(""))
{
}

void FindOfficeList::filter(const std::string& text, bool openNow)
{
    rows_ = &search_.filter(text);
    if (openNow) {
        // Whether an office is open is decided now, not when the offices were loaded.
        const std::int64_t now = OfficeTimes::Now();
        open_rows_.clear();
        std::copy_if(rows_->begin(), rows_->end(), std::back_inserter(open_rows_),
                     [&](std::uint32_t office) { return isOpenNow(office, now); });
        rows_ = &open_rows_;
    }
    ListView_SetItemCountEx(list_, rows_->size(), 0);
    selectRow(0);
}

bool FindOfficeList::isOpenNow(std::uint32_t office, std::int64_t utcSeconds)
{
    // An office without hours, or whose hours do not read, is not known to be open.
    if (!time_lines_ || office >= time_lines_->size() || (*time_lines_)[office].hours.empty()) return false;
    const std::int64_t minute = utcSeconds >= 0 ? utcSeconds / 60 : (utcSeconds - 59) / 60;
    if (open_minute_.size() <= office) {
        open_minute_.resize(time_lines_->size(), std::numeric_limits<std::int64_t>::min());
        open_.resize(time_lines_->size());
    }
    if (open_minute_[office] != minute) {
        bool open = false;
        try {
            const auto hours = OfficeTimes::Bundled().read(slots_[office], &(*time_lines_)[office], utcSeconds).clock.hours;
            open = hours && hours->open;
        } catch (const std::exception&) {
            // Without the zone data no office is known to be open, as the time column stays empty.
        }
        open_[office] = open;
        open_minute_[office] = minute;
    }
    return open_[office];
}

void FindOfficeList::selectRow(std::size_t row)
{
    // The list takes one selection: choosing a row clears the one before. Nothing
    // clears them all, as that, or looking for the selected row, costs a pass over every row.
    if (row >= rows_->size()) return;
        const int item = static_cast<int>(row);
    ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, item, FALSE);
}

std::size_t FindOfficeList::selectedRow() const
{
    const int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    return item < 0 ? rows_->size() : static_cast<std::size_t>(item);
}

void FindOfficeList::fillCell(NMLVDISPINFOW& cell) const
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
