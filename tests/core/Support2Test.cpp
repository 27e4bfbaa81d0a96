#include <gtest/gtest.h>

#include "support/Support2.h"

namespace mappa {
namespace {

TEST(TextToBool, Smoke) { EXPECT_TRUE(TextToBool("yes")); }

}  // namespace
}  // namespace mappa
