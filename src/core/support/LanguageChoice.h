// Which of the program's languages a user gets: the nearest one to the
// languages that they prefer, and the fixed words of texts filled in.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mappa {

// The first of `preferred` (BCP 47 names such as "de-AT", "zh-Hans-CN",
// "pt_PT", best first) that one of `available` serves, as its index there:
// the same name, else the same language where the script agrees ("zh-TW"
// and "zh-Hant" are not served by "zh-Hans"). Letter case and '_' for '-'
// do not matter. None when no preferred language is served.
std::optional<std::size_t> NearestLanguage(std::span<const std::string> preferred,
                                           std::span<const std::string_view> available);

// `pattern` with {0} to {9} replaced by `values`; a placeholder without a
// value is left as it stands.
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace mappa
