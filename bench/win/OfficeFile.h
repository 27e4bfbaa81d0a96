// Made-up office lists in the Mappa2.dat format, each written into a folder
// of its own under the temporary directory.
#pragma once

#include <cstddef>
#include <string>

namespace mappa::winbench {

// About this many different countries, in random order with many repeats.
inline constexpr int kCountryCount = 5000;

// The text of a list of `offices` offices: a header, the two web addresses,
// one block per office (random position, country and type; the phone line on
// about two offices in three), and the empty line that ends the data. The
// same count always gives the same text.
std::string MakeOfficeFile(std::size_t offices);

// A new folder under the temporary directory, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // Writes `text` as the file `name` in the folder; throws on failure.
    void write(const std::string& name, const std::string& text);

private:
    std::string path_;
    std::string written_;
};

}  // namespace mappa::winbench
