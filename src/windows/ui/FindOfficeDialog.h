// "Find an office": an edit box and a list of every office (Name, City,
// Country, Phone, Type, Local time) that narrows as the user types, and a
// check box "Open now" that keeps only the offices open at that moment (those
// whose hours are known). Enter or a double-click chooses the selected
// office; Esc closes the dialog.
//
// The dialog is made on first opening, with the search index over the offices,
// and then only hidden and shown again: the offices never change once loaded.
// The list is virtual (its rows are asked for as they are drawn), so that a
// hundred thousand offices cost no more to list than a hundred.
#pragma once

#include "mapdata/OfficeTimeLines.h"

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mapdata/LocationTable.h"
#include "support/WindowSubclass.h"
#include "ui/OfficeSearch.h"

namespace mappa {

class FindOfficeDialog {
public:
    // While the dialog is open, it renews its local times, and with "Open now"
    // its offices, as each minute turns.
    static constexpr UINT_PTR kMinuteTimer = 1;
    using Choose = std::function<void(std::size_t office)>;

    // The first `count` slots are the offices; `slots` must outlive the dialog.
    // `timeLines`, when given, are the offices' hours and zone lines (by slot), for the local time column.
    FindOfficeDialog(HINSTANCE instance, HWND owner, const LocationSlots& slots, std::size_t count, Choose choose,
                     const std::vector<OfficeTimeLines>* timeLines = nullptr);
    ~FindOfficeDialog();
    FindOfficeDialog(const FindOfficeDialog&) = delete;
    FindOfficeDialog& operator=(const FindOfficeDialog&) = delete;

    // Shows the dialog with the focus in the edit box, its text selected.
    void open();
    // Hides the dialog; the search and its text stay for the next opening.
    void close();

    HWND handle() const { return dialog_; }
    HWND editBox() const;
    HWND list() const;
    HWND openNowBox() const;
    bool isOpen() const;

    // The offices listed, in the list's order.
    const std::vector<std::uint32_t>& rows() const { return *rows_; }
    // The selected row; rows().size() when none is.
    std::size_t selectedRow() const;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT EditProcedure(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void initialize();
    void refilter();
    void minuteTurned();
    bool isOpenNow(std::uint32_t office, std::int64_t utcSeconds);
    void selectRow(std::size_t row);
    void chooseRow(std::size_t row);
    void fillCell(NMLVDISPINFOW& cell) const;
    void placeOverOwner();

    HWND owner_;
    const LocationSlots& slots_;
    const std::vector<OfficeTimeLines>* time_lines_;
    Choose choose_;
    OfficeSearch search_;
    const std::vector<std::uint32_t>* rows_ = nullptr;  // the search's latest result, or open_rows_
    std::vector<std::uint32_t> open_rows_;               // of that result, the offices open now
    // Whether each office was open in the minute of UTC that open_minute_ gives. Hours
    // are in minutes and every zone's offset is whole minutes, so an office opens or
    // closes only as a minute turns: the keys typed within a minute reuse what the first found.
    std::vector<std::int64_t> open_minute_;
    std::vector<bool> open_;
    HWND dialog_ = nullptr;
    bool placed_ = false;
};

}  // namespace mappa
