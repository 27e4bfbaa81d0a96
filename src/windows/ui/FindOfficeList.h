// The list of the Find dialog: the offices that the search finds, with
// "Open now" only those open at that moment, each row's cells given as the
// virtual list draws them, and the selected row.
#pragma once

#include "mapdata/OfficeTimeLines.h"

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mapdata/LocationTable.h"
#include "ui/OfficeSearch.h"

namespace mappa {

class FindOfficeList {
public:
    // The first `count` slots are the offices; `slots` and `timeLines` (the
    // offices' hours and zone lines by slot, when given) must outlive the list.
    FindOfficeList(const LocationSlots& slots, std::size_t count, const std::vector<OfficeTimeLines>* timeLines);

    // The list view that shows the rows, once the dialog has made it.
    void attach(HWND list) { list_ = list; }

    // Lists the offices that `text` finds, with `openNow` only those open now,
    // and selects the first.
    void filter(const std::string& text, bool openNow);
    // The offices listed, in the list's order.
    const std::vector<std::uint32_t>& rows() const { return *rows_; }

    void selectRow(std::size_t row);
    // The selected row; rows().size() when none is.
    std::size_t selectedRow() const;

    // The text of the cell that the list asks for.
    void fillCell(NMLVDISPINFOW& cell) const;

private:
    bool isOpenNow(std::uint32_t office, std::int64_t utcSeconds);

    HWND list_ = nullptr;
    const LocationSlots& slots_;
    const std::vector<OfficeTimeLines>* time_lines_;
    OfficeSearch search_;
    const std::vector<std::uint32_t>* rows_ = nullptr;  // the search's latest result, or open_rows_
    std::vector<std::uint32_t> open_rows_;               // of that result, the offices open now
    // Whether each office was open in the minute of UTC that open_minute_ gives. Hours
    // are in minutes and every zone's offset is whole minutes, so an office opens or
    // closes only as a minute turns: the keys typed within a minute reuse what the first found.
    std::vector<std::int64_t> open_minute_;
    std::vector<bool> open_;
};

}  // namespace mappa
