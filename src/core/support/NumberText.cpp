#include "support/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace mappa {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Advances past a run of digits; true when there was at least one.
bool SkipDigits(std::string_view text, std::size_t& at)
{
    const auto start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at > start;
}

bool IsWellFormed(std::string_view text)
{
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) return false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!SkipDigits(text, at)) return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!SkipDigits(text, at)) return false;
    }
    return at == text.size();
}

// Roughly the power of ten of a well-formed, unsigned number: positive for
// numbers of 1 and more, zero or negative below. Only its sign is used, to
// tell an overflow from an underflow, both of which lie hundreds of powers away.
long long DecimalMagnitude(std::string_view text)
{
    const auto exponent_at = text.find_first_of("eE");
    const auto mantissa = text.substr(0, exponent_at);
    const auto point = mantissa.find('.');
    const auto whole = mantissa.substr(0, point);
    const auto first_significant = whole.find_first_not_of('0');

    long long magnitude = 0;
    if (first_significant != std::string_view::npos) {
        magnitude = static_cast<long long>(whole.size() - first_significant);
    } else if (point != std::string_view::npos) {
        const auto fraction = mantissa.substr(point + 1);
        const auto zeros = fraction.find_first_not_of('0');
        magnitude = -static_cast<long long>(zeros == std::string_view::npos ? fraction.size() : zeros);
    }

    if (exponent_at != std::string_view::npos) {
        auto digits = text.substr(exponent_at + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '+' || negative) digits.remove_prefix(1);
        long long exponent = 0;
        for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A well-formed, unsigned number of at most 15 digits and no exponent part:
// its digits and the power of ten it is divided by are doubles that hold their
// values exactly, and one division rounds the quotient correctly, as the full
// conversion would. Coordinates are such numbers; others give nothing here.
std::optional<double> ShortDecimal(std::string_view text)
{
    std::uint64_t digits = 0;
    int count = 0, fraction = 0;
    bool after_point = false;
    for (const char c : text) {
        if (c == '.') {
            after_point = true;
            continue;
        }
        if (!IsDigit(c) || ++count > 15) return std::nullopt;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        if (after_point) ++fraction;
    }
    return static_cast<double>(digits) / kPowersOfTen[fraction];
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text)
{
    if (!IsWellFormed(text)) return std::nullopt;

    const bool negative = text.front() == '-';
    if (text.front() == '+' || negative) text.remove_prefix(1);
    if (const auto value = ShortDecimal(text)) return negative ? -*value : *value;

    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // A number too small for a double rounds to zero; only one too large does not fit.
        if (DecimalMagnitude(text) > 0) return std::nullopt;
        value = 0.0;
    } else if (error != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace mappa
