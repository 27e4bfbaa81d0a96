// Text in a Windows code page, by default the system's ANSI code page, read
// into UTF-8 by Windows itself.
#pragma once

#include <string>
#include <string_view>

#include "mapdata/DataFileEncoding.h"

namespace mappa {

class WindowsCodePageDecoder final : public CodePageDecoder {
public:
    // 0 is CP_ACP, the system's ANSI code page.
    explicit WindowsCodePageDecoder(unsigned codePage = 0) : code_page_(codePage) {}
    // Throws when Windows cannot convert the text.
    std::string toUtf8(std::string_view text) const override;

private:
    unsigned code_page_;
};

}  // namespace mappa
