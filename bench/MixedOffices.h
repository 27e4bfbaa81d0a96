// Made-up offices whose names, cities and countries mix scripts (Latin with
// and without accents, Greek, Cyrillic, Chinese and Japanese, Thai, Arabic),
// for the benchmarks of the office search.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mappa::bench {

struct MixedOffice {
    std::string name, city, country, phone, email;
};

// The same count always gives the same offices.
std::vector<MixedOffice> MakeMixedOffices(std::size_t count);

}  // namespace mappa::bench
