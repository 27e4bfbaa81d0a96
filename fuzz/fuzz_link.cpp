// Fuzzes the reader of mappa: links and of the command lines that carry them.
// A link comes from anywhere, so whatever the bytes, the reader only ever
// yields an office to select, a text to find or a refusal, and what it yields
// is plain text within the limits; a link that Mappa writes for an office
// reads back as that office.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "automation/LinkCommandLine.h"
#include "automation/MappaLink.h"

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "fuzz_link: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

namespace {

// Well-formed UTF-8 (RFC 3629: no overlong forms, surrogates or values past
// U+10FFFF) without C0 controls, DEL or C1 controls, written out from the RFC.
bool PlainText(std::string_view text)
{
    std::size_t i = 0;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const auto tail = [&](std::size_t at, unsigned low, unsigned high) {
        return at < text.size() && byte(at) >= low && byte(at) <= high;
    };
    while (i < text.size()) {
        const unsigned lead = byte(i);
        if (lead < 0x80) {
            if (lead < 0x20 || lead == 0x7F) return false;
            i += 1;
        } else if (lead >= 0xC2 && lead <= 0xDF && tail(i + 1, 0x80, 0xBF)) {
            if (lead == 0xC2 && byte(i + 1) <= 0x9F) return false;  // C1
            i += 2;
        } else if (lead == 0xE0 && tail(i + 1, 0xA0, 0xBF) && tail(i + 2, 0x80, 0xBF)) {
            i += 3;
        } else if (((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) && tail(i + 1, 0x80, 0xBF) &&
                   tail(i + 2, 0x80, 0xBF)) {
            i += 3;
        } else if (lead == 0xED && tail(i + 1, 0x80, 0x9F) && tail(i + 2, 0x80, 0xBF)) {
            i += 3;
        } else if (lead == 0xF0 && tail(i + 1, 0x90, 0xBF) && tail(i + 2, 0x80, 0xBF) && tail(i + 3, 0x80, 0xBF)) {
            i += 4;
        } else if (lead >= 0xF1 && lead <= 0xF3 && tail(i + 1, 0x80, 0xBF) && tail(i + 2, 0x80, 0xBF) &&
                   tail(i + 3, 0x80, 0xBF)) {
            i += 4;
        } else if (lead == 0xF4 && tail(i + 1, 0x80, 0x8F) && tail(i + 2, 0x80, 0xBF) && tail(i + 3, 0x80, 0xBF)) {
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

// What a link may yield: text within the limits, an office with a name; and
// it reads back the same from the link that Mappa writes for it.
void CheckResult(const mappa::ParsedLink& parsed)
{
    if (const auto* office = std::get_if<mappa::OfficeLink>(&parsed)) {
        FUZZ_CHECK(!office->name.empty());
        FUZZ_CHECK(office->name.size() <= mappa::kMaxLinkValue && office->country.size() <= mappa::kMaxLinkValue);
        FUZZ_CHECK(PlainText(office->name) && PlainText(office->country));
        const std::string again = mappa::OfficeLinkText(office->name, office->country);
        if (again.size() <= mappa::kMaxLinkLength) FUZZ_CHECK(mappa::ParseMappaLink(again) == parsed);
    } else if (const auto* find = std::get_if<mappa::FindLink>(&parsed)) {
        FUZZ_CHECK(find->text.size() <= mappa::kMaxLinkValue);
        FUZZ_CHECK(PlainText(find->text));
        const std::string again = mappa::FindLinkText(find->text);
        if (again.size() <= mappa::kMaxLinkLength) FUZZ_CHECK(mappa::ParseMappaLink(again) == parsed);
    }
}

// A link read as it is written holds nothing that a link may not hold unescaped.
void CheckLink(const std::string& link)
{
    const mappa::ParsedLink parsed = mappa::ParseMappaLink(link);
    CheckResult(parsed);
    if (!std::holds_alternative<mappa::RefusedLink>(parsed)) {
        FUZZ_CHECK(link.size() <= mappa::kMaxLinkLength);
        for (const char c : link) {
            const auto b = static_cast<unsigned char>(c);
            FUZZ_CHECK(b > 0x20 && b != 0x7F && c != '"' && c != '\\');
        }
    }
}

// Any name and country: the office's own link reads back as that office
// exactly when they are plain text within the limits and the name is not empty.
void CheckOwnLink(const std::string& name, const std::string& country)
{
    const std::string link = mappa::OfficeLinkText(name, country);
    const mappa::ParsedLink parsed = mappa::ParseMappaLink(link);
    CheckResult(parsed);
    const bool readable = !name.empty() && name.size() <= mappa::kMaxLinkValue &&
                          country.size() <= mappa::kMaxLinkValue && PlainText(name) && PlainText(country) &&
                          link.size() <= mappa::kMaxLinkLength;
    if (readable) FUZZ_CHECK((parsed == mappa::ParsedLink(mappa::OfficeLink{name, country})));
    else FUZZ_CHECK(std::holds_alternative<mappa::RefusedLink>(parsed));

    const mappa::ParsedLink found = mappa::ParseMappaLink(mappa::FindLinkText(name));
    CheckResult(found);
    if (name.size() <= mappa::kMaxLinkValue && PlainText(name) && mappa::FindLinkText(name).size() <= mappa::kMaxLinkLength)
        FUZZ_CHECK((found == mappa::ParsedLink(mappa::FindLink{name})));
}

// The command line: only the first argument asks for a link, and whatever
// follows it never turns into anything but a link's result.
void CheckCommandLine(const std::string& arguments)
{
    for (const char* program : {"Mappa.exe ", "\"C:\\Program Files\\Mappa\\Mappa.exe\" "}) {
        const std::string line = program + arguments;
        if (const auto parsed = mappa::LinkOfCommandLine(line)) CheckResult(*parsed);
        for (const char* form : {"/link ", "/office ", "/find ", "-LINK \""}) {
            const auto parsed = mappa::LinkOfCommandLine(program + std::string(form) + arguments);
            FUZZ_CHECK(parsed.has_value());
            CheckResult(*parsed);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string whole(reinterpret_cast<const char*>(data), size);
    CheckLink(whole);
    CheckLink("mappa:" + whole);
    CheckCommandLine(whole);

    FuzzedDataProvider provider(data, size);
    const std::string name = provider.ConsumeRandomLengthString(1024);
    const std::string country = provider.ConsumeRemainingBytesAsString();
    CheckOwnLink(name, country);
    return 0;
}
