// Crowded offices on the zoomable map: at every view scale above 1, the
// offices whose markers would overlap are drawn as one group marker with a
// count. The grouping is worked out once, after loading, for every level of
// zoom, so that drawing a view, pointing at a marker or zooming in never
// scans every office.
//
// Places are in the coordinates of the whole-world picture at scale 1 (the
// equirectangular picture, say 640 x 320 pixels at 96 dpi, in doubles). At
// level z the view scale is s = 2^z and a place (x, y) lies at (x s, y s) in
// the zoomed picture. Level 0 draws every office on its own. From the finest
// level 8 down to level 1, each level groups the markers of the level above
// it: in their order, a marker not yet taken takes every other marker not yet
// taken whose centre is closer to its own than the radius r / s (r in screen
// pixels), and together they become a group placed at the weighted centre of
// its offices. So a group, once made, stays the same marker at every coarser
// level until it joins a larger one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mappa {

// A place on the scale-1 picture.
struct MapPlace {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const MapPlace&) const = default;
};

// An office shown on the map: its index (in the caller's numbering, each
// index at most once) and its place.
struct PlacedOffice {
    std::size_t office = 0;
    MapPlace place;
};

// A rectangle of the scale-1 picture, its edges included.
struct MapArea {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// A group of one build; another build makes new ones.
struct GroupId {
    std::uint32_t value = 0;
    bool operator==(const GroupId&) const = default;
};

// One marker at a level: a single office, or a group of offices drawn as one.
struct OfficeMarker {
    MapPlace place;            // the office's place, or the mean place of the group's offices
    std::uint32_t count = 1;   // offices that it stands for
    std::size_t office = 0;    // a single office: its index
    GroupId group;             // a group: which one
    bool isGroup() const { return count > 1; }
    bool operator==(const OfficeMarker&) const = default;
};

class OfficeGroups {
public:
    static constexpr int kFinestLevel = 8;
    static constexpr int kLevels = kFinestLevel + 1;  // levels 0 (every office alone) to 8
    // The view scale of a level: 2^level.
    static double ScaleOf(int level);

    OfficeGroups() = default;

    // Groups `offices` for every level, replacing what an earlier build made
    // (and the groups it named); `radius` is in screen pixels, and nothing is
    // grouped when it is zero, negative or not a number (one beyond 1e150
    // counts as 1e150). An office whose place is not finite is left out: no
    // marker holds it.
    void build(std::span<const PlacedOffice> offices, double radius);
    void clear();

    std::size_t officeCount() const { return leaves_.size(); }
    double radius() const { return radius_; }

    // Levels outside 0 to 8 count as the nearest of them.

    // How many markers the level draws over the whole picture.
    std::size_t markerCount(int level) const;
    // Replaces the contents of `markers` with the markers of the level whose
    // place lies in `area`, in no particular order. The cost grows with the
    // markers found, not with the offices.
    void markersIn(int level, const MapArea& area, std::vector<OfficeMarker>& markers) const;
    // The marker that holds `office` at the level; none for an office that
    // the build was not given.
    std::optional<OfficeMarker> holderOf(std::size_t office, int level) const;
    // The marker whose place is nearest `point`, at most `reach` from it (both
    // in scale-1 coordinates: screen pixels / scale). Of equally near ones, the
    // one that the level made first.
    std::optional<OfficeMarker> nearestTo(int level, MapPlace point, double reach) const;

    // The group's offices, always in the same order: a group lists the groups
    // and offices it was made of one after another, the marker that took the
    // others first, so that at level 8 they keep the order of the build's
    // input. The first k are officesOf(group).first(k). Empty for a group that
    // this build did not make.
    std::span<const std::size_t> officesOf(GroupId group) const;
    // The level at which zooming in shows the group as more than one marker;
    // none when it holds together up to the finest level: its offices share
    // one place, or lie closer than r / 256 to the first of them (one
    // building, to the map).
    std::optional<int> expansionLevel(GroupId group) const;

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};

    // A single office or a group. Offices come first, in the order of the
    // input; groups follow in the order they were made, finest level first.
    struct Node {
        double x = 0.0, y = 0.0;
        std::uint32_t count = 1;
        std::uint32_t parent = kNone;
        std::uint32_t first = 0;  // where its offices begin in order_
        std::int32_t level = kLevels;  // a group's level; offices are finer than every level
    };

    // A static two-dimensional tree over the markers of one level.
    class PlaceTree {
    public:
        struct Entry {
            double x, y;
            std::uint32_t item;   // the marker's place in its level's order
            std::uint32_t count;  // offices that it stands for
        };
        // Entries in a leaf of the tree, scanned one by one.
        static constexpr std::size_t kBucket = 32;
        static double axisOf(const Entry& entry, int axis) { return axis == 0 ? entry.x : entry.y; }

        std::vector<Entry>& entries() { return entries_; }
        // Arranges entries() into the tree.
        void build();
        template <typename Visit>
        void forEachIn(const MapArea& area, Visit&& visit) const;
        // Appends the entries closer to (x, y) than sqrt(radius2).
        void collectWithin(double x, double y, double radius2, std::vector<Entry>& found) const;
        std::optional<std::uint32_t> nearest(double x, double y, double reach) const;

    private:
        std::vector<Entry> entries_;
    };

    struct Level {
        std::vector<std::uint32_t> nodes;  // its markers, in the order they were made
        PlaceTree tree;
    };

    // The offices that the build was given, in the order of the input (the
    // first nodes), and each one's node found from its index.
    class Leaves {
    public:
        void clear();
        void add(std::size_t office) { office_.push_back(office); }
        void reserve(std::size_t count) { office_.reserve(count); }
        // Once every office is added: sorts them by index, unless the input was.
        void index();
        std::size_t size() const { return office_.size(); }
        std::size_t officeOf(std::uint32_t leaf) const { return office_[leaf]; }
        std::optional<std::uint32_t> leafOf(std::size_t office) const;

    private:
        std::vector<std::size_t> office_;       // each office's index, in the order of the input
        std::vector<std::uint32_t> by_office_;  // the offices sorted by index; empty when the input was
    };

    // Groups one level's markers into the next coarser level's; its scratch
    // lasts from one level and build to the next.
    class LevelGrouping {
    public:
        // Adds the groups it makes to `nodes`, and marks their members.
        void group(int level, double radius, const Level& finer, Level& coarser, std::vector<Node>& nodes);

    private:
        std::vector<std::uint8_t> taken_;
        std::vector<PlaceTree::Entry> found_;
    };

    const Level& levelAt(int level) const;
    OfficeMarker markerOf(std::uint32_t node) const;
    void orderOffices();

    double radius_ = 0.0;
    std::vector<Node> nodes_;
    Leaves leaves_;
    std::vector<std::size_t> order_;                // every office, each group's together
    std::vector<Level> stored_ = std::vector<Level>(kLevels);  // the levels that differ from the one above them
    std::array<std::uint32_t, kLevels> level_of_{};  // where in stored_ each level is
    LevelGrouping grouping_;
};

template <typename Visit>
inline void OfficeGroups::PlaceTree::forEachIn(const MapArea& area, Visit&& visit) const
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
        const double at = axisOf(split, span.axis);
        if ((span.axis == 0 ? area.left : area.top) <= at) spans[depth++] = {span.lo, mid, 1 - span.axis};
        if ((span.axis == 0 ? area.right : area.bottom) >= at) spans[depth++] = {mid + 1, span.hi, 1 - span.axis};
    }
}

}  // namespace mappa
