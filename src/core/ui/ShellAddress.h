// The addresses that the map window hands to the shell. The data file may come
// from a share that many people can write to, so nothing from it reaches the
// shell as it stands: the shell takes a text without a scheme for a file path
// and runs what it names, and a quote ends the argument of the mail client's
// command line. Only a URI built and checked here is handed on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mappa {

// The absolute http or https URI for a web address from the data file: "www."
// gains "https://", any other text must start with http:// or https:// (any
// letter case). The URI needs a host, and it may hold no blank, quote, control
// character, backslash or other character that a URI cannot carry. Nothing
// when the address is not such a web address.
std::optional<std::string> WebUriToOpen(std::string_view address);

// The mailto: URI for a mail address of the form local-part@domain: no
// quotes, blanks or control characters, a domain of letters, digits, hyphens
// and dots; what the URI reserves is percent-encoded. An empty address gives
// "mailto:" alone (a new message without a recipient). Nothing otherwise.
std::optional<std::string> MailUriToOpen(std::string_view address);

// `text` with each byte for which `keep` says no written as %XX.
std::string PercentEncoded(std::string_view text, bool (*keep)(char byte));

}  // namespace mappa
