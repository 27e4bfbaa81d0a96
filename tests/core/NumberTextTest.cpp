#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <string>

#include "support/NumberText.h"

namespace mappa {
namespace {

const std::string kZeros400(400, '0');

TEST(ParseDecimal, ReadsExactValues)
{
    struct Case { std::string text; double value; };
    const Case cases[] = {
        {"0", 0.0},         {"7", 7.0},          {"+7", 7.0},          {"-7", -7.0},
        {"007", 7.0},       {"51.5", 51.5},      {"-33.9", -33.9},     {"0.1", 0.1},
        {"151.2", 151.2},   {"1E3", 1000.0},     {"1e3", 1000.0},      {"1e+3", 1000.0},
        {"1e-3", 0.001},    {"-2.5E-2", -0.025}, {"1.5e0", 1.5},       {"1e03", 1000.0},
        {"2.2250738585072014e-308", DBL_MIN},    {"1.7976931348623157e308", DBL_MAX},
        {"123456789012345678", 123456789012345678.0},
        {"0.30000000000000004", 0.30000000000000004},
        {"1" + kZeros400 + "e-399", 10.0},
        {"0." + kZeros400 + "1e401", 1.0},
        {"0e400", 0.0},
        // Fifteen digits and more: the short way and the full conversion meet here.
        {"123456789.012345", 123456789.012345}, {"0.000000000000001", 1e-15},
        {"1234567890123456", 1234567890123456.0}, {"9007199254740993", 9007199254740992.0},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseDecimal(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
}

TEST(ParseDecimal, NumbersTooSmallForADoubleAreZero)
{
    const std::string cases[] = {"1e-400", "-1e-400", "0." + kZeros400 + "1", "1e-99999999999999999999"};
    for (const auto& text : cases) {
        const auto parsed = ParseDecimal(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, 0.0) << text;
    }
}

TEST(ParseDecimal, RejectsEverythingOutsideTheGrammarAndOverflow)
{
    const std::string cases[] = {
        "",      "+",      "-",      ".5",     "5.",     "-.5",    "1,5",   " 1",     "1 ",    "\t1",
        "1\n",   "inf",    "-inf",   "nan",    "NaN",    "infinity", "0x10", "0x1p3", "1e",    "1e+",
        "1E-",   "e5",     "1.e5",   "1.5.2",  "--1",    "+-1",    "1e5.0", "1e1e1", "1f",    "1d",
        "1.5 N", "١",      "1_000",  "1'000",  std::string("1\0", 2), std::string("\0" "1", 2),
        "1e400", "-1e400", "1.8e308", "1" + kZeros400, "-1" + kZeros400 + ".5", "1e99999999999999999999",
    };
    for (const auto& text : cases) EXPECT_FALSE(ParseDecimal(text).has_value()) << '"' << text << '"';
}

TEST(ParseDecimal, ReadsOnlyTheGivenView)
{
    const std::string text = "12345e";
    EXPECT_EQ(ParseDecimal(std::string_view(text).substr(0, 2)), 12.0);
    EXPECT_EQ(ParseDecimal(std::string_view(text).substr(1, 3)), 234.0);
}

TEST(ParseDecimal, IgnoresTheDecimalCommaOfTheCurrentLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool comma_locale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"}) {
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
            comma_locale = true;
            break;
        }
    }
    if (!comma_locale) {
        std::setlocale(LC_NUMERIC, previous.c_str());
        GTEST_SKIP() << "no German locale installed";
    }
    const auto point = ParseDecimal("51.5");
    const auto comma = ParseDecimal("51,5");
    const auto exponent = ParseDecimal("-1.25e1");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(point, 51.5);
    EXPECT_FALSE(comma.has_value());
    EXPECT_EQ(exponent, -12.5);
}

}  // namespace
}  // namespace mappa
