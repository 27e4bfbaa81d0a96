#include "ui/SearchText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/CanonicalComposition.h"
#include "ui/SearchFoldTable.h"

namespace mappa {
namespace {

using search::CharClass;
using search::Entry;
using search::FoldTable;
using search::kIgnored;
using search::kLetter;
using search::kNoSpace;
using search::kReplaced;
using search::kSeparator;
using search::ClassOf;
using search::Decode;

// Composes `c` with the marks that follow it from text[i] on, as canonical
// composition does; returns the bytes taken. Characters that folding drops
// are looked past, so that folded text folds to itself. A character that can
// neither compose nor be looked past ends the search before it is decoded,
// which is where the search ends for almost every character.
std::size_t ComposeFollowing(const FoldTable& table, std::string_view text, std::size_t i, char32_t& c)
{
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t taken = 0;
    for (std::size_t j = i; j < text.size() && bytes[j] >= 0x80;) {
        if (!table.mayJoinComposition(bytes + j, bytes + text.size())) break;
        char32_t mark = 0;
        const std::size_t length = Decode(text, j, mark);
        if (length == 0) break;
        j += length;
        const char32_t composite = search::MayCompose(mark) ? search::Composed(c, mark) : 0;
        if (composite) {
            c = composite;
            taken = j - i;
        } else if (ClassOf(table.lookup(mark)) != kIgnored) {
            break;
        }
    }
    return taken;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) { return Decode(text, i, c); }

char* FoldSearchText(std::string_view text, char* out, const char* origin, std::vector<std::uint32_t>* starts)
{
    const FoldTable& table = search::Table();
    const char* const source = text.data();
    const std::size_t size = text.size();
    char* next = out;
    CharClass previous = kSeparator;
    for (std::size_t i = 0; i < size;) {
        auto lead = static_cast<unsigned char>(source[i]);
        if (lead < 0x80) {  // ASCII is only letters, digits and separators
            char folded = table.asciiFolded(lead);
            if (folded == 0) {
                previous = kSeparator;
                ++i;
                continue;
            }
            if (previous != kLetter) {
                *next++ = ' ';
                previous = kLetter;
                if (starts) starts->push_back(static_cast<std::uint32_t>(next - origin));
            }
            do {  // the rest of the run of ASCII letters and digits
                *next++ = folded;
                ++i;
            } while (i < size && (lead = static_cast<unsigned char>(source[i])) < 0x80 &&
                     (folded = table.asciiFolded(lead)) != 0);
            continue;
        }
        char32_t c = 0;
        std::size_t length = Decode(text, i, c);
        const std::size_t own_length = length;
        if (length) length += ComposeFollowing(table, text, i + length, c);
        const Entry entry = length ? table.lookup(c) : Entry{kSeparator};
        const CharClass cls = ClassOf(entry);
        if (cls == kSeparator) {
            previous = kSeparator;
        } else if (cls != kIgnored) {
            if (cls != previous) {
                *next++ = ' ';
                previous = cls;
            }
            if (starts && (cls == kNoSpace || next[-1] == ' '))
                starts->push_back(static_cast<std::uint32_t>(next - origin));
            if (entry & kReplaced) {
                next = table.writeReplacement(entry, next);
            } else if (length == own_length) {
                for (std::size_t k = 0; k < length; ++k) *next++ = source[i + k];
            } else {
                next += search::EncodeUtf8(c, next);
            }
        }
        i += length ? length : 1;
    }
    return next;
}

void AppendSearchText(std::string_view text, std::string& out, std::vector<std::uint32_t>* starts)
{
    const std::size_t base = out.size();
    out.resize(base + SearchTextRoom(text.size()));
    char* const end = FoldSearchText(text, out.data() + base, out.data(), starts);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::vector<std::string> SearchWords(std::string_view query)
{
    std::string folded;
    AppendSearchText(query, folded);
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = folded.find(' ', start)) != std::string::npos) {
        ++start;
        const std::size_t end = std::min(folded.find(' ', start), folded.size());
        words.push_back(folded.substr(start, end - start));
        start = end;
    }
    return words;
}

}  // namespace mappa
