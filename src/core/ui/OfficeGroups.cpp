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

int ClampLevel(int level)
{
    return std::clamp(level, 0, OfficeGroups::kFinestLevel);
}

}  // namespace

double OfficeGroups::ScaleOf(int level)
{
    return std::ldexp(1.0, ClampLevel(level));
}

void OfficeGroups::clear()
{
    radius_ = 0.0;
    nodes_.clear();
    leaves_.clear();
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
    leaves_.reserve(offices.size());
    for (const PlacedOffice& office : offices) {
        if (!std::isfinite(office.place.x) || !std::isfinite(office.place.y)) continue;
        Node leaf;
        leaf.x = office.place.x;
        leaf.y = office.place.y;
        nodes_.push_back(leaf);
        leaves_.add(office.office);
    }
    leaves_.index();

    // Level 0: every office alone.
    Level& offices_alone = stored_[0];
    const auto leaves = static_cast<std::uint32_t>(leaves_.size());
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
        grouping_.group(level, radius_, stored_[finer], coarser, nodes_);
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

void OfficeGroups::Leaves::clear()
{
    office_.clear();
    by_office_.clear();
}

void OfficeGroups::Leaves::index()
{
    if (std::is_sorted(office_.begin(), office_.end())) return;
    by_office_.resize(office_.size());
    std::iota(by_office_.begin(), by_office_.end(), std::uint32_t{0});
    std::stable_sort(by_office_.begin(), by_office_.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return office_[a] < office_[b]; });
}

std::optional<std::uint32_t> OfficeGroups::Leaves::leafOf(std::size_t office) const
{
    if (by_office_.empty()) {
        const auto found = std::lower_bound(office_.begin(), office_.end(), office);
        if (found == office_.end() || *found != office) return std::nullopt;
        return static_cast<std::uint32_t>(found - office_.begin());
    }
    const auto found = std::lower_bound(by_office_.begin(), by_office_.end(), office,
                                        [&](std::uint32_t leaf, std::size_t o) { return office_[leaf] < o; });
    if (found == by_office_.end() || office_[*found] != office) return std::nullopt;
    return *found;
}

void OfficeGroups::LevelGrouping::group(int level, double radius, const Level& finer, Level& coarser,
                                        std::vector<Node>& nodes)
{
    const double reach = radius / ScaleOf(level);
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
        const double x = nodes[seed].x;
        const double y = nodes[seed].y;
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
        const auto group = static_cast<std::uint32_t>(nodes.size());
        std::uint32_t members = nodes[seed].count;
        // The weighted centre from the seed's place: the members lie within the
        // radius of it, so that no sum runs out of range.
        double sum_dx = 0.0;
        double sum_dy = 0.0;
        nodes[seed].parent = group;
        nodes[seed].first = 0;
        for (const PlaceTree::Entry& found : found_) {
            taken_[found.item] = 1;
            Node& member = nodes[finer.nodes[found.item]];
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
        nodes.push_back(made);
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
    order_.resize(leaves_.size());
    for (std::uint32_t leaf = 0; leaf < leaves_.size(); ++leaf) order_[nodes_[leaf].first] = leaves_.officeOf(leaf);
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
    if (node < leaves_.size())
        marker.office = leaves_.officeOf(node);
    else
        marker.group = GroupId{node};
    return marker;
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
    const std::optional<std::uint32_t> leaf = leaves_.leafOf(office);
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
    if (group.value < leaves_.size() || group.value >= nodes_.size()) return {};
    const Node& node = nodes_[group.value];
    return std::span<const std::size_t>(order_).subspan(node.first, node.count);
}

std::optional<int> OfficeGroups::expansionLevel(GroupId group) const
{
    if (group.value < leaves_.size() || group.value >= nodes_.size()) return std::nullopt;
    const int level = nodes_[group.value].level;
    if (level >= kFinestLevel) return std::nullopt;
    return level + 1;
}

}  // namespace mappa
