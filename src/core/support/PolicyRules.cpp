#include "support/PolicyRules.h"

namespace mappa {
namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<bool> SwitchPolicy(const PolicyValue& value)
{
    if (value.kind != PolicyValue::Kind::Number || value.number > 1) return std::nullopt;
    return value.number == 1;
}

bool IsFullPath(std::string_view path)
{
    const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && IsSeparator(path[2]);
    const bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
    return drive || share;
}

std::optional<std::string> PathPolicy(const PolicyValue& value)
{
    if (value.kind != PolicyValue::Kind::Text) return std::nullopt;
    std::string_view path = Trimmed(value.text);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = Trimmed(path.substr(1, path.size() - 2));
    if (!IsFullPath(path)) return std::nullopt;
    return std::string(path);
}

}  // namespace mappa
