// The languages' string tables beside the English one, the choice of the
// nearest language, and texts filled in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/LanguageChoice.h"

namespace mappa {
namespace {

const std::filesystem::path kSources = MAPPA_SOURCE_DIR;

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The string table of one file: ID name to text as written.
std::map<std::string, std::string> TableOf(const std::string& text, std::vector<std::string>& repeated)
{
    std::map<std::string, std::string> table;
    static const std::regex entry(R"re(^\s+(IDS_\w+)\s+"((?:[^"]|"")*)"\s*$)re", std::regex::multiline);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it)
        if (!table.emplace((*it)[1], (*it)[2]).second) repeated.push_back((*it)[1]);
    return table;
}

std::multiset<std::string> Placeholders(const std::string& text)
{
    std::multiset<std::string> found;
    static const std::regex placeholder(R"(\{[0-9]\})");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

// Every text the program shows has a number in the header, and every
// language's table a text for each number: adding a text is adding it to
// each file, which this test asks for.
TEST(LanguageTables, EveryLanguageHasEveryTextWithTheEnglishPlaceholdersMarksAndDots)
{
    const std::string ids = FileText(kSources / "src/windows/support/UiTextIds.h");
    std::set<std::string> numbered;
    static const std::regex define(R"(#define\s+(IDS_\w+)\s+\d+)");
    for (auto it = std::sregex_iterator(ids.begin(), ids.end(), define); it != std::sregex_iterator(); ++it)
        numbered.insert((*it)[1]);
    ASSERT_GT(numbered.size(), 50u);

    std::vector<std::string> repeated;
    const auto english = TableOf(FileText(kSources / "resources/strings/en.rc"), repeated);
    const std::string included = FileText(kSources / "resources/MapUI.rc");
    std::size_t languages = 0;
    for (const auto& file : std::filesystem::directory_iterator(kSources / "resources/strings")) {
        const std::string name = file.path().filename().string();
        SCOPED_TRACE(name);
        ++languages;
        const std::string text = FileText(file.path());
        EXPECT_NE(text.find("#pragma code_page(65001)"), std::string::npos) << "read as UTF-8";
        EXPECT_NE(text.find("\nLANGUAGE "), std::string::npos);
        EXPECT_NE(included.find("#include \"strings/" + name + "\""), std::string::npos) << "not built in";
        repeated.clear();
        const auto table = TableOf(text, repeated);
        EXPECT_TRUE(repeated.empty()) << repeated.front() << " twice";
        for (const std::string& id : numbered) {
            const auto found = table.find(id);
            if (found == table.end()) {
                ADD_FAILURE() << id << " missing";
                continue;
            }
            const std::string& own = found->second;
            const std::string& designed = english.at(id);
            EXPECT_FALSE(own.empty()) << id;
            EXPECT_EQ(Placeholders(own), Placeholders(designed)) << id << ": " << own;
            EXPECT_EQ(Count(own, "&"), Count(designed, "&")) << id << ": the accelerator mark";
            EXPECT_EQ(Count(own, "\\r\\n"), Count(designed, "\\r\\n")) << id << ": line breaks";
            EXPECT_EQ(own.ends_with("..."), designed.ends_with("...")) << id << ": a menu item that asks for more";
        }
        for (const auto& [id, own] : table) EXPECT_TRUE(numbered.count(id)) << id << " has no number";
    }
    EXPECT_EQ(languages, 11u);
}

TEST(LanguageChoice, TheFirstPreferredLanguageThatWeServeWins)
{
    const std::vector<std::string_view> ours = {"en", "de", "fr", "es", "it", "pt-BR", "pl", "ja", "zh-Hans", "ko", "ar"};
    const struct {
        std::vector<std::string> preferred;
        std::optional<std::size_t> chosen;
    } cases[] = {
        {{"de-DE"}, 1},
        {{"de-AT", "en-US"}, 1},
        {{"en-GB", "de-DE"}, 0},           // English first: English, though German is there too
        {{"sv-SE", "fr-CA"}, 2},           // Swedish we lack: the next one
        {{"PT_pt"}, 5},                    // any Portuguese gets Brazil's
        {{"pt-BR"}, 5},
        {{"zh-CN"}, 8},
        {{"zh-Hans-SG"}, 8},
        {{"zh"}, 8},
        {{"zh-TW", "ja-JP"}, 7},           // Traditional Chinese is not Simplified
        {{"zh-Hant"}, std::nullopt},
        {{"ar-EG"}, 10},
        {{"ko-KR"}, 9},
        {{"nl-NL", "sv"}, std::nullopt},
        {{}, std::nullopt},
        {{""}, std::nullopt},
    };
    for (const auto& c : cases) {
        std::string names;
        for (const auto& name : c.preferred) names += name + " ";
        EXPECT_EQ(NearestLanguage(c.preferred, ours), c.chosen) << names;
    }
}

TEST(LanguageChoice, FillTextPutsValuesInTheirPlaces)
{
    EXPECT_EQ(FillText("and {0} more", {"7"}), "and 7 more");
    EXPECT_EQ(FillText("{2} {1}\u00B0 {0}", {"a", "b", "c"}), "c b\u00B0 a");
    EXPECT_EQ(FillText("{1} and {5} {", {"x", "y"}), "y and {5} {") << "a placeholder without a value stays";
    EXPECT_EQ(FillText("{0}{0}", {"{0}"}), "{0}{0}") << "a value is not filled in again";
}

}  // namespace
}  // namespace mappa
