#include "core/region_export.h"
#include "core/region_data.h"

#include <gtest/gtest.h>

// Every name must be an identifier that MASM, NASM and C all take.
TEST(RegionExport, NamesAreIdentifiersMadeFromTheFileName) {
    const char* const cases[][2] = {{"about.rgn", "about_rgn"}, {"skins/main-window.inc", "main_window_rgn"},
                                    {"C:\\skins\\2x button.h", "_2x_button_rgn"}, {"eax", "eax_rgn"},
                                    {".rgn", "_rgn_rgn"}};
    for (const auto& c : cases) EXPECT_EQ(MakeExportName(c[0]), c[1]) << c[0];
}

// A file name stays inside its comment line whatever it holds (a line end
// would put the rest of it into the code), and one rectangle is "1 rectangle".
TEST(RegionExport, TheSourceLineHoldsNoControlCharactersAndCountsInTheSingular) {
    const RegionRects rects = {{0, 0, 1, 1}};
    const std::string masm = FormatRegionAsMasm(MakeRegionHeader(rects), rects, "a_rgn", "a\nb\r\x1b\x7f.rgn");
    EXPECT_EQ(masm.substr(0, masm.find("\r\n", masm.find("\r\n") + 2)),
              "; a?b???.rgn: region data (RGNDATA) for ExtCreateRegion, made by pellform\r\n"
              "; 1 rectangle, bounding box (0, 0, 1, 1)");
    EXPECT_EQ(FormatRegionAsC(MakeRegionHeader(rects), rects, "a_rgn", "x\ny.rgn").rfind("/* x?y.rgn: region data", 0), 0u);
}
