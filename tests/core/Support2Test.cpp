#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/Support2.h"

namespace mappa {
namespace {

TEST(TextToBool, AcceptsOnlyTheTrueWordsAndNumbers)
{
    struct Case { const char* text; bool expected; };
    const Case cases[] = {
        {"T", true}, {"t", true}, {"True", true}, {"TRUE", true}, {"tRuE", true}, {"Y", true}, {"y", true},
        {"Yes", true}, {"yes", true}, {"YES", true}, {"On", true}, {"on", true}, {"ON", true},
        {"1", true}, {"-1", true}, {"+", true},
        {"", false}, {"0", false}, {"False", false}, {"No", false}, {"Off", false}, {"2", false},
        {"01", false}, {"+1", false}, {"-", false}, {" 1", false}, {"1 ", false}, {"true ", false},
        {" yes", false}, {"Tru", false}, {"Yess", false}, {"O", false}, {"-1.0", false}, {"1-", false},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToBool(c.text), c.expected) << '"' << c.text << '"';
    // No trailing NUL sneaks into the comparison.
    EXPECT_FALSE(TextToBool(std::string_view("1\0", 2)));
    EXPECT_FALSE(TextToBool(std::string_view("On\0", 3)));
}

struct SplitCase { std::string source; char delimiter; std::string token; std::string rest; };

const SplitCase kSplitCases[] = {
    {"a,b", ',', "a", "b"},      {"abc", ',', "abc", ""},     {",abc", ',', "", "abc"},
    {"abc,", ',', "abc", ""},    {"a,,b", ',', "a", ",b"},    {"", ',', "", ""},
    {",", ',', "", ""},          {"a\\b\\c", '\\', "a", "b\\c"}, {"a b", ' ', "a", "b"},
    {"a,b", '\0', "a,b", ""},    {std::string("a\0b", 3), '\0', std::string("a\0b", 3), ""},
    {"a;b", ',', "a;b", ""},
};

TEST(SplitToken, TakesTheTextBeforeTheFirstDelimiter)
{
    for (const auto& c : kSplitCases) {
        std::string source = c.source;
        EXPECT_EQ(SplitToken(source, c.delimiter), c.token) << c.source;
        EXPECT_EQ(source, c.rest) << c.source;
    }
}

TEST(SplitToken, ViewOverloadBehavesTheSame)
{
    for (const auto& c : kSplitCases) {
        std::string_view source = c.source;
        EXPECT_EQ(SplitToken(source, c.delimiter), c.token) << c.source;
        EXPECT_EQ(source, c.rest) << c.source;
    }
}

template <typename Source>
std::vector<std::string> SplitAll(std::string text, char delimiter)
{
    Source source = text;
    std::vector<std::string> tokens;
    while (!source.empty()) tokens.emplace_back(SplitToken(source, delimiter));
    return tokens;
}

TEST(SplitToken, LoopKeepsInnerEmptyTokensButNoEmptyLastOne)
{
    using V = std::vector<std::string>;
    for (auto split : {&SplitAll<std::string>, &SplitAll<std::string_view>}) {
        EXPECT_EQ(split("a,,b", ','), (V{"a", "", "b"}));
        EXPECT_EQ(split("a,b,", ','), (V{"a", "b"}));
        EXPECT_EQ(split(",a", ','), (V{"", "a"}));
        EXPECT_EQ(split(",,", ','), (V{"", ""}));
    }
}

TEST(NextField, ReadsTrimmedAndQuotedFields)
{
    using V = std::vector<std::string>;
    struct Case { std::string text; V fields; };
    const Case cases[] = {
        {"  12 , 'a,b' ,\"c\",  ", {"12", "a,b", "", "c"}},
        {"a,b", {"a", "b"}},
        {" a b ,c", {"a b", "c"}},
        {"\t\r\n x \x01,\x1f y\x20", {"x", "y"}},
        {"\"abc", {"abc"}},
        {"'abc,def", {"abc,def"}},
        {"\"a\"\"b\"", {"a", "b"}},
        {"\"x\" ,y", {"x", "", "y"}},
        {"'a\"b',\"c'd\"", {"a\"b", "c'd"}},
        {"\"\",x", {"", "x"}},
        {"' a ' , b", {" a ", "", "b"}},
        {"a,", {"a"}},
        {",a", {"", "a"}},
        {"   ", {""}},
        {"\xE9t\xE9,\xA0x\xA0", {"\xE9t\xE9", "\xA0x\xA0"}},  // bytes above 127 are text, not blanks
    };
    for (const auto& c : cases) {
        std::string source = c.text;
        V fields;
        while (!source.empty() && fields.size() < 10) fields.push_back(NextField(source));
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

TEST(NextField, LeavesTheRestOfTheList)
{
    struct Case { std::string text; std::string field; std::string rest; };
    const Case cases[] = {
        {"", "", ""}, {" \t ", "", ""},
        {"a , b", "a", " b"},
        {"'a', b", "a", " b"},
        {"'a' , b", "a", " , b"},
        {"'a,b", "a,b", ""},
        {"\"a\"\"b\"", "a", "\"b\""},
    };
    for (const auto& c : cases) {
        std::string source = c.text;
        EXPECT_EQ(NextField(source), c.field) << c.text;
        EXPECT_EQ(source, c.rest) << c.text;
    }
}

TEST(Backslash, AddAndStripTouchOneTrailingBackslash)
{
    struct Case { const char* path; const char* added; const char* stripped; };
    const Case cases[] = {
        {"", "\\", ""},
        {"\\", "\\", ""},
        {"C:", "C:\\", "C:"},
        {"C:\\", "C:\\", "C:"},
        {"C:\\Tools", "C:\\Tools\\", "C:\\Tools"},
        {"a\\\\", "a\\\\", "a\\"},
        {"a/", "a/\\", "a/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddBackslash(c.path), c.added) << c.path;
        EXPECT_EQ(StripBackslash(c.path), c.stripped) << c.path;
    }
}

TEST(ExtractDirectory, KeepsDriveRootsAndNeverTakesTheFirstCharacter)
{
    struct Case { const char* path; const char* directory; };
    const Case cases[] = {
        {"", ""},
        {"C:\\Tools\\prog.exe", "C:\\Tools"},
        {"C:\\prog.exe", "C:\\"},
        {"prog.exe", ""},
        {"\\prog.exe", "\\"},
        {"\\", "\\"},
        {"\\\\", "\\"},
        {"Sub\\Key\\Name", "Sub\\Key"},
        {"D:\\", "D:\\"},
        {"D:\\Dir\\", "D:\\Dir"},
        {"\\\\server\\share\\x", "\\\\server\\share"},
        {"C:prog.exe", ""},
        {"a\\", "a"},
        {"x:\\a:\\b", "x:\\a:\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractDirectory(c.path), c.directory) << c.path;
}

TEST(StartsWithText, ComparesAsciiLettersIgnoringCase)
{
    struct Case { const char* text; const char* prefix; bool expected; };
    const Case cases[] = {
        {"Hello", "he", true},     {"hello", "HELLO", true}, {"he", "hello", false},
        {"abc", "", true},         {"", "", true},           {"", "a", false},
        {"abc", "abd", false},     {"abc", "bc", false},     {"[x", "{x", false},
        {"@b", "`b", false},       {"\xC9t\xE9", "\xE9", false}, {"\xE9t\xE9", "\xE9T", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartsWithText(c.text, c.prefix), c.expected) << c.text << " / " << c.prefix;
}

TEST(ExtractDrive, FindsDriveLettersAndShares)
{
    struct Case { const char* path; const char* drive; };
    const Case cases[] = {
        {"C:\\x\\y", "C:"}, {"c:", "c:"},   {"C:file", "C:"},
        {"\\\\server\\share\\x\\y", "\\\\server\\share"}, {"\\\\server\\share", "\\\\server\\share"},
        {"\\x", ""},        {"x\\y", ""},   {"", ""},      {"C", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractDrive(c.path), c.drive) << c.path;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A file system that answers with the stored name of the last component and
// remembers every path it was asked about.
struct FakeFileSystem {
    std::map<std::string, std::string> entries;  // lower-cased full path -> stored name
    std::vector<std::string> queries;

    explicit FakeFileSystem(std::initializer_list<std::string> paths)
    {
        for (const auto& path : paths) entries[Lower(path)] = path.substr(path.find_last_of('\\') + 1);
    }
    EntryLookup lookup()
    {
        return [this](const std::string& path) -> std::optional<std::string> {
            queries.push_back(path);
            const auto found = entries.find(Lower(path));
            if (found == entries.end()) return std::nullopt;
            return found->second;
        };
    }
};

TEST(TrueCasePath, SpellsEachFoundComponentAsStored)
{
    using V = std::vector<std::string>;
    struct Case { const char* directory; const char* name; const char* expected; V queries; };
    const Case cases[] = {
        {"", "c:\\program files\\MAPPA.EXE", "c:\\Program Files\\Mappa.exe",
         {"c:\\program files", "c:\\Program Files\\MAPPA.EXE"}},
        {"", "C:\\nothere\\program files", "C:\\Program Files", {"C:\\nothere", "C:\\program files"}},
        {"", "c:\\a\\b", "c:", {"c:\\a", "c:\\b"}},
        {"C:\\Program Files", "mappa.exe", "C:\\Program Files\\Mappa.exe", {"C:\\Program Files\\mappa.exe"}},
        {"c:\\PROGRAM files\\", "mappa.exe", "c:\\PROGRAM files\\Mappa.exe", {"c:\\PROGRAM files\\mappa.exe"}},
        {"C:\\Tools", "\\x.exe", "C:\\Tools\\X.exe", {"C:\\Tools\\x.exe"}},
        {"", "windows", "\\Windows", {"\\windows"}},
        {"", "\\windows\\SYSTEM32", "\\Windows\\System32", {"\\windows", "\\Windows\\SYSTEM32"}},
        {"", "\\\\srv\\share\\docs\\a.txt", "\\\\srv\\share\\Docs\\A.txt",
         {"\\\\srv\\share\\docs", "\\\\srv\\share\\Docs\\a.txt"}},
        {"C:\\X", "", "C:\\X", {}},
        {"", "", "", {}},
    };
    for (const auto& c : cases) {
        FakeFileSystem fs{"C:\\Program Files", "C:\\Program Files\\Mappa.exe", "C:\\Tools\\X.exe",
                          "\\Windows", "\\Windows\\System32", "\\\\srv\\share\\Docs", "\\\\srv\\share\\Docs\\A.txt"};
        EXPECT_EQ(TrueCasePath(c.directory, c.name, fs.lookup()), c.expected) << c.directory << " + " << c.name;
        EXPECT_EQ(fs.queries, c.queries) << c.directory << " + " << c.name;
    }
}

}  // namespace
}  // namespace mappa
