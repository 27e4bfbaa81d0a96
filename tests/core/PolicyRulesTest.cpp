// What a policy value means: the templates write a number 0 or 1 and an
// expandable text; everything else that an administrator may have typed
// into the registry by hand must leave the program as without the policy.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/PolicyRules.h"

namespace mappa {
namespace {

PolicyValue Number(std::uint32_t number) { return {PolicyValue::Kind::Number, {}, number}; }
PolicyValue Text(std::string text) { return {PolicyValue::Kind::Text, std::move(text), 0}; }
PolicyValue Of(PolicyValue::Kind kind) { return {kind, {}, 0}; }

TEST(PolicyRules, SwitchIsANumberZeroOrOne)
{
    struct Case { const char* what; PolicyValue value; std::optional<bool> expected; };
    const Case cases[] = {
        {"0", Number(0), false},
        {"1", Number(1), true},
        {"2", Number(2), std::nullopt},
        {"0xFFFFFFFF (-1)", Number(0xFFFFFFFFu), std::nullopt},
        {"text \"1\"", Text("1"), std::nullopt},
        {"text \"0\"", Text("0"), std::nullopt},
        {"missing", Of(PolicyValue::Kind::Missing), std::nullopt},
        {"another type", Of(PolicyValue::Kind::Other), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(SwitchPolicy(c.value), c.expected) << c.what;
}

TEST(PolicyRules, PathMustBeAFullPath)
{
    struct Case { const char* text; std::optional<std::string> expected; };
    const Case cases[] = {
        {"C:\\Data\\Mappa2.dat", "C:\\Data\\Mappa2.dat"},
        {"z:/data/offices.dat", "z:/data/offices.dat"},
        {"\\\\fileserver\\share\\Mappa2.dat", "\\\\fileserver\\share\\Mappa2.dat"},
        {"\\\\?\\C:\\Long\\Mappa2.dat", "\\\\?\\C:\\Long\\Mappa2.dat"},
        {"C:\\\u5730\u56F3\\Mappa2.dat", "C:\\\u5730\u56F3\\Mappa2.dat"},
        // What a paste brings along.
        {"  C:\\Data\\Mappa2.dat\t", "C:\\Data\\Mappa2.dat"},
        {"\"\\\\fileserver\\share\\My Offices.dat\"", "\\\\fileserver\\share\\My Offices.dat"},
        {" \" C:\\Data\\Mappa2.dat \" ", "C:\\Data\\Mappa2.dat"},
        // Depends on the current folder or drive, or is no path at all.
        {"Mappa2.dat", std::nullopt},
        {"Data\\Mappa2.dat", std::nullopt},
        {"C:Mappa2.dat", std::nullopt},
        {"\\Data\\Mappa2.dat", std::nullopt},
        {"\\\\\\server\\Mappa2.dat", std::nullopt},
        {"%SHARE%\\Mappa2.dat", std::nullopt},  // a variable left unexpanded
        {"1:\\Mappa2.dat", std::nullopt},
        {"\"C:\\Data\\Mappa2.dat", std::nullopt},
        {"\"\"", std::nullopt},
        {"   ", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(PathPolicy(Text(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(PolicyRules, PathFromAnotherTypeIsNotSet)
{
    EXPECT_EQ(PathPolicy(Number(1)), std::nullopt);
    EXPECT_EQ(PathPolicy(Of(PolicyValue::Kind::Missing)), std::nullopt);
    EXPECT_EQ(PathPolicy(Of(PolicyValue::Kind::Other)), std::nullopt);
}

}  // namespace
}  // namespace mappa
