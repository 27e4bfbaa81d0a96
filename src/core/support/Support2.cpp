#include "support/Support2.h"

#include <algorithm>
#include <array>

namespace mappa {
namespace {

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimControls(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string LowerCaseAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result) c = LowerAscii(c);
    return result;
}

bool TextToBool(std::string_view text)
{
    static constexpr std::array<std::string_view, 5> words{"T", "True", "Y", "Yes", "On"};
    if (text == "1" || text == "-1" || text == "+") return true;
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return SameText(text, w); });
}

std::string_view SplitToken(std::string_view& source, char delimiter)
{
    const auto at = delimiter == '\0' ? std::string_view::npos : source.find(delimiter);
    if (at == std::string_view::npos) {
        const auto token = source;
        source = {};
        return token;
    }
    const auto token = source.substr(0, at);
    source.remove_prefix(at + 1);
    return token;
}

std::string SplitToken(std::string& source, char delimiter)
{
    std::string_view rest(source);
    std::string token(SplitToken(rest, delimiter));
    source.erase(0, source.size() - rest.size());
    return token;
}

std::string NextField(std::string& source)
{
    source = std::string(TrimControls(source));
    if (source.empty()) return {};
    const char first = source.front();
    if (first == '"' || first == '\'') {
        source.erase(0, 1);
        std::string field = SplitToken(source, first);
        if (!source.empty() && source.front() == ',') source.erase(0, 1);
        return field;
    }
    return std::string(TrimControls(SplitToken(source, ',')));
}

std::string AddBackslash(std::string_view path)
{
    std::string result(path);
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string StripBackslash(std::string_view path)
{
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

std::string ExtractDirectory(std::string_view path)
{
    if (path.empty()) return {};
    // The first character is never taken as the separator.
    const auto at = path.find_last_of('\\');
    if (at != std::string_view::npos && at >= 1) {
        if (path[at - 1] == ':') return std::string(path.substr(0, at + 1));
        return std::string(path.substr(0, at));
    }
    return path.front() == '\\' ? "\\" : "";
}

bool StartsWithText(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::string ExtractDrive(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // "\\server\share": up to, not including, the backslash after the share name.
        const auto server_end = path.find('\\', 2);
        if (server_end == std::string_view::npos) return std::string(path);
        const auto share_end = path.find('\\', server_end + 1);
        return std::string(path.substr(0, share_end));
    }
    return {};
}

std::string TrueCasePath(std::string_view directory, std::string_view name, const EntryLookup& lookup)
{
    std::string result;
    std::string rest(name);
    if (!directory.empty()) {
        result = directory;
    } else {
        result = ExtractDrive(rest);
        rest.erase(0, result.size());
    }
    if (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);

    while (!rest.empty()) {
        const std::string component = SplitToken(rest, '\\');
        const std::string candidate = AddBackslash(result) + component;
        if (auto stored = lookup(candidate)) result = AddBackslash(result) + *stored;
    }
    return result;
}

}  // namespace mappa
