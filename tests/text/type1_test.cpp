// Type 1 fonts kern by the metrics file beside them.
#include <gtest/gtest.h>

#include <filesystem>

#include "text/lettering.h"

namespace fs = std::filesystem;

// "AV" in a Type 1 face: the pair kerns as its .afm says; the same file copied without its .afm
// sets the same letters without kerning.
TEST(Type1Fonts, AreSetWithTheKerningOfTheirMetricsFile) {
    const fs::path font = "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1";
    if (!fs::exists(font) || !fs::exists(fs::path(font).replace_extension(".afm")))
        GTEST_SKIP() << "fonts-urw-base35 (scripts/install-deps.sh) is not installed";
    const fs::path alone = fs::path(LK_TEST_TMP) / "type1-alone" / "NimbusSans-Regular.t1";
    fs::create_directories(alone.parent_path());
    fs::copy_file(font, alone, fs::copy_options::overwrite_existing);
    const auto pairAV = [](const fs::path& file) {
        text::Typesetter setter(text::FontRef{"", "", file.string(), 0});
        return setter.set("AV", false).letters.at(0);
    };
    const auto kerned = pairAV(font), plain = pairAV(alone);
    EXPECT_NEAR(kerned.kerning, -7.1, 1e-6);  // the .afm's "KPX A V -71" at an em of 100 mm
    EXPECT_DOUBLE_EQ(plain.kerning, 0);
    EXPECT_NEAR(kerned.advance, plain.advance + kerned.kerning, 1e-9);
}
