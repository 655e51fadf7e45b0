// font2tground run for real on the sample font; its output read back strictly.

#include <map>

#include "tground_file.h"
#include "tool_support.h"

namespace tooltest {
namespace {

class Font2Tground : public ScratchTest {
protected:
    // Runs the tool and reads its output; fails the test when either goes wrong.
    GroundFile convert(const std::string& text, std::vector<std::string> extra = {}) {
        const fs::path out = dir() / "tground.dat";
        std::vector<std::string> args{LK_SAMPLE_FONT, text, out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const RunResult r = run(LK_FONT2TGROUND, args, scratch());
        EXPECT_EQ(r.status, 0) << r.err;
        try {
            return parseGroundFile(readAll(out));
        } catch (const BadFile& e) {
            ADD_FAILURE() << "\"" << text << "\": " << e.what();
            return {};
        }
    }
    std::vector<std::string> leftovers() const {  // files besides the scratch folder
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir()))
            if (e.path().filename() != "scratch") names.push_back(e.path().filename().string());
        return names;
    }
};

// Letter groups, contour counts and sizes; each group is relative to its own origin, so the
// letters laid out by their advances do not overlap; a blank is a letter without contours.
TEST_F(Font2Tground, LayoutReadsBackAndContoursClose) {
    const GroundFile g = convert("ABC");  // the strict reader checks CR LF, number form, records
    EXPECT_EQ(g.text, "ABC");
    ASSERT_EQ(g.letters.size(), 3u);
    const std::map<std::string, std::size_t> contours{{"A", 2}, {"B", 3}, {"C", 1}};
    for (std::size_t k = 0; k < g.letters.size(); ++k) {
        const FileLetter& l = g.letters[k];
        SCOPED_TRACE(l.text);
        EXPECT_EQ(l.contours.size(), contours.at(l.text));
        EXPECT_GT(l.advance, 0);
        bool curved = false;
        for (const Contour& c : l.contours) curved |= c.curved;
        EXPECT_EQ(curved, l.text != "A");  // A is all straight, B and C have curves
        // capitals with a 100 mm em: about 73 mm tall, on the baseline (round ones overshoot)
        EXPECT_NEAR(l.ymin, 0, 2);
        EXPECT_GT(l.ymax, 60);
        EXPECT_LT(l.ymax, 80);
        const GroundFile alone = convert(l.text);
        ASSERT_EQ(alone.letters.size(), 1u);
        EXPECT_EQ(alone.letters[0].advance, l.advance);
        ASSERT_EQ(alone.letters[0].points.size(), l.points.size());
        for (std::size_t i = 0; i < l.points.size(); ++i)
            EXPECT_EQ(std::tie(alone.letters[0].points[i].x, alone.letters[0].points[i].y),
                      std::tie(l.points[i].x, l.points[i].y));
        if (k + 1 < g.letters.size()) {
            EXPECT_LT(l.xmax, g.letters[k + 1].xmin + l.advance);
        }
    }
    const GroundFile blank = convert("i i");
    ASSERT_EQ(blank.letters.size(), 3u);
    EXPECT_EQ(blank.letters[1].text, " ");
    EXPECT_TRUE(blank.letters[1].points.empty());
    EXPECT_TRUE(blank.letters[1].bridges.empty());
    EXPECT_GT(blank.letters[1].advance, 0);
    EXPECT_EQ(blank.letters[0].points.size(), blank.letters[2].points.size());
}

// The tool sets its letters with the text stage's typesetter, whose bridges the text stage's
// own tests judge; here only what the tool adds: the em size, the file, its failures.
TEST_F(Font2Tground, EmSizeScalesEverything) {
    const GroundFile full = convert("B8");
    const GroundFile half = convert("B8", {"--em-mm", "50"});
    ASSERT_EQ(full.letters.size(), half.letters.size());
    for (std::size_t k = 0; k < full.letters.size(); ++k) {
        const FileLetter &f = full.letters[k], &h = half.letters[k];
        EXPECT_NEAR(h.advance, f.advance / 2, 1e-6);
        ASSERT_EQ(h.points.size(), f.points.size());
        for (std::size_t i = 0; i < f.points.size(); ++i) {
            EXPECT_NEAR(h.points[i].x, f.points[i].x / 2, 1e-6);
            EXPECT_NEAR(h.points[i].y, f.points[i].y / 2, 1e-6);
        }
        ASSERT_EQ(h.bridges.size(), f.bridges.size());
        // bridges are placed on a grid of 0.1 micrometre, whatever the size
        for (std::size_t i = 0; i < f.bridges.size(); ++i) EXPECT_NEAR(h.bridges[i].y2, f.bridges[i].y2 / 2, 1e-3);
    }
}

// Missing font, a character the font lacks, a missing folder, a bad em size: exit 1, and no
// file is left behind or replaced.
TEST_F(Font2Tground, FailuresLeaveNoFileBehind) {
    const fs::path out = dir() / "tground.dat";
    RunResult r = run(LK_FONT2TGROUND, {(dir() / "missing.ttf").string(), "ABC", out.string()}, scratch());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_TRUE(leftovers().empty());

    { std::ofstream(out, std::ios::binary) << "old\r\n"; }
    r = run(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A\xE4\xB8\xAD", out.string()}, scratch());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("has no letter"), std::string::npos) << r.err;
    EXPECT_EQ(readAll(out), "old\r\n");
    EXPECT_EQ(leftovers(), std::vector<std::string>{"tground.dat"});

    r = run(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A", (dir() / "no" / "tground.dat").string()}, scratch());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir() / "no"));

    r = run(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A", out.string(), "--em-mm", "-3"}, scratch());
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(readAll(out), "old\r\n");
}

}  // namespace
}  // namespace tooltest
