#include <gtest/gtest.h>

#include "TestSupport.h"
#include "morlund/platform/IniFile.h"

using namespace morlund;

TEST(IniFile, NamesIgnoreCaseValuesAreTrimmedAndCut) {
    IniFile ini;
    ini.LoadText(
        "\xEF\xBB\xBF; a comment\r\n"
        "[DataItem]\r\n"
        "  Expression =  speed * 3.6  \r\n"
        "Name=\r\n"
        "expression=second one loses\n"
        "Quantity=0x10\n"
        "[other]\n"
        "Expression=elsewhere\n"
        "[DATAITEM]\n"
        "Minimum=-5\n");
    EXPECT_EQ(ini.Get("dataitem", "EXPRESSION"), "speed * 3.6");
    EXPECT_EQ(ini.Get("DataItem", "Name"), "");  // present and empty
    EXPECT_EQ(ini.Get("DataItem", "ShortName"), std::nullopt);
    EXPECT_EQ(ini.GetString("DataItem", "ShortName", "fallback"), "fallback");
    EXPECT_EQ(ini.GetString("DataItem", "Name", "fallback"), "");
    EXPECT_EQ(ini.Get("other", "expression"), "elsewhere");
    // a repeated section: the first one answers
    EXPECT_EQ(ini.Get("DataItem", "Minimum"), std::nullopt);
    EXPECT_EQ(ini.GetString("DataItem", "Expression", "", 6), "speed");

    const std::string longValue(3000, 'x');
    ini.LoadText("[F1RS]\nDirectory=" + longValue + "\n");
    EXPECT_EQ(ini.GetString("F1RS", "Directory", "").size(), 2047u);
    EXPECT_EQ(ini.GetString("F1RS", "Directory", "", 260).size(), 259u);
}

TEST(IniFile, MissingFileReadsAsEmpty) {
    testsupport::TempDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.Load(dir / "none.ini"));
    EXPECT_EQ(ini.GetString("DataItem", "Expression", "d"), "d");
    testsupport::WriteBytes(dir / "a.ini", {'[', 'S', ']', '\n', 'k', '=', 'v'});
    EXPECT_TRUE(ini.Load(dir / "a.ini"));
    EXPECT_EQ(ini.Get("s", "K"), "v");
}
