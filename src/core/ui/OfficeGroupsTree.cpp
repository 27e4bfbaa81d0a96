#include "ui/OfficeGroups.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

// The search tree of the grouping: the places of one level's markers, for the
// markers in an area, the markers within a radius and the nearest one.
namespace mappa {
namespace {

// Puts the entry that sorts at `nth` by `key` there, none greater before it and
// none smaller after it. Quickselect with a partition that swaps every entry
// it passes instead of guessing which ones to: on scattered places the
// guesses of a branch would fail half the time. Should the pivots keep
// falling badly, the standard library's selection, with its guarantee,
// finishes.
template <typename Entry, typename Key>
void SelectNth(Entry* first, Entry* nth, Entry* last, Key key)
{
    int rounds_left = 2 * std::bit_width(static_cast<std::size_t>(last - first)) + 8;
    while (last - first > 16) {
        if (--rounds_left < 0) {
            std::nth_element(first, nth, last, [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
            return;
        }
        // The median of three at the end, as the pivot.
        Entry* middle = first + (last - first) / 2;
        Entry* end = last - 1;
        if (key(*middle) < key(*first)) std::swap(*middle, *first);
        if (key(*end) < key(*first)) std::swap(*end, *first);
        if (key(*middle) < key(*end)) std::swap(*middle, *end);
        const double pivot = key(*end);
        Entry* store = first;
        for (Entry* it = first; it < end; ++it) {
            const bool smaller = key(*it) < pivot;
            std::swap(*store, *it);
            store += smaller;
        }
        // Nothing smaller: the entries equal to the pivot come first, so
        // that many equal places still make progress.
        if (store == first) {
            for (Entry* it = first; it < end; ++it) {
                const bool equal = !(pivot < key(*it));
                std::swap(*store, *it);
                store += equal;
            }
            std::swap(*store, *end);
            if (nth <= store) return;
            first = store + 1;
            continue;
        }
        std::swap(*store, *end);
        if (nth == store) return;
        if (nth < store)
            last = store;
        else
            first = store + 1;
    }
    // A few left: sorted by insertion.
    for (Entry* it = first + 1; it < last; ++it)
        for (Entry* back = it; back > first && key(*back) < key(back[-1]); --back) std::swap(*back, back[-1]);
}

}  // namespace

// The tree is implicit, as a sorted array: in a span [lo, hi) longer than a
// bucket, the entry at the middle splits the others by one axis (x at the
// root, then y, then x...), those before it no greater and those after it no
// less; each half is a span of the other axis.
void OfficeGroups::PlaceTree::build()
{
    struct Span {
        std::size_t lo, hi;
        int axis;
    };
    std::vector<Span> spans{{0, entries_.size(), 0}};
    const auto x_of = [](const Entry& e) { return e.x; };
    const auto y_of = [](const Entry& e) { return e.y; };
    while (!spans.empty()) {
        const Span span = spans.back();
        spans.pop_back();
        if (span.hi - span.lo <= kBucket) continue;
        const std::size_t mid = span.lo + (span.hi - span.lo) / 2;
        Entry* const begin = entries_.data();
        if (span.axis == 0)
            SelectNth(begin + span.lo, begin + mid, begin + span.hi, x_of);
        else
            SelectNth(begin + span.lo, begin + mid, begin + span.hi, y_of);
        spans.push_back({span.lo, mid, 1 - span.axis});
        spans.push_back({mid + 1, span.hi, 1 - span.axis});
    }
}

void OfficeGroups::PlaceTree::collectWithin(double x, double y, double radius2, std::vector<Entry>& found) const
{
    struct Span {
        std::size_t lo, hi;
        int axis;
    };
    Span spans[64];
    std::size_t depth = 0;
    const auto near = [&](const Entry& e) {
        const double dx = e.x - x;
        const double dy = e.y - y;
        return dx * dx + dy * dy < radius2;
    };
    // Down one side of each split while the circle lies on one side; the
    // other side of a split that it crosses waits.
    Span span{0, entries_.size(), 0};
    for (;;) {
        if (span.hi - span.lo <= kBucket) {
            for (std::size_t i = span.lo; i < span.hi; ++i)
                if (near(entries_[i])) found.push_back(entries_[i]);
            if (depth == 0) return;
            span = spans[--depth];
            continue;
        }
        const std::size_t mid = span.lo + (span.hi - span.lo) / 2;
        const Entry& split = entries_[mid];
        if (near(split)) found.push_back(split);
        const double gap = (span.axis == 0 ? x : y) - axisOf(split, span.axis);
        // The half before the split lies at or below it on this axis, the half after at or above.
        const bool before = gap <= 0.0 || gap * gap < radius2;
        const bool after = gap >= 0.0 || gap * gap < radius2;
        const int axis = 1 - span.axis;
        if (before && after) spans[depth++] = {mid + 1, span.hi, axis};
        if (before)
            span = {span.lo, mid, axis};
        else
            span = {mid + 1, span.hi, axis};
    }
}

std::optional<std::uint32_t> OfficeGroups::PlaceTree::nearest(double x, double y, double reach) const
{
    if (!(reach >= 0.0)) return std::nullopt;
    struct Best {
        double distance2;
        std::uint32_t item = kNone;
    } best{reach * reach};
    const auto consider = [&](const Entry& e) {
        const double dx = e.x - x;
        const double dy = e.y - y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < best.distance2 || (d2 == best.distance2 && e.item < best.item)) best = {d2, e.item};
    };
    // Depth first, the side of the split that holds the point first; a side
    // is skipped when it lies farther away than the best so far.
    const auto search = [&](const auto& self, std::size_t lo, std::size_t hi, int axis) -> void {
        if (hi - lo <= kBucket) {
            for (std::size_t i = lo; i < hi; ++i) consider(entries_[i]);
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        consider(entries_[mid]);
        const double gap = (axis == 0 ? x : y) - axisOf(entries_[mid], axis);
        if (gap <= 0.0) {
            self(self, lo, mid, 1 - axis);
            if (gap * gap <= best.distance2) self(self, mid + 1, hi, 1 - axis);
        } else {
            self(self, mid + 1, hi, 1 - axis);
            if (gap * gap <= best.distance2) self(self, lo, mid, 1 - axis);
        }
    };
    search(search, 0, entries_.size(), 0);
    if (best.item == kNone) return std::nullopt;
    return best.item;
}

}  // namespace mappa
