// How the command line picks the start mode: switches after "/" or "-", in any case.
#include <gtest/gtest.h>

#include "automation/StartMode.h"

namespace mappa {
namespace {

struct StartCase {
    std::vector<std::string> arguments;
    StartMode mode;
};

class StartModeFromCommandLine : public testing::TestWithParam<StartCase> {};

TEST_P(StartModeFromCommandLine, Parses)
{
    EXPECT_EQ(ParseStartMode(GetParam().arguments), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, StartModeFromCommandLine,
    testing::Values(StartCase{{}, StartMode::Standalone}, StartCase{{"/regserver"}, StartMode::Register},
                    StartCase{{"-REGSERVER"}, StartMode::Register}, StartCase{{"/RegServer"}, StartMode::Register},
                    StartCase{{"regserver"}, StartMode::Standalone}, StartCase{{"/regserver:x"}, StartMode::Standalone},
                    StartCase{{"//regserver"}, StartMode::Standalone}, StartCase{{"/"}, StartMode::Standalone},
                    StartCase{{""}, StartMode::Standalone}, StartCase{{"/unregserver"}, StartMode::Unregister},
                    StartCase{{"-UnRegServer"}, StartMode::Unregister}, StartCase{{"/Embedding"}, StartMode::Automation},
                    StartCase{{"-Embedding"}, StartMode::Automation}, StartCase{{"-automation"}, StartMode::Automation},
                    StartCase{{"/AUTOMATION"}, StartMode::Automation},
                    StartCase{{"/Embedding", "/regserver"}, StartMode::Automation},
                    StartCase{{"/regserver", "-Embedding"}, StartMode::Automation},
                    StartCase{{"C:\\data\\offices.dat", "-regserver"}, StartMode::Register}));

}  // namespace
}  // namespace mappa
