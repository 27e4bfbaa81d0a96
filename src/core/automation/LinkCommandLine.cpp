#include "automation/LinkCommandLine.h"

#include <string>
#include <vector>

namespace mappa {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSwitch(std::string_view word, std::string_view name)
{
    if (word.size() != name.size() + 1 || (word[0] != '/' && word[0] != '-')) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (AsciiLower(word[i + 1]) != name[i]) return false;
    return true;
}

// The program's name as the system reads it: up to the closing quote when it
// starts with one, else up to the first blank.
std::string_view AfterProgramName(std::string_view line)
{
    std::size_t end = 0;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        end = end == std::string_view::npos ? line.size() : end + 1;
    } else {
        while (end < line.size() && !Blank(line[end])) ++end;
    }
    line.remove_prefix(end);
    while (!line.empty() && Blank(line.front())) line.remove_prefix(1);
    return line;
}

struct Word {
    std::string text;
    bool quoted = false;
};

// Words apart by blanks; a word in quotes keeps its blanks. Nothing when a
// quote stands inside a word or is left open: such a line is not taken apart.
std::optional<std::vector<Word>> Words(std::string_view line)
{
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (Blank(line[i])) {
            ++i;
            continue;
        }
        Word word;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            word = {std::string(line.substr(i + 1, close - i - 1)), true};
            i = close + 1;
            if (i < line.size() && !Blank(line[i])) return std::nullopt;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !Blank(line[i])) {
                if (line[i] == '"') return std::nullopt;
                ++i;
            }
            word.text = std::string(line.substr(start, i - start));
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool LooksLikeSwitch(const Word& word)
{
    return !word.quoted && word.text.size() > 1 && (word.text[0] == '/' || word.text[0] == '-');
}

std::string Joined(const std::vector<Word>& words, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        if (!text.empty()) text += ' ';
        text += words[i].text;
    }
    return text;
}

ParsedLink Refused(LinkRefusal reason) { return RefusedLink{reason}; }

}  // namespace

std::optional<ParsedLink> LinkOfCommandLine(std::string_view commandLine)
{
    const std::string_view rest = AfterProgramName(commandLine);
    std::size_t first_end = 0;
    while (first_end < rest.size() && !Blank(rest[first_end])) ++first_end;
    const std::string_view first = rest.substr(0, first_end);
    const bool link = IsSwitch(first, "link");
    const bool office = IsSwitch(first, "office");
    const bool find = IsSwitch(first, "find");
    if (!link && !office && !find) return std::nullopt;

    std::string_view argument = rest.substr(first_end);
    while (!argument.empty() && Blank(argument.front())) argument.remove_prefix(1);
    while (!argument.empty() && Blank(argument.back())) argument.remove_suffix(1);
    if (argument.size() > kMaxLinkLength) return Refused(LinkRefusal::TooLong);

    if (link) {
        // The shell writes the link in quotes; whatever else is there belongs
        // to the link, which refuses quotes and blanks.
        if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
            argument = argument.substr(1, argument.size() - 2);
        return ParseMappaLink(argument);
    }

    const std::optional<std::vector<Word>> words = Words(argument);
    if (!words) return Refused(LinkRefusal::BadCharacter);
    std::size_t country_switch = words->size();
    for (std::size_t i = 0; i < words->size(); ++i) {
        if (!LooksLikeSwitch((*words)[i])) continue;
        if (office && country_switch == words->size() && IsSwitch((*words)[i].text, "country")) {
            country_switch = i;
            continue;
        }
        return Refused(LinkRefusal::Switch);
    }
    // The switch forms go through the link reader, so that they meet the same
    // rules (length, control characters, UTF-8) as a clicked link.
    if (find) {
        const std::string text = Joined(*words, 0, words->size());
        if (text.empty()) return Refused(LinkRefusal::NoText);
        return ParseMappaLink(FindLinkText(text));
    }
    const std::string name = Joined(*words, 0, country_switch);
    const std::string country =
        country_switch < words->size() ? Joined(*words, country_switch + 1, words->size()) : std::string();
    if (name.empty()) return Refused(LinkRefusal::NoOffice);
    return ParseMappaLink(OfficeLinkText(name, country));
}

}  // namespace mappa
