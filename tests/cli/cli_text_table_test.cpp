// The companion's code page 932 on Linux (iconv) against the tables the panel and the Windows companion use.

#include <gtest/gtest.h>

#include "cli/cp932_codec.h"
#include "tests/protocol/cp932_table_digest.h"

namespace sw::test {
namespace {

TEST(CliTextTable, EveryBmpCharacterGivesTheCellsItGivesOnWindows) {
    const TableDigest digest = digestTables(cli::kCp932);
    EXPECT_EQ(digest.typed, kCp932TableDigest.typed) << std::hex << digest.typed;
    EXPECT_EQ(digest.read, kCp932TableDigest.read) << std::hex << digest.read;
}

TEST(CliTextTable, AMissingConverterIsNamedAsSuch) {
    EXPECT_EQ(cli::cp932ConverterMissing(), std::nullopt);
    const auto missing = cli::iconvConverterMissing("NO-SUCH-CODE-PAGE");
    ASSERT_TRUE(missing.has_value());
    EXPECT_NE(missing->find("no code page 932 converter (iconv's \"NO-SUCH-CODE-PAGE\")"), std::string::npos);
}

}  // namespace
}  // namespace sw::test
