#include "ui/OfficeGroups.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace mappa {
namespace {

// Beyond it every place on the picture is near every other anyway; below it
// the squares of distances within the radius, and sums of them, stay finite.
constexpr double kLargestRadius = 1e150;

// Entries in a leaf of the tree, scanned one by one.
constexpr std::size_t kBucket = 32;

int ClampLevel(int level)
{
    return std::clamp(level, 0, OfficeGroups::kFinestLevel);
}

template <typename Entry>
double AxisOf(const Entry& entry, int axis)
{
    return axis == 0 ? entry.x : entry.y;
}

}  // namespace

double OfficeGroups::ScaleOf(int level)
{
    return std::ldexp(1.0, ClampLevel(level));
}

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

template <typename Visit>
void OfficeGroups::PlaceTree::forEachIn(const MapArea& area, Visit&& visit) const
{
    struct Span {
        std::size_t lo, hi;
        int axis;
    };
    Span spans[64];
    std::size_t depth = 0;
    spans[depth++] = {0, entries_.size(), 0};
    const auto inside = [&](const Entry& e) {
        return e.x >= area.left && e.x <= area.right && e.y >= area.top && e.y <= area.bottom;
    };
    while (depth > 0) {
        const Span span = spans[--depth];
        if (span.hi - span.lo <= kBucket) {
            for (std::size_t i = span.lo; i < span.hi; ++i)
                if (inside(entries_[i])) visit(entries_[i].item);
            continue;
        }
        const std::size_t mid = span.lo + (span.hi - span.lo) / 2;
        const Entry& split = entries_[mid];
        if (inside(split)) visit(split.item);
        const double at = AxisOf(split, span.axis);
        if ((span.axis == 0 ? area.left : area.top) <= at) spans[depth++] = {span.lo, mid, 1 - span.axis};
        if ((span.axis == 0 ? area.right : area.bottom) >= at) spans[depth++] = {mid + 1, span.hi, 1 - span.axis};
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
        const double gap = (span.axis == 0 ? x : y) - AxisOf(split, span.axis);
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
        const double gap = (axis == 0 ? x : y) - AxisOf(entries_[mid], axis);
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

void OfficeGroups::clear()
{
    radius_ = 0.0;
    nodes_.clear();
    leaf_office_.clear();
    leaves_by_office_.clear();
    order_.clear();
    for (Level& level : stored_) {
        level.nodes.clear();
        level.tree.entries().clear();
    }
    level_of_.fill(0);
}

void OfficeGroups::build(std::span<const PlacedOffice> offices, double radius)
{
    // Node numbers are 32 bits wide, and groups number at most as many as offices.
    if (offices.size() >= (std::size_t{1} << 31)) throw std::length_error("too many offices to group");
    clear();
    radius_ = radius > 0.0 ? std::min(radius, kLargestRadius) : 0.0;

    nodes_.reserve(offices.size() * 2);
    leaf_office_.reserve(offices.size());
    for (const PlacedOffice& office : offices) {
        if (!std::isfinite(office.place.x) || !std::isfinite(office.place.y)) continue;
        Node leaf;
        leaf.x = office.place.x;
        leaf.y = office.place.y;
        nodes_.push_back(leaf);
        leaf_office_.push_back(office.office);
    }
    if (!std::is_sorted(leaf_office_.begin(), leaf_office_.end())) {
        leaves_by_office_.resize(leaf_office_.size());
        std::iota(leaves_by_office_.begin(), leaves_by_office_.end(), std::uint32_t{0});
        std::stable_sort(leaves_by_office_.begin(), leaves_by_office_.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return leaf_office_[a] < leaf_office_[b]; });
    }

    // Level 0: every office alone.
    Level& offices_alone = stored_[0];
    const auto leaves = static_cast<std::uint32_t>(leaf_office_.size());
    offices_alone.nodes.resize(leaves);
    std::iota(offices_alone.nodes.begin(), offices_alone.nodes.end(), std::uint32_t{0});
    auto& entries = offices_alone.tree.entries();
    entries.resize(leaves);
    for (std::uint32_t i = 0; i < leaves; ++i) entries[i] = {nodes_[i].x, nodes_[i].y, i, 1};
    offices_alone.tree.build();

    std::size_t used = 1;
    for (int level = kFinestLevel; level >= 1; --level) {
        const std::uint32_t finer = level_of_[level == kFinestLevel ? 0 : level + 1];
        Level& coarser = stored_[used];
        groupLevel(level, stored_[finer], coarser);
        if (coarser.nodes.size() == stored_[finer].nodes.size()) {
            // Nothing joined: the same markers as the level above.
            level_of_[level] = finer;
            continue;
        }
        auto& coarser_entries = coarser.tree.entries();
        coarser_entries.resize(coarser.nodes.size());
        for (std::size_t i = 0; i < coarser.nodes.size(); ++i) {
            const Node& node = nodes_[coarser.nodes[i]];
            coarser_entries[i] = {node.x, node.y, static_cast<std::uint32_t>(i), node.count};
        }
        coarser.tree.build();
        level_of_[level] = static_cast<std::uint32_t>(used++);
    }
    orderOffices();
}

void OfficeGroups::groupLevel(int level, const Level& finer, Level& coarser)
{
    const double reach = radius_ / ScaleOf(level);
    const double reach2 = reach * reach;
    const std::size_t count = finer.nodes.size();
    taken_.assign(count, 0);
    coarser.nodes.clear();
    if (!(reach > 0.0)) {
        coarser.nodes = finer.nodes;  // nothing is closer than nothing
        return;
    }
    for (std::size_t at = 0; at < count; ++at) {
        if (taken_[at]) continue;
        taken_[at] = 1;
        const std::uint32_t seed = finer.nodes[at];
        const double x = nodes_[seed].x;
        const double y = nodes_[seed].y;
        found_.clear();
        finer.tree.collectWithin(x, y, reach2, found_);
        std::erase_if(found_, [&](const PlaceTree::Entry& e) { return taken_[e.item] != 0; });
        if (found_.empty()) {
            coarser.nodes.push_back(seed);
            continue;
        }
        // The group lists its members in the level's order; every one not
        // taken comes after the seed.
        std::sort(found_.begin(), found_.end(),
                  [](const PlaceTree::Entry& a, const PlaceTree::Entry& b) { return a.item < b.item; });
        const auto group = static_cast<std::uint32_t>(nodes_.size());
        std::uint32_t members = nodes_[seed].count;
        // The weighted centre from the seed's place: the members lie within the
        // radius of it, so that no sum runs out of range.
        double sum_dx = 0.0;
        double sum_dy = 0.0;
        nodes_[seed].parent = group;
        nodes_[seed].first = 0;
        for (const PlaceTree::Entry& found : found_) {
            taken_[found.item] = 1;
            Node& member = nodes_[finer.nodes[found.item]];
            member.parent = group;
            member.first = members;  // its offset in the group until orderOffices
            members += found.count;
            sum_dx += (found.x - x) * found.count;
            sum_dy += (found.y - y) * found.count;
        }
        Node made;
        made.count = members;
        made.x = x + sum_dx / members;
        made.y = y + sum_dy / members;
        made.level = level;
        nodes_.push_back(made);
        coarser.nodes.push_back(group);
    }
}

// Lays every group's offices side by side in order_: the markers of level 1
// one after another, each group's members in turn within it. A member knows
// its offset in its group, and a group comes after its members in nodes_.
void OfficeGroups::orderOffices()
{
    std::uint32_t next = 0;
    for (const std::uint32_t root : levelAt(1).nodes) {
        nodes_[root].first = next;
        next += nodes_[root].count;
    }
    for (std::size_t node = nodes_.size(); node-- > 0;)
        if (nodes_[node].parent != kNone) nodes_[node].first += nodes_[nodes_[node].parent].first;
    order_.resize(leaf_office_.size());
    for (std::size_t leaf = 0; leaf < leaf_office_.size(); ++leaf) order_[nodes_[leaf].first] = leaf_office_[leaf];
}

const OfficeGroups::Level& OfficeGroups::levelAt(int level) const
{
    return stored_[level_of_[ClampLevel(level)]];
}

OfficeMarker OfficeGroups::markerOf(std::uint32_t node) const
{
    const Node& n = nodes_[node];
    OfficeMarker marker;
    marker.place = {n.x, n.y};
    marker.count = n.count;
    if (node < leaf_office_.size())
        marker.office = leaf_office_[node];
    else
        marker.group = GroupId{node};
    return marker;
}

std::optional<std::uint32_t> OfficeGroups::leafOf(std::size_t office) const
{
    if (leaves_by_office_.empty()) {
        const auto found = std::lower_bound(leaf_office_.begin(), leaf_office_.end(), office);
        if (found == leaf_office_.end() || *found != office) return std::nullopt;
        return static_cast<std::uint32_t>(found - leaf_office_.begin());
    }
    const auto found = std::lower_bound(leaves_by_office_.begin(), leaves_by_office_.end(), office,
                                        [&](std::uint32_t leaf, std::size_t o) { return leaf_office_[leaf] < o; });
    if (found == leaves_by_office_.end() || leaf_office_[*found] != office) return std::nullopt;
    return *found;
}

std::size_t OfficeGroups::markerCount(int level) const
{
    return levelAt(level).nodes.size();
}

void OfficeGroups::markersIn(int level, const MapArea& area, std::vector<OfficeMarker>& markers) const
{
    markers.clear();
    const Level& at = levelAt(level);
    at.tree.forEachIn(area, [&](std::uint32_t item) { markers.push_back(markerOf(at.nodes[item])); });
}

std::optional<OfficeMarker> OfficeGroups::holderOf(std::size_t office, int level) const
{
    const std::optional<std::uint32_t> leaf = leafOf(office);
    if (!leaf) return std::nullopt;
    std::uint32_t node = *leaf;
    const int at = ClampLevel(level);
    if (at > 0)
        while (nodes_[node].parent != kNone && nodes_[nodes_[node].parent].level >= at) node = nodes_[node].parent;
    return markerOf(node);
}

std::optional<OfficeMarker> OfficeGroups::nearestTo(int level, MapPlace point, double reach) const
{
    const Level& at = levelAt(level);
    const std::optional<std::uint32_t> item = at.tree.nearest(point.x, point.y, reach);
    if (!item) return std::nullopt;
    return markerOf(at.nodes[*item]);
}

std::span<const std::size_t> OfficeGroups::officesOf(GroupId group) const
{
    if (group.value < leaf_office_.size() || group.value >= nodes_.size()) return {};
    const Node& node = nodes_[group.value];
    return std::span<const std::size_t>(order_).subspan(node.first, node.count);
}

std::optional<int> OfficeGroups::expansionLevel(GroupId group) const
{
    if (group.value < leaf_office_.size() || group.value >= nodes_.size()) return std::nullopt;
    const int level = nodes_[group.value].level;
    if (level >= kFinestLevel) return std::nullopt;
    return level + 1;
}

}  // namespace mappa
