// The loader's platform services on Windows: the file system, the suite's
// file finder through COM, and the application's message boxes.
#pragma once

#include <string>

#include "mapdata/DataFile.h"
#include "mapdata/WindowsCodePage.h"

namespace mappa {

class WindowsDataFileSource : public DataFileSource {
public:
    // Looks for the data file in `directory` (with or without a trailing backslash).
    explicit WindowsDataFileSource(std::string directory);
    // Looks for the data file beside the running executable.
    WindowsDataFileSource();

    std::string defaultPath() override;
    // The DataFile policy, machine before user.
    std::optional<std::string> policyPath() override;
    bool finderRegistered() override;
    bool fileExists(const std::string& path) override;
    std::string resolveWithFinder(const std::string& request, std::int32_t option) override;
    std::string readFile(const std::string& path) override;
    void showMessage(const std::string& text) override;
    void requestTerminate() override;
    // The system's ANSI code page, through Windows.
    const CodePageDecoder& codePage() override { return code_page_; }

private:
    std::string directory_;
    WindowsCodePageDecoder code_page_;
};

}  // namespace mappa
