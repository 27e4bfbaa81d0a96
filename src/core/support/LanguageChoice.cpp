#include "support/LanguageChoice.h"

#include <vector>

namespace mappa {
namespace {

std::vector<std::string> Subtags(std::string_view name)
{
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '-' || c == '_') parts.emplace_back();
        else parts.back() += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return parts;
}

// The script a Chinese name stands for: given, or implied by its region.
std::string ChineseScript(const std::vector<std::string>& parts)
{
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part == "hans" || part == "hant") return part;
        if (part == "tw" || part == "hk" || part == "mo") return "hant";
    }
    return "hans";
}

bool Serves(const std::vector<std::string>& offered, const std::vector<std::string>& wanted)
{
    if (offered.front() != wanted.front() || wanted.front().empty()) return false;
    if (wanted.front() == "zh") return ChineseScript(offered) == ChineseScript(wanted);
    return true;
}

}  // namespace

std::optional<std::size_t> NearestLanguage(std::span<const std::string> preferred,
                                           std::span<const std::string_view> available)
{
    for (const std::string& name : preferred) {
        const std::vector<std::string> wanted = Subtags(name);
        for (std::size_t i = 0; i < available.size(); ++i)
            if (Subtags(available[i]) == wanted) return i;
        for (std::size_t i = 0; i < available.size(); ++i)
            if (Serves(Subtags(available[i]), wanted)) return i;
    }
    return std::nullopt;
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '0' && pattern[i + 1] <= '9' &&
            pattern[i + 2] == '}') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '0');
            if (index < values.size()) {
                text += values.begin()[index];
                i += 2;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

}  // namespace mappa
