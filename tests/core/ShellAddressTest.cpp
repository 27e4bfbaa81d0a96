// Which web and mail addresses from the data file reach the shell, and as
// what: a hostile data file must not start a program or add arguments to the
// mail client's command line.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/ShellAddress.h"

namespace mappa {
namespace {

struct Case {
    const char* given;
    std::optional<std::string> opened;  // nothing: refused
};

TEST(WebUriToOpen, AbsoluteHttpUrisOnly)
{
    const Case cases[] = {
        {"https://www.example.com/", "https://www.example.com/"},
        {"HTTP://EXAMPLE.COM", "HTTP://EXAMPLE.COM"},
        {"http://example.com:8080/a?b=c&d#e", "http://example.com:8080/a?b=c&d#e"},
        {"https://user@example.com/%7Eme", "https://user@example.com/%7Eme"},
        {"http://[2001:db8::1]:80/", "http://[2001:db8::1]:80/"},
        {"www.example.com", "https://www.example.com"},
        {"WWW.Example.com/path", "https://WWW.Example.com/path"},
        {"https://\u4F8B\u3048.jp/\u5730\u56F3", "https://\u4F8B\u3048.jp/\u5730\u56F3"},
        // A text without a scheme is a file path to the shell.
        {"www.x\\..\\..\\..\\..\\..\\users\\Public\\pwn.exe", std::nullopt},
        {"C:\\Windows\\system32\\calc.exe", std::nullopt},
        {"notepad", std::nullopt},
        {"file:///etc/passwd", std::nullopt},
        {"ftp://example.com/", std::nullopt},
        {"javascript:alert(1)", std::nullopt},
        {"", std::nullopt},
        // No host.
        {"http://", std::nullopt},
        {"https:///etc/passwd", std::nullopt},
        {"http://:80/", std::nullopt},
        {"http://user@/", std::nullopt},
        {"http://example.com:8o/", std::nullopt},
        {"http://[zz]/", std::nullopt},
        // What would end or add an argument, or cannot stand in a URI.
        {"https://example.com/\" /c calc", std::nullopt},
        {"https://example.com/a b", std::nullopt},
        {"https://example.com/a\tb", std::nullopt},
        {"https://example.com/\x7F", std::nullopt},
        {"https://example.com/\xC2\x85", std::nullopt},          // NEL
        {"https://example.com/\xE2\x80\xAE" "exe.txt", std::nullopt},  // right-to-left override
        {"https://example.com/\xC2\xA0", std::nullopt},          // no-break space
        {"https://example.com/\xE3\x80\x80", std::nullopt},      // ideographic space
        {"https://example.com/\xFF", std::nullopt},              // not UTF-8
        {"https://example.com\\..\\x", std::nullopt},
        {"https://example.com/<script>", std::nullopt},
        {"https://example.com/{a}|^`", std::nullopt},
        {"https://example.com/100%", std::nullopt},
        {"https://example.com/%G1", std::nullopt},
        {"https://exa mple.com/", std::nullopt},
        {"https://exa$mple.com/", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(WebUriToOpen(c.given), c.opened) << c.given;
}

TEST(MailUriToOpen, PlainAddressesOnlyWithReservedCharactersEncoded)
{
    const Case cases[] = {
        {"sales.oslo@example.com", "mailto:sales.oslo@example.com"},
        {"first+tag@mail.example.co.uk", "mailto:first+tag@mail.example.co.uk"},
        {"o'brien@example.com", "mailto:o'brien@example.com"},
        {"a@b", "mailto:a@b"},
        // What the URI reserves is encoded, so that it stays part of the address.
        {"a%b@example.com", "mailto:a%25b@example.com"},
        {"a?b&c#d/e@example.com", "mailto:a%3Fb%26c%23d%2Fe@example.com"},
        {"{a}|^`@example.com", "mailto:%7Ba%7D%7C%5E%60@example.com"},
        // Letters beyond ASCII reach the mail client as they are.
        {"\u043F\u0440\u043E\u0434\u0430\u0436\u0438@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444",
         "mailto:\u043F\u0440\u043E\u0434\u0430\u0436\u0438@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444"},
        // Before any selection: a new message with no recipient.
        {"", "mailto:"},
        // Arguments for the mail client, header fields, and what is no address.
        {"x@y\" /a \"C:\\secret", std::nullopt},
        {"\"x\"@example.com", std::nullopt},
        {"x@y /a C:\\secret", std::nullopt},
        {"a@example.com?subject=x", std::nullopt},
        {"a@example.com?attach=C:\\secret", std::nullopt},
        {"a\x07z@example.com", std::nullopt},
        {"a@exa\tmple.com", std::nullopt},
        {"a\xC2\x85@example.com", std::nullopt},
        {"a\xFF@example.com", std::nullopt},
        {"a\\b@example.com", std::nullopt},
        {"a@b@example.com", std::nullopt},
        {"@example.com", std::nullopt},
        {"a@", std::nullopt},
        {"a", std::nullopt},
        {"a@.example.com", std::nullopt},
        {"a@example..com", std::nullopt},
        {"a@example.com.", std::nullopt},
        {"a@[127.0.0.1]", std::nullopt},
        {"a@exa_mple.com", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(MailUriToOpen(c.given), c.opened) << c.given;
}

}  // namespace
}  // namespace mappa
