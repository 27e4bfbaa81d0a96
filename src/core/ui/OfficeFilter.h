// Which kinds of office the map shows: sales, support and other offices,
// each shown or hidden; all are shown unless the user hides some.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mapdata/OfficeKind.h"

namespace mappa {

class OfficeFilter {
public:
    bool shows(OfficeKind kind) const { return (bits_ & bitOf(kind)) != 0; }
    bool showsAll() const { return bits_ == kAll; }
    void show(OfficeKind kind, bool shown) { bits_ = shown ? bits_ | bitOf(kind) : bits_ & ~bitOf(kind); }
    bool operator==(const OfficeFilter&) const = default;

    // As kept in the settings: the kinds shown, by name, separated by commas
    // ("Sales,Support,Other" for all, empty for none).
    std::string text() const;
    // None when the text is not one that text() writes (a name that is not a
    // kind), so that the default holds.
    static std::optional<OfficeFilter> FromText(std::string_view text);

private:
    static constexpr unsigned kAll = 7;
    static unsigned bitOf(OfficeKind kind) { return 1u << static_cast<unsigned>(kind); }
    unsigned bits_ = kAll;
};

}  // namespace mappa
