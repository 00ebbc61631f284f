#include "core/region_export.h"

#include <gtest/gtest.h>

// Every name must be an identifier that MASM, NASM and C all take.
TEST(RegionExport, NamesAreIdentifiersMadeFromTheFileName) {
    const char* const cases[][2] = {{"about.rgn", "about_rgn"}, {"skins/main-window.inc", "main_window_rgn"},
                                    {"C:\\skins\\2x button.h", "_2x_button_rgn"}, {"eax", "eax_rgn"},
                                    {".rgn", "_rgn_rgn"}};
    for (const auto& c : cases) EXPECT_EQ(MakeExportName(c[0]), c[1]) << c[0];
}
