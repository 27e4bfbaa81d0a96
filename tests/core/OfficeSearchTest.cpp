#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "mapdata/Location.h"
#include "ui/OfficeSearch.h"
#include "ui/SearchText.h"

namespace mappa {
namespace {

std::string Folded(std::string_view text)
{
    std::string out;
    AppendSearchText(text, out);
    return out;
}

struct FoldCase {
    const char* text;
    const char* folded;
};

TEST(SearchText, FoldsCaseAndAccentsOfEveryScriptItKnows)
{
    const FoldCase cases[] = {
        {"São Paulo", " sao paulo"},
        {"ZÜRICH", " zurich"},
        {"Sa\xCC\x83o", " sao"},  // a + combining tilde
        {"Straße STRAẞE", " strasse strasse"},
        {"Æbeltoft Œuvre Þórshöfn", " aebeltoft oeuvre thorshofn"},
        {"Łódź Kraków Øresund Đakovo", " lodz krakow oresund dakovo"},
        {"İstanbul Diyarbakır", " istanbul diyarbakir"},
        {"Hà Nội Đà Nẵng", " ha noi da nang"},
        {"București Țară", " bucuresti tara"},
        {"ΑΘΉΝΑ Ἀθῆναι Σῶς", " αθηνα αθηναι σωσ"},
        {"МОСКВА Ёлки Йошкар", " москва елки йошкар"},
        {"ԵՐԵՎԱՆ", " երեվան"},
        {"ＴＯＫＹＯ １２３", " tokyo 123"},
        {"القاهِرة ٢٠٢٤", " القاهرة 2024"},
        {"ﬁnance", " finance"},
    };
    for (const FoldCase& c : cases) EXPECT_EQ(Folded(c.text), c.folded) << c.text;
}

// Pairs made by Python's unicodedata (tests/data/make-canonical-equivalents.py):
// the composed and the decomposed form of each text fold alike.
TEST(SearchText, CanonicallyEquivalentTextsFoldAlike)
{
    std::ifstream file(std::string(MAPPA_TEST_DATA) + "/canonical-equivalents.txt", std::ios::binary);
    ASSERT_TRUE(file);
    std::size_t pairs = 0;
    for (std::string line; std::getline(file, line);) {
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string composed = line.substr(0, tab), decomposed = line.substr(tab + 1);
        EXPECT_EQ(Folded(composed), Folded(decomposed)) << composed;
        EXPECT_EQ(Folded(Folded(decomposed)), Folded(decomposed)) << composed;
        ++pairs;
    }
    EXPECT_GT(pairs, 450u);
}

TEST(SearchText, ComposingKeepsLettersOfTheirOwnAndFoldsHamzaAway)
{
    const FoldCase cases[] = {
        {"\u0439", " \u0439"},             // й stays й ...
        {"\u0438\u0306", " \u0439"},       // ... and и + breve is й
        {"\u0438\u200D\u0306", " \u0439"},  // past a character that folding drops
        {"\u0438\uFE00\u0306", " \u0439"},       // ... in any block
        {"\u0438\U000E0100\u0306", " \u0439"},   // ... or plane
        {"\u1100\u200D\u1161\u11A8", " \uAC01"},  // jamo too
        {"\u0438\u0410\u0306", " \u0438\u04D1"},  // a letter ends it
        {"\u0438\u0301", " \u0438"},       // no composite: the accent goes
        {"\u304B\u3099", " \u304C"},       // か + voiced mark
        {"\u1109\u1165\u110B\u116E\u11AF", " \uC11C\uC6B8"},  // 서울 in jamo
        {"\u0627\u0654\u062B\u064A\u0646\u0627", " \u0627\u062B\u064A\u0646\u0627"},
        {"\u0623\u062B\u064A\u0646\u0627", " \u0627\u062B\u064A\u0646\u0627"},  // أثينا as اثينا
        {"\u0625 \u0622", " \u0627 \u0627"},
        {"\u0624", " \u0624"},             // waw with hamza is a letter of its own
        {"\u0BC6\u0BBE", " \u0BCA"},       // Tamil two-part vowel
        {"e\u0301", " e"},
    };
    for (const FoldCase& c : cases) EXPECT_EQ(Folded(c.text), c.folded) << c.text;
}

// A ligature folds to its letters, which are longer than it: և, two bytes,
// folds to the four of եվ, as the same word is written in capitals.
TEST(SearchText, LigaturesFoldToTheirLetters)
{
    const FoldCase cases[] = {
        {"\u0587", " \u0565\u057E"},
        {"\u0535\u054E \u0565\u057E", " \u0565\u057E \u0565\u057E"},  // ԵՎ եվ
        {"\u0535\u0580\u0587\u0561\u0576", " \u0565\u0580\u0565\u057E\u0561\u0576"},  // Երևան
        {"\u0587.\u0587\u0587-\u0587", " \u0565\u057E \u0565\u057E\u0565\u057E \u0565\u057E"},
        {"\uFB13\uFB14\uFB15\uFB16\uFB17",
         " \u0574\u0576\u0574\u0565\u0574\u056B\u057E\u0576\u0574\u056D"},
        {"\uFB03 \u0587", " ffi \u0565\u057E"},
    };
    for (const FoldCase& c : cases) {
        EXPECT_EQ(Folded(c.text), c.folded) << c.text;
        EXPECT_EQ(Folded(c.folded), c.folded) << c.text;
    }
}

// Folding writes into room it is given, which no text may overrun: every
// character alone, after a separator (so with the space before it), in a
// run, and as a run of its own between separators.
TEST(SearchText, NoTextOutgrowsItsRoom)
{
    static constexpr char kGuard = '\x5A';
    std::vector<char> buffer;
    std::vector<std::uint32_t> starts;
    const auto fits = [&](const std::string& text) {
        const std::size_t room = SearchTextRoom(text.size());
        buffer.assign(room + 16, kGuard);
        starts.clear();
        const char* end = FoldSearchText(text, buffer.data(), buffer.data(), &starts);
        const bool guard_kept = std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(room), buffer.end(),
                                            [](char c) { return c == kGuard; });
        return end <= buffer.data() + room && guard_kept;
    };
    std::size_t checked = 0;
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 251) {
        if (c >= 0xD800 && c < 0xE000) continue;
        std::string one;
        char32_t decoded = 0;
        if (c < 0x80) {
            one = std::string(1, static_cast<char>(c));
        } else if (c < 0x800) {
            one = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            one = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            one = {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                   static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
        ASSERT_EQ(DecodeUtf8(one, 0, decoded), one.size());
        ASSERT_EQ(decoded, c);
        for (const std::string& text : {one, "." + one, one + one + one, one + "." + one + "." + one, "a" + one}) {
            ASSERT_TRUE(fits(text)) << std::hex << static_cast<std::uint32_t>(c);
            ++checked;
        }
    }
    // Pairs that compose, and the jamo of a syllable.
    for (const char* text : {"\u0438\u0306", ".\u0418\u0306", "\u1109\u1165\u11AF", "\u304B\u3099\u304B"})
        EXPECT_TRUE(fits(text)) << text;
    EXPECT_GT(checked, 300000u);
}

TEST(SearchText, WordsAreRunsOfLettersAndDigits)
{
    const FoldCase cases[] = {
        {"+46 19 555-0100", " 46 19 555 0100"},
        {"nordic@example.com", " nordic example com"},
        {"  Rio de  Janeiro, Brazil ", " rio de janeiro brazil"},
        {"O’Brien “Ltd”", " o brien ltd"},
        {"東京タワー株式会社", " 東京タワー株式会社"},
        {"東京、大阪", " 東京 大阪"},
        {"Tokyo東京Tower", " tokyo 東京 tower"},
        {"ถนนสีลม๑๒", " ถนนสีลม 12"},  // Thai digits leave the run
        {"soft\xC2\xADhyphen zero\xE2\x80\x8Bwidth", " softhyphen zero width"},
        {"bad\xFF" "byte \xC3", " bad byte"},
        {"\xE0\x80\xAF overlong", " overlong"},
        {"", ""},
        {"-- !! --", ""},
    };
    for (const FoldCase& c : cases) EXPECT_EQ(Folded(c.text), c.folded) << c.text;
}

TEST(SearchText, QueryWordsAndMatchStarts)
{
    EXPECT_EQ(SearchWords("  São-PAULO 京都 "), (std::vector<std::string>{"sao", "paulo", "京都"}));
    EXPECT_TRUE(SearchWords(" ,; ").empty());

    std::string out;
    std::vector<std::uint32_t> starts;
    AppendSearchText("Ab 東京タ, c", out, &starts);
    EXPECT_EQ(out, " ab 東京タ c");
    EXPECT_EQ(starts, (std::vector<std::uint32_t>{1, 4, 7, 10, 14}));
}

struct Office {
    std::string name, city, country, phone, email;
};

class Offices {
public:
    explicit Offices(std::vector<Office> offices) : offices_(std::move(offices)) {}

    OfficeSearch index() const
    {
        return OfficeSearch(offices_.size(), [&](std::size_t i) {
            const Office& o = offices_[i];
            return OfficeSearchFields{o.name, o.city, o.country, o.phone, o.email};
        });
    }

private:
    std::vector<Office> offices_;
};

using Result = std::vector<std::uint32_t>;

const Offices& Sample()
{
    static const Offices offices({
        {"Norvantic Nordic AB", "Orebro", "Sweden", "+46 19 555 0100", "nordic@example.com"},
        {"Norvantic do Brasil", "São Paulo", "Brazil", "+55 11 5555 0100", "brasil@example.com"},
        {"Norvantic Schweiz AG", "Zürich", "Switzerland", "", "zurich@example.com"},
        {"Norvantic Japan", "東京都港区", "日本", "+81 3 5555 0100", "japan@example.com"},
        {"Норвантик", "Москва", "Россия", "+7 495 555 01 00", "moscow@example.com"},
        {"Norvantic Hellas", "Αθήνα", "Ελλάδα", "+30 21 0555 0100", "hellas@example.com"},
        {"Sao Tome Trading", "São Tomé", "São Tomé and Príncipe", "", "sao@example.com"},
    });
    return offices;
}

TEST(OfficeSearch, EveryWordMustStartAWordOfSomeField)
{
    OfficeSearch search = Sample().index();
    const struct {
        const char* query;
        Result expected;
    } cases[] = {
        {"sao", {1, 6}},
        {"SÃO paulo", {1}},
        {"ZUR", {2}},             // city and e-mail
        {"nor swe", {0}},          // name and country
        {"555 0100", {0, 1, 3}},
        {"+46", {0}},
        {"example.com", {0, 1, 2, 3, 4, 5, 6}},
        {"orvantic", {}},          // inside a word
        {"weden", {}},
        {"港区", {3}},              // anywhere in a run without spaces
        {"京", {3}},
        {"日本 japan", {3}},
        {"москва", {4}},
        {"МОСК россия", {4}},
        {"αθηνα", {5}},
        {"ελλαδα", {5}},
        {"principe", {6}},
        {"norvantic nordicx", {}},
        {"", {0, 1, 2, 3, 4, 5, 6}},
        {" - ", {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) EXPECT_EQ(search.filter(c.query), c.expected) << c.query;
}

// Typing key by key, deleting and retyping must give what a fresh index gives.
TEST(OfficeSearch, RefiningGivesWhatAFreshSearchGives)
{
    OfficeSearch typed = Sample().index();
    for (const char* query : {"s", "sa", "sao", "sao ", "sao t", "sao to", "sao t", "s", "", "n", "no", "nor s",
                              "nor sw", "or", "nor", "n s", "n sw"}) {
        OfficeSearch fresh = Sample().index();
        EXPECT_EQ(typed.filter(query), fresh.filter(query)) << query;
    }
}

// Against a plain reading of the rule, over random offices and queries made
// of a few syllables, so that prefixes, long words and the last bytes of the
// index all come up.
TEST(OfficeSearch, AgreesWithAPlainSearch)
{
    const char* const syllables[] = {"a", "Ab", "ä", "bc", "东", "京都", "ß", "ss", " ", "-", "abcde", "Ünï"};
    std::mt19937 random(7);
    const auto text = [&](int pieces) {
        std::string t;
        for (int i = random() % pieces; i >= 0; --i) t += syllables[random() % std::size(syllables)];
        return t;
    };
    std::vector<Office> offices(300);
    for (Office& o : offices) o = {text(6), text(3), text(2), text(2), text(2)};
    OfficeSearch search = Offices(offices).index();

    struct Folded {
        std::string text;
        std::vector<std::uint32_t> starts;
    };
    std::vector<std::vector<Folded>> folded_offices;
    for (const Office& o : offices) {
        folded_offices.emplace_back();
        for (const std::string* field : {&o.name, &o.city, &o.country, &o.phone, &o.email}) {
            Folded f;
            AppendSearchText(*field, f.text, &f.starts);
            folded_offices.back().push_back(std::move(f));
        }
    }
    const auto plain = [&](const std::string& query) {
        Result result;
        for (std::uint32_t i = 0; i < offices.size(); ++i) {
            bool all = true;
            for (const std::string& word : SearchWords(query)) {
                bool found = false;
                for (const Folded& field : folded_offices[i])
                    for (const std::uint32_t start : field.starts)
                        found |= field.text.compare(start, word.size(), word) == 0;
                all &= found;
            }
            if (all) result.push_back(i);
        }
        return result;
    };
    std::string query;
    int some = 0, none = 0;
    for (int round = 0; round < 200; ++round) {
        if (random() % 4 == 0) query.clear();
        query += text(2);
        const Result expected = plain(query);
        ASSERT_EQ(search.filter(query), expected) << query;
        (expected.empty() ? none : some) += 1;
    }
    EXPECT_GT(some, 50);
    EXPECT_GT(none, 10);
}

TEST(OfficeSearch, TheArmenianLigatureFindsItsLettersAndBack)
{
    // Երևան written with the ligature, and the same name written out.
    OfficeSearch search = Offices({{"A", "\u0535\u0580\u0587\u0561\u0576", "", "", ""},
                                   {"B", "\u0535\u0580\u0565\u057E\u0561\u0576", "", "", ""},
                                   {"C", "\u0535\u0580\u0565\u0582\u0561\u0576", "", "", ""}})
                              .index();
    for (const char* query : {"\u0565\u0580\u0565\u057E", "\u0535\u0550\u0535\u054E\u0531\u0546",
                              "\u0565\u0580\u0587", "\u0535\u0580\u0587\u0561\u0576"})
        EXPECT_EQ(search.filter(query), (Result{0, 1})) << query;
    EXPECT_EQ(search.filter("\u0587"), Result{}) << "inside a word";
    EXPECT_EQ(search.filter("\u0565\u0580\u0565"), (Result{0, 1, 2}));
}

TEST(OfficeSearch, EmptyIndexAndRecordAdaptor)
{
    OfficeSearch none(0, [](std::size_t) { return OfficeSearchFields{}; });
    EXPECT_EQ(none.size(), 0u);
    EXPECT_TRUE(none.filter("").empty());
    EXPECT_TRUE(none.filter("a").empty());

    TLocation office;
    office.Name = "Norvantic Nordic AB";
    office.Extra1 = "Storgatan 1";
    office.Extra2 = "Orebro";
    office.Country = "Sweden";
    OfficeSearch one(1, [&](std::size_t) { return SearchFieldsOf(office); });
    EXPECT_EQ(one.filter("orebro").size(), 1u);
    EXPECT_TRUE(one.filter("storgatan").empty());  // the street is not searched
}

}  // namespace
}  // namespace mappa
