#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "ui/OfficeGroups.h"

namespace mappa {
namespace {

constexpr double kWidth = 640.0;
constexpr double kHeight = 320.0;
constexpr double kRadius = 8.0;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr MapArea kEverywhere{-kInf, -kInf, kInf, kInf};
constexpr int kFinest = OfficeGroups::kFinestLevel;

using Offices = std::vector<std::size_t>;

// Office i of a test set is numbered 3 i + 1, so that a mix-up of office
// numbers and places in the input shows.
std::size_t OfficeNumber(std::size_t i)
{
    return 3 * i + 1;
}

std::vector<PlacedOffice> Placed(const std::vector<MapPlace>& places)
{
    std::vector<PlacedOffice> offices;
    for (std::size_t i = 0; i < places.size(); ++i) offices.push_back({OfficeNumber(i), places[i]});
    return offices;
}

Offices OfficesOf(const OfficeGroups& groups, const OfficeMarker& marker)
{
    if (!marker.isGroup()) return {marker.office};
    const auto offices = groups.officesOf(marker.group);
    return Offices(offices.begin(), offices.end());
}

// Every marker of a level as the holders of the offices find them, without the level's tree.
std::vector<OfficeMarker> MarkersByHolders(const OfficeGroups& groups, std::size_t offices, int level)
{
    std::vector<OfficeMarker> markers;
    for (std::size_t i = 0; i < offices; ++i) {
        const auto holder = groups.holderOf(OfficeNumber(i), level);
        if (holder && std::find(markers.begin(), markers.end(), *holder) == markers.end()) markers.push_back(*holder);
    }
    return markers;
}

std::vector<Offices> SortedMembers(const OfficeGroups& groups, const std::vector<OfficeMarker>& markers)
{
    std::vector<Offices> members;
    for (const OfficeMarker& marker : markers) members.push_back(OfficesOf(groups, marker));
    std::sort(members.begin(), members.end());
    return members;
}

// Offices around a few cities, some in one building, some on the picture's
// edges and poles.
std::vector<MapPlace> CityOffices(std::mt19937& random, std::size_t count)
{
    std::uniform_real_distribution<double> across(0.0, kWidth), down(0.0, kHeight), unit(0.0, 1.0);
    std::vector<MapPlace> cities(1 + random() % 12);
    for (MapPlace& city : cities) city = {across(random), down(random)};
    std::vector<MapPlace> places;
    while (places.size() < count) {
        const double pick = unit(random);
        if (pick < 0.1 && !places.empty()) {
            places.push_back(places[random() % places.size()]);  // the same building
        } else if (pick < 0.15) {
            const MapPlace edges[] = {{0.0, down(random)}, {kWidth, down(random)}, {across(random), 0.0},
                                      {across(random), kHeight}, {0.0, 0.0}, {kWidth, kHeight}};
            places.push_back(edges[random() % 6]);
        } else {
            const MapPlace city = cities[random() % cities.size()];
            std::normal_distribution<double> spread(0.0, std::pow(10.0, unit(random) * 3.0 - 2.0));
            places.push_back({std::clamp(city.x + spread(random), 0.0, kWidth),
                              std::clamp(city.y + spread(random), 0.0, kHeight)});
        }
    }
    return places;
}

TEST(OfficeGroups, OfficesInOneBuildingAreOneGroupAtEveryLevel)
{
    std::vector<MapPlace> places(6, MapPlace{320.25, 100.5});
    places.insert(places.begin() + 2, MapPlace{20.0, 300.0});  // one office far away, in the middle of the input
    OfficeGroups groups;
    groups.build(Placed(places), kRadius);
    const Offices building{OfficeNumber(0), OfficeNumber(1), OfficeNumber(3), OfficeNumber(4), OfficeNumber(5),
                           OfficeNumber(6)};

    EXPECT_EQ(groups.markerCount(0), 7u);
    EXPECT_EQ(groups.holderOf(OfficeNumber(4), 0), (OfficeMarker{places[4], 1, OfficeNumber(4), {}}));
    std::optional<GroupId> group;
    for (int level = 1; level <= kFinest; ++level) {
        EXPECT_EQ(groups.markerCount(level), 2u) << "level " << level;
        const auto holder = groups.holderOf(OfficeNumber(6), level);
        ASSERT_TRUE(holder && holder->isGroup());
        EXPECT_EQ(holder->count, 6u);
        EXPECT_EQ(holder->place, places[0]);
        if (!group) group = holder->group;
        EXPECT_EQ(holder->group, *group) << "the same group at every level";
    }
    EXPECT_EQ(groups.expansionLevel(*group), std::nullopt);
    const auto offices = groups.officesOf(*group);
    EXPECT_EQ(Offices(offices.begin(), offices.end()), building) << "in the order of the input";
    EXPECT_EQ(Offices(offices.begin(), offices.begin() + 5), Offices(building.begin(), building.begin() + 5));
    EXPECT_EQ(groups.holderOf(OfficeNumber(2), kFinest)->count, 1u);
}

TEST(OfficeGroups, TwoOfficesPartAtTheLevelWhereTheRadiusNoLongerReaches)
{
    for (int parts = 1; parts <= kFinest; ++parts) {
        const double reach = kRadius / OfficeGroups::ScaleOf(parts);
        // Just farther apart than r / s at level `parts`, across, down and on a slant;
        // and exactly r / s apart, which is not closer than r / s.
        const double farther = reach * (1.0 + 1e-9);
        const double slant = farther / std::sqrt(2.0);
        for (const MapPlace apart :
             {MapPlace{farther, 0.0}, MapPlace{0.0, farther}, MapPlace{slant, slant}, MapPlace{reach, 0.0}}) {
            const std::vector<MapPlace> places{{100.0, 200.0}, {100.0 + apart.x, 200.0 + apart.y}};
            OfficeGroups groups;
            groups.build(Placed(places), kRadius);
            SCOPED_TRACE(testing::Message() << "level " << parts << ", apart " << apart.x << ", " << apart.y);
            for (int level = 0; level <= kFinest; ++level)
                EXPECT_EQ(groups.markerCount(level), level == 0 || level >= parts ? 2u : 1u) << "level " << level;
            if (parts == 1) continue;
            const auto group = groups.holderOf(OfficeNumber(0), 1);
            ASSERT_TRUE(group && group->isGroup());
            EXPECT_EQ(groups.expansionLevel(group->group), parts);
            EXPECT_DOUBLE_EQ(group->place.x, (places[0].x + places[1].x) / 2);
            EXPECT_DOUBLE_EQ(group->place.y, (places[0].y + places[1].y) / 2);
        }
    }
}

// Every office in exactly one marker at every level; a level's markers
// nest in those of the level below; holders, places and expansion levels
// agree with the markers that hold the offices.
TEST(OfficeGroups, LevelsPartitionTheOfficesAndNest)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::vector<MapPlace> places = CityOffices(random, 1 + random() % 400);
        OfficeGroups groups;
        groups.build(Placed(places), kRadius);
        SCOPED_TRACE(testing::Message() << "round " << round);
        std::vector<OfficeMarker> markers;
        for (int level = 0; level <= kFinest; ++level) {
            groups.markersIn(level, kEverywhere, markers);
            ASSERT_EQ(markers.size(), groups.markerCount(level));
            std::vector<int> held(places.size(), 0);
            for (const OfficeMarker& marker : markers) {
                ASSERT_TRUE(std::isfinite(marker.place.x) && std::isfinite(marker.place.y));
                const Offices offices = OfficesOf(groups, marker);
                ASSERT_EQ(offices.size(), marker.count);
                if (level == 0) {
                    ASSERT_FALSE(marker.isGroup());
                }
                MapPlace mean;
                for (const std::size_t office : offices) {
                    ++held[(office - 1) / 3];
                    EXPECT_EQ(groups.holderOf(office, level), marker);
                    // Its holder one level down holds the whole marker.
                    if (level > 1) {
                        EXPECT_EQ(groups.holderOf(office, level - 1), groups.holderOf(offices[0], level - 1));
                    }
                    mean.x += places[(office - 1) / 3].x / offices.size();
                    mean.y += places[(office - 1) / 3].y / offices.size();
                }
                EXPECT_NEAR(marker.place.x, mean.x, 1e-9);
                EXPECT_NEAR(marker.place.y, mean.y, 1e-9);
                if (!marker.isGroup()) continue;
                // The same group until its expansion level, more than one marker there.
                const std::optional<int> expands = groups.expansionLevel(marker.group);
                const int last = expands ? *expands - 1 : kFinest;
                ASSERT_GE(last, level);
                for (int same = level; same <= last; ++same)
                    EXPECT_EQ(groups.holderOf(offices.back(), same), marker);
                if (expands) {
                    EXPECT_NE(groups.holderOf(offices[0], *expands), groups.holderOf(offices.back(), *expands));
                }
            }
            EXPECT_EQ(std::count(held.begin(), held.end(), 1), static_cast<long>(places.size())) << "level " << level;
        }
    }
}

// The grouping by its rule, comparing every pair: each level's markers, as
// the offices they hold, in the order the level made them.
struct PlainMarker {
    MapPlace place;
    Offices offices;
};

std::vector<std::vector<PlainMarker>> GroupedPairwise(const std::vector<MapPlace>& places, double radius)
{
    std::vector<std::vector<PlainMarker>> levels(kFinest + 1);
    for (std::size_t i = 0; i < places.size(); ++i) levels[0].push_back({places[i], {OfficeNumber(i)}});
    const std::vector<PlainMarker>* finer = &levels[0];
    for (int level = kFinest; level >= 1; --level) {
        const double reach = radius / OfficeGroups::ScaleOf(level);
        std::vector<bool> taken(finer->size());
        for (std::size_t i = 0; i < finer->size(); ++i) {
            if (taken[i]) continue;
            taken[i] = true;
            const PlainMarker& seed = (*finer)[i];
            PlainMarker made = seed;
            double sum_dx = 0.0, sum_dy = 0.0;
            for (std::size_t j = i + 1; j < finer->size(); ++j) {
                const PlainMarker& other = (*finer)[j];
                const double dx = other.place.x - seed.place.x, dy = other.place.y - seed.place.y;
                if (taken[j] || !(dx * dx + dy * dy < reach * reach)) continue;
                taken[j] = true;
                made.offices.insert(made.offices.end(), other.offices.begin(), other.offices.end());
                sum_dx += dx * other.offices.size();
                sum_dy += dy * other.offices.size();
            }
            if (made.offices.size() > seed.offices.size())
                made.place = {seed.place.x + sum_dx / made.offices.size(), seed.place.y + sum_dy / made.offices.size()};
            levels[level].push_back(std::move(made));
        }
        finer = &levels[level];
    }
    return levels;
}

TEST(OfficeGroups, GroupsAsAComparisonOfEveryPairWould)
{
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        const std::vector<MapPlace> places = CityOffices(random, 1 + random() % 300);
        const double radius = std::uniform_real_distribution<double>(0.5, 40.0)(random);
        OfficeGroups groups;
        groups.build(Placed(places), radius);
        const auto expected = GroupedPairwise(places, radius);
        for (int level = 0; level <= kFinest; ++level) {
            std::vector<OfficeMarker> markers;
            groups.markersIn(level, kEverywhere, markers);
            std::map<Offices, MapPlace> found;
            for (const OfficeMarker& marker : markers) found[OfficesOf(groups, marker)] = marker.place;
            std::map<Offices, MapPlace> wanted;
            for (const PlainMarker& marker : expected[level]) wanted[marker.offices] = marker.place;
            EXPECT_EQ(found, wanted) << "round " << round << ", level " << level;
        }
    }
}

TEST(OfficeGroups, MarkersInAnAreaAndNearestAPointMatchAPlainSearch)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> across(-20.0, kWidth + 20.0), down(-20.0, kHeight + 20.0);
    for (int round = 0; round < 20; ++round) {
        const std::vector<MapPlace> places = CityOffices(random, 1 + random() % 600);
        OfficeGroups groups;
        groups.build(Placed(places), kRadius);
        std::vector<OfficeMarker> found;
        for (int level = 0; level <= kFinest; ++level) {
            const std::vector<OfficeMarker> all = MarkersByHolders(groups, places.size(), level);
            for (int query = 0; query < 30; ++query) {
                // Anything from a line to all of the picture; every other one with its
                // corners on markers, so that markers lie on its edges.
                double x0 = across(random), y0 = down(random), x1 = across(random), y1 = down(random);
                if (query % 2 == 1) {
                    const MapPlace a = all[random() % all.size()].place, b = all[random() % all.size()].place;
                    x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
                }
                MapArea area{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
                if (query == 0) area.right = area.left;
                groups.markersIn(level, area, found);
                std::vector<OfficeMarker> inside;
                for (const OfficeMarker& m : all)
                    if (m.place.x >= area.left && m.place.x <= area.right && m.place.y >= area.top &&
                        m.place.y <= area.bottom)
                        inside.push_back(m);
                EXPECT_EQ(SortedMembers(groups, found), SortedMembers(groups, inside))
                    << "round " << round << ", level " << level << ", query " << query;

                const MapPlace point{x0, y0};
                const double reach = query % 3 == 0 ? kInf : kRadius / OfficeGroups::ScaleOf(level);
                std::optional<double> nearest;
                for (const OfficeMarker& m : all) {
                    const double d = std::hypot(m.place.x - point.x, m.place.y - point.y);
                    if (d <= reach && (!nearest || d < *nearest)) nearest = d;
                }
                const auto near = groups.nearestTo(level, point, reach);
                ASSERT_EQ(near.has_value(), nearest.has_value()) << "round " << round << ", query " << query;
                if (near) {
                    EXPECT_EQ(std::hypot(near->place.x - point.x, near->place.y - point.y), *nearest);
                }
            }
        }
    }
}

TEST(OfficeGroups, NoOfficeOneOfficeAndNothingToGroup)
{
    OfficeGroups groups;
    std::vector<OfficeMarker> markers{OfficeMarker{}};
    for (int round = 0; round < 2; ++round) {  // never built, then built from nothing
        for (int level = 0; level <= kFinest; ++level) {
            EXPECT_EQ(groups.markerCount(level), 0u);
            groups.markersIn(level, kEverywhere, markers);
            EXPECT_TRUE(markers.empty());
            EXPECT_EQ(groups.holderOf(0, level), std::nullopt);
            EXPECT_EQ(groups.nearestTo(level, {0, 0}, kInf), std::nullopt);
        }
        EXPECT_TRUE(groups.officesOf(GroupId{}).empty());
        EXPECT_EQ(groups.expansionLevel(GroupId{}), std::nullopt);
        groups.build({}, kRadius);
    }

    const std::vector<PlacedOffice> one{{42, {640.0, 0.0}}};
    groups.build(one, kRadius);
    const OfficeMarker alone{{640.0, 0.0}, 1, 42, {}};
    for (int level = -1; level <= kFinest + 1; ++level) {  // levels outside count as the nearest
        groups.markersIn(level, kEverywhere, markers);
        EXPECT_EQ(markers, std::vector<OfficeMarker>{alone});
        EXPECT_EQ(groups.holderOf(42, level), alone);
        EXPECT_EQ(groups.holderOf(41, level), std::nullopt);
        EXPECT_EQ(groups.nearestTo(level, {639.0, 0.0}, 1.0), alone);
        EXPECT_EQ(groups.nearestTo(level, {639.0, 0.0}, 0.5), std::nullopt);
        EXPECT_EQ(groups.nearestTo(level, {639.0, 0.0}, -1.0), std::nullopt);
    }

    // A radius of nothing groups nothing, even one building.
    const std::vector<MapPlace> building(3, MapPlace{10.0, 10.0});
    for (const double radius : {0.0, -4.0, std::numeric_limits<double>::quiet_NaN()}) {
        groups.build(Placed(building), radius);
        for (int level = 0; level <= kFinest; ++level) EXPECT_EQ(groups.markerCount(level), 3u);
    }
}

// The window rebuilds with the offices it shows: numbers with gaps, in any
// order; places not finite are left out.
TEST(OfficeGroups, RebuildsForOtherOfficesAndLeavesOutPlacesNotFinite)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    OfficeGroups groups;
    groups.build(Placed({{1, 1}, {2, 2}, {3, 3}}), kRadius);
    const std::vector<PlacedOffice> shown{{90, {0.0, 160.0}}, {7, {0.5, 160.0}}, {55, {nan, 10.0}},
                                          {31, {640.0, 160.0}}, {12, {3.0, kInf}}, {8, {639.0, 160.0}}};
    groups.build(shown, kRadius);
    EXPECT_EQ(groups.officeCount(), 4u);
    EXPECT_EQ(groups.holderOf(55, 0), std::nullopt);
    EXPECT_EQ(groups.holderOf(12, 0), std::nullopt);
    EXPECT_EQ(groups.holderOf(OfficeNumber(1), 0), std::nullopt);
    const auto west = groups.holderOf(90, 1);
    ASSERT_TRUE(west && west->isGroup());
    EXPECT_EQ(groups.holderOf(7, 1), west);
    EXPECT_EQ(west->place, (MapPlace{0.25, 160.0}));
    const auto offices = groups.officesOf(west->group);
    EXPECT_EQ(Offices(offices.begin(), offices.end()), (Offices{90, 7}));
    // The two sides of the picture are far apart: the map does not wrap.
    EXPECT_EQ(groups.holderOf(31, 1), groups.holderOf(8, 1));
    EXPECT_NE(groups.holderOf(31, 1), west);
    EXPECT_EQ(groups.expansionLevel(west->group), 4);  // 0.5 apart: r / 8 reaches, r / 16 does not
    EXPECT_EQ(groups.holderOf(8, 2)->count, 2u);       // 1 apart
    EXPECT_EQ(groups.holderOf(8, 3)->count, 1u);
}

// Places at the ends of the range of doubles and a radius without end: the
// sums behind a group's place stay finite, and every office is in one group.
TEST(OfficeGroups, FarPlacesAndAnEndlessRadiusStayFinite)
{
    const double most = std::numeric_limits<double>::max();
    const std::vector<MapPlace> places{{most, most}, {-most, -most}, {most, -most}, {0.0, 0.0}, {most, most}};
    OfficeGroups groups;
    for (const double radius : {kInf, 1e200, 1e-300}) {
        groups.build(Placed(places), radius);
        for (int level = 1; level <= kFinest; ++level) {
            std::vector<OfficeMarker> markers;
            groups.markersIn(level, kEverywhere, markers);
            std::size_t held = 0;
            for (const OfficeMarker& marker : markers) {
                EXPECT_TRUE(std::isfinite(marker.place.x) && std::isfinite(marker.place.y)) << "radius " << radius;
                held += marker.count;
            }
            EXPECT_EQ(held, places.size());
        }
    }
    groups.build(Placed(places), kInf);
    EXPECT_EQ(groups.markerCount(kFinest), 4u) << "farther apart than 1e150, but one place twice";
    groups.build(Placed({{1e150, 0.0}, {-1e150, 0.0}}), kInf);
    EXPECT_EQ(groups.markerCount(1), 2u);
}

}  // namespace
}  // namespace mappa
