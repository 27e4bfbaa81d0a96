// Fuzzes the text, path and number utilities that the data loader and the
// settings stores are built on, the search folding and the contact card.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "support/NumberText.h"
#include "support/Support2.h"
#include "ui/ContactCard.h"
#include "ui/SearchText.h"
#include "ui/ShellAddress.h"

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "fuzz_text: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

namespace {

bool IsPrefix(std::string_view prefix, std::string_view text) { return text.substr(0, prefix.size()) == prefix; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextPlain(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

void CheckSplitToken(const std::string& text, char delimiter)
{
    std::string source = text;
    std::string_view view = text;
    const std::string token = mappa::SplitToken(source, delimiter);
    const std::string_view view_token = mappa::SplitToken(view, delimiter);
    FUZZ_CHECK(token == view_token);
    FUZZ_CHECK(source == view);

    const auto at = delimiter == '\0' ? std::string::npos : text.find(delimiter);
    if (at == std::string::npos) {
        FUZZ_CHECK(token == text);
        FUZZ_CHECK(source.empty());
    } else {
        FUZZ_CHECK(token == text.substr(0, at));
        FUZZ_CHECK(token.find(delimiter) == std::string::npos);
        FUZZ_CHECK(token + delimiter + source == text);
    }
}

void CheckNextField(const std::string& text)
{
    std::string source = text;
    std::size_t calls = 0;
    while (!source.empty()) {
        const std::size_t before = source.size();
        const std::string field = mappa::NextField(source);
        ++calls;
        // Each call takes something, and a field never outgrows its source.
        FUZZ_CHECK(source.size() < before);
        FUZZ_CHECK(field.size() <= before);
        FUZZ_CHECK(calls <= text.size() + 1);
    }
    std::string empty;
    FUZZ_CHECK(mappa::NextField(empty).empty());
    FUZZ_CHECK(empty.empty());
}

void CheckPaths(const std::string& path)
{
    const std::string directory = mappa::ExtractDirectory(path);
    FUZZ_CHECK(IsPrefix(directory, path));
    FUZZ_CHECK(directory.size() <= path.size());
    if (path.empty()) FUZZ_CHECK(directory.empty());
    const auto at = path.find_last_of('\\');
    if (at == std::string::npos || at == 0) FUZZ_CHECK(directory.empty() || directory == "\\");
    // The directory of a directory with a name after it is that directory.
    if (!directory.empty() && directory.back() != '\\' && directory.front() != '\\' &&
        directory.find(':') == std::string::npos) {
        FUZZ_CHECK(mappa::ExtractDirectory(directory + "\\name") == directory);
    }

    const std::string drive = mappa::ExtractDrive(path);
    FUZZ_CHECK(IsPrefix(drive, path));

    const std::string with = mappa::AddBackslash(path);
    FUZZ_CHECK(!with.empty() && with.back() == '\\');
    FUZZ_CHECK(IsPrefix(path, with));
    if (path.empty() || path.back() != '\\') FUZZ_CHECK(mappa::StripBackslash(with) == path);
    const std::string without = mappa::StripBackslash(path);
    FUZZ_CHECK(IsPrefix(without, path) && path.size() - without.size() <= 1);
}

void CheckTrueCasePath(const std::string& directory, const std::string& name)
{
    std::size_t calls = 0;
    // A file system that stores every name in capitals, and has no entry
    // whose name starts with an odd byte.
    const mappa::EntryLookup lookup = [&](const std::string& path) -> std::optional<std::string> {
        ++calls;
        FUZZ_CHECK(calls <= name.size() + 1);
        const auto slash = path.find_last_of('\\');
        std::string component = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!component.empty() && (static_cast<unsigned char>(component.front()) & 1) != 0) return std::nullopt;
        for (auto& c : component) c = Upper(c);
        return component;
    };
    const std::string result = mappa::TrueCasePath(directory, name, lookup);
    if (!directory.empty()) FUZZ_CHECK(IsPrefix(directory, result));
    std::size_t components = 1;
    for (const char c : name) components += c == '\\' ? 1 : 0;
    FUZZ_CHECK(calls <= components);
    FUZZ_CHECK(result.size() <= directory.size() + name.size() + components + 2);
}

void CheckTextToBool(const std::string& text)
{
    const bool expected = text == "1" || text == "-1" || text == "+" || SameTextPlain(text, "t") ||
                          SameTextPlain(text, "true") || SameTextPlain(text, "y") || SameTextPlain(text, "yes") ||
                          SameTextPlain(text, "on");
    FUZZ_CHECK(mappa::TextToBool(text) == expected);
}

void CheckStartsWithText(const std::string& text, const std::string& prefix)
{
    const bool expected = text.size() >= prefix.size() && SameTextPlain(text.substr(0, prefix.size()), prefix);
    FUZZ_CHECK(mappa::StartsWithText(text, prefix) == expected);
}

// sign? digits ("." digits)? ([eE] sign? digits)?
bool LooksDecimal(std::string_view text)
{
    std::size_t at = 0;
    const auto digits = [&] {
        const auto start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at > start;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!digits()) return false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digits()) return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!digits()) return false;
    }
    return at == text.size();
}

bool SameDouble(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

void CheckDecimal(const std::string& text)
{
    const auto parsed = mappa::ParseDecimal(text);
    if (!LooksDecimal(text)) {
        FUZZ_CHECK(!parsed);
        return;
    }

    // Against the C library, which reads the same form the same way in the C locale.
    errno = 0;
    const double reference = std::strtod(text.c_str(), nullptr);
    if (std::isinf(reference)) {
        FUZZ_CHECK(!parsed);
        return;
    }
    FUZZ_CHECK(parsed);
    FUZZ_CHECK(SameDouble(*parsed, reference));
    FUZZ_CHECK(std::isfinite(*parsed));

    // What we write, we read back.
    char buffer[64];
    const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, *parsed);
    FUZZ_CHECK(shortest.ec == std::errc{});
    const auto again = mappa::ParseDecimal(std::string_view(buffer, static_cast<std::size_t>(shortest.ptr - buffer)));
    FUZZ_CHECK(again && SameDouble(*again, *parsed));

    const auto scientific = std::to_chars(buffer, buffer + sizeof buffer, *parsed, std::chars_format::scientific, 17);
    FUZZ_CHECK(scientific.ec == std::errc{});
    const auto again2 = mappa::ParseDecimal(std::string_view(buffer, static_cast<std::size_t>(scientific.ptr - buffer)));
    FUZZ_CHECK(again2 && SameDouble(*again2, *parsed));
}

}  // namespace

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = mappa::DecodeUtf8(text, i, c);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// Folded text is " word word": valid UTF-8, single spaces, and folding it
// again changes nothing. Folding into exactly the room it is promised stays
// inside it (the heap buffer's end is where the sanitizer stops it).
void CheckSearchText(const std::string& text)
{
    const std::size_t room = mappa::SearchTextRoom(text.size());
    const std::unique_ptr<char[]> exact(new char[room == 0 ? 1 : room]);
    std::vector<std::uint32_t> starts;
    const char* const end = mappa::FoldSearchText(text, exact.get(), exact.get(), &starts);
    FUZZ_CHECK(end >= exact.get() && end <= exact.get() + room);
    for (const std::uint32_t start : starts) FUZZ_CHECK(start < static_cast<std::size_t>(end - exact.get()));

    std::string folded;
    mappa::AppendSearchText(text, folded);
    FUZZ_CHECK(folded == std::string_view(exact.get(), static_cast<std::size_t>(end - exact.get())));
    FUZZ_CHECK(IsUtf8(folded));
    FUZZ_CHECK(folded.empty() || (folded.front() == ' ' && folded.back() != ' '));
    FUZZ_CHECK(folded.find("  ") == std::string::npos);
    std::string again;
    mappa::AppendSearchText(folded, again);
    FUZZ_CHECK(again == folded);
    std::string joined;
    for (const std::string& word : mappa::SearchWords(text)) joined += " " + word;
    FUZZ_CHECK(joined == folded);
}

// What reaches the shell never carries a blank, a quote, a backslash or a
// control byte, and names its scheme itself.
void CheckShellAddresses(const std::string& text)
{
    const auto safe = [](std::string_view uri) {
        for (const char c : uri) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '\\') return false;
        }
        return true;
    };
    if (const auto web = mappa::WebUriToOpen(text)) {
        FUZZ_CHECK(SameTextPlain(web->substr(0, 7), "http://") || SameTextPlain(web->substr(0, 8), "https://"));
        FUZZ_CHECK(safe(*web));
    }
    if (const auto mail = mappa::MailUriToOpen(text)) {
        FUZZ_CHECK(IsPrefix("mailto:", *mail));
        FUZZ_CHECK(safe(*mail));
        FUZZ_CHECK(mail->find('?') == std::string::npos && mail->find('&') == std::string::npos);
    }
}

void CheckContactCard(const std::string& first, const std::string& second, const std::string& rest)
{
    mappa::ContactCardFields fields;
    fields.name = first;
    fields.street = fields.email = second;
    fields.city = fields.phone = fields.web_link = rest;
    fields.latitude = static_cast<double>(first.size()) - 100.0;
    fields.lat_hemisphere = second.empty() ? 'S' : second[0];
    std::string card;
    try {
        card = mappa::ContactCard(fields);
    } catch (const std::invalid_argument&) {
        // Only blanks, line breaks and controls (C0, DEL, C1) are no name.
        for (std::size_t i = 0; i < first.size(); ++i) {
            const auto c = static_cast<unsigned char>(first[i]);
            const bool c1 = c == 0xC2 && i + 1 < first.size() && static_cast<unsigned char>(first[i + 1]) >= 0x80 &&
                            static_cast<unsigned char>(first[i + 1]) <= 0x9F;
            FUZZ_CHECK(c <= 0x20 || c == 0x7F || c1);
            if (c1) ++i;
        }
        return;
    }
    FUZZ_CHECK(IsUtf8(card));
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < card.size();) {
        const std::size_t end = card.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos && end - start <= 75);
        lines.emplace_back(card.data() + start, end - start);
        FUZZ_CHECK(lines.back().find_first_of("\r\n") == std::string_view::npos);
        start = end + 2;
    }
    // Every property has a value: something after its first colon, on the
    // same line or on a continuation line.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with(' ')) continue;
        const std::size_t colon = lines[i].find(':');
        FUZZ_CHECK(colon != std::string_view::npos);
        FUZZ_CHECK(colon + 1 < lines[i].size() || (i + 1 < lines.size() && lines[i + 1].starts_with(' ')));
    }

    const std::string file = mappa::ContactFileName(first);
    FUZZ_CHECK(IsUtf8(file) && file.size() <= 104 && file.ends_with(".vcf"));
    for (const char c : file) {
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
        FUZZ_CHECK(std::string_view("<>:\"/\\|?*").find(c) == std::string_view::npos);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const char delimiter = provider.ConsumeIntegral<char>();
    const std::string first = provider.ConsumeRandomLengthString(512);
    const std::string second = provider.ConsumeRandomLengthString(512);
    const std::string rest = provider.ConsumeRemainingBytesAsString();

    for (const std::string* text : {&first, &second, &rest}) {
        CheckSplitToken(*text, delimiter);
        CheckSplitToken(*text, ',');
        CheckNextField(*text);
        CheckPaths(*text);
        CheckTextToBool(*text);
        CheckDecimal(*text);
        CheckSearchText(*text);
        CheckShellAddresses(*text);
    }
    CheckContactCard(first, second, rest);
    CheckStartsWithText(first, second);
    CheckTrueCasePath(first, second);
    CheckTrueCasePath(std::string(), rest);
    return 0;
}
