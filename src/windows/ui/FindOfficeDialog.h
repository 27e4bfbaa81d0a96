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

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mapdata/LocationTable.h"
#include "support/WindowSubclass.h"
#include "ui/FindOfficeList.h"

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
    const std::vector<std::uint32_t>& rows() const { return offices_.rows(); }
    // The selected row; rows().size() when none is.
    std::size_t selectedRow() const { return offices_.selectedRow(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT EditProcedure(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void initialize();
    // Shows the offices that the search text finds; with `openNow`, only those open now.
    void refilter(bool openNow);
    void minuteTurned();
    void chooseRow(std::size_t row);
    void placeOverOwner();

    HWND owner_;
    Choose choose_;
    FindOfficeList offices_;  // what the list shows, and its selection
    HWND dialog_ = nullptr;
    bool placed_ = false;
};

}  // namespace mappa
