#include "ui/OfficeFilter.h"

namespace mappa {
namespace {

constexpr struct {
    OfficeKind kind;
    std::string_view name;
} kKinds[] = {{OfficeKind::Sales, "Sales"}, {OfficeKind::Support, "Support"}, {OfficeKind::Other, "Other"}};

}  // namespace

std::string OfficeFilter::text() const
{
    std::string text;
    for (const auto& kind : kKinds) {
        if (!shows(kind.kind)) continue;
        if (!text.empty()) text += ',';
        text += kind.name;
    }
    return text;
}

std::optional<OfficeFilter> OfficeFilter::FromText(std::string_view text)
{
    OfficeFilter filter;
    for (const auto& kind : kKinds) filter.show(kind.kind, false);
    if (text.empty()) return filter;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        bool known = false;
        for (const auto& kind : kKinds)
            if (name == kind.name) {
                filter.show(kind.kind, true);
                known = true;
            }
        if (!known) return std::nullopt;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return filter;
}

}  // namespace mappa
