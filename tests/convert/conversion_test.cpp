#include <gtest/gtest.h>

#include "convert/conversion.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

using namespace convert;
using Lines = std::vector<std::string>;

namespace {

void add(engine::Model& m, double x, double y, std::int16_t kind, std::int32_t object) {
    m.elements.push({x, y, kind, object});
}

// a square of line records for `object`; open ones lack the last side before the end marker
void square(engine::Model& m, double x0, std::int32_t object, bool closed) {
    const double pts[5][2] = {{x0, 0}, {x0 + 10, 0}, {x0 + 10, 10}, {x0, 10}, {x0, 0}};
    for (int i = 0; i < (closed ? 4 : 3); ++i) {
        add(m, pts[i][0], pts[i][1], engine::kCodeLine, object);
        add(m, pts[i + 1][0], pts[i + 1][1], engine::kCodeNone, object);
    }
    add(m, x0, 0, engine::kCodeEnd, object);
    add(m, x0, 0, engine::kCodeNone, object);
}

}  // namespace

// Open contours get their closing line in the intermediate form, closed ones none; the
// contour file frames each contour in "a" ... "e", says "n" only where the letter changes and
// ends in "s", even with no contour at all.
TEST(ConversionFiles, IntermediateFormAndContourFile) {
    engine::Model m;
    square(m, 0, 1, true);
    square(m, 20, 1, false);  // the last line ends at (20, 10)
    square(m, 40, 2, true);
    const Lines l = wf::splitLines(intermediateForm(m));
    // 4 lines + "6", then 3 lines + the closing line + "6", ...; a line record is 7 lines of text
    ASSERT_EQ(l.size(), 3u * (4 * 7 + 1));
    EXPECT_EQ(l[28], "6");
    EXPECT_EQ(Lines(l.begin() + 50, l.begin() + 58), (Lines{"1", " 20", " 10", " 1", " 20", " 0", " 1", "6"}));

    readBack(m, intermediateForm(m));
    ASSERT_EQ(m.elements.size(), 3u * (4 * 2 + 1));
    EXPECT_EQ(m.elements[8].kind, engine::kCodeEnd);
    EXPECT_EQ(m.elements[9].kind, engine::kCodeLine);
    EXPECT_EQ(m.elements[9].x, 20);
    std::int32_t current = 0;
    const Lines c = wf::splitLines(contourFile(m, Settings{}, current));
    EXPECT_EQ(current, 2);
    Lines keys;
    for (std::size_t i = 0; i < c.size(); i += c[i] == "1" ? 5 : 1)
        if (c[i] != "1") keys.push_back(c[i]);
    EXPECT_EQ(keys, (Lines{"a", "n", "e", "a", "e", "a", "n", "e", "s"}));
    EXPECT_EQ(std::count(c.begin(), c.end(), "1"), 12);

    engine::Model open;  // no end marker
    add(open, 0, 0, engine::kCodeLine, 1);
    add(open, 5, 0, engine::kCodeNone, 1);
    readBack(open, intermediateForm(open));
    EXPECT_EQ(contourFile(open, Settings{}, current), "s\r\n");
}

// workm.dat: finished bar elements only (type 3 and up), angles in radians.
TEST(ConversionFiles, BarFileHoldsFinishedElementsInRadians) {
    engine::Model m;
    m.barArcs.push({1, 2, 3, 0, 90, 4, 0});
    m.barArcs.push({1, 2, 4, 90, 180, 4, 0});
    m.barArcs.push({0, 0, 9, 0, 10, 1, 0});  // under construction
    for (int i = 0; i < 4; ++i) m.barLines.push({double(i), 0, double(i) + 1, 0, 4, 0});
    m.barLines.push({0, 0, 1, 1, 2, 0});
    const Lines l = wf::splitLines(barFile(m));
    ASSERT_EQ(l.size(), 2u + 2 * 6 + 4 * 5);
    EXPECT_EQ(Lines(l.begin(), l.begin() + 14), (Lines{" 2", " 4", " 1", " 2", " 3", " 0", " 1.5707963267949", " 0",
                                                      " 1", " 2", " 4", " 1.5707963267949", " 3.14159265358979", " 0"}));
}

// workrl.dat replaced whole, workm.dat removed with the connection off; a read-back beyond the
// list's capacity is a fault that leaves the old workrl.dat.
TEST(ConversionFiles, FilesAreReplacedWholeOrNotAtAll) {
    testsupport::TempFolder t;
    engine::Model m;
    square(m, 0, 1, true);
    m.barLines.push({0, 0, 1, 0, 5, 1});
    std::int32_t current = 0;
    writeConversionFiles(m, true, Targets{t.work("workrl.dat"), t.work("workm.dat")}, Settings{}, current);
    EXPECT_EQ(wf::splitLines(t.read("workm.dat")).size(), 2u + 5);
    const std::string before = t.read("workrl.dat");

    for (int i = 0; i < 2; ++i) {  // and stays gone
        writeConversionFiles(m, false, Targets{t.work("workrl.dat"), t.work("workm.dat")}, Settings{}, current);
        EXPECT_FALSE(t.exists("workm.dat"));
    }
    const std::string last = t.read("workrl.dat");
    EXPECT_EQ(wf::splitLines(last).size(), wf::splitLines(before).size() - 1);  // announced before: no "n"
    EXPECT_EQ(wf::splitLines(last).back(), "s");

    engine::Model full;
    // open contours: 8 entries each become 9 with the closing line
    while (full.elements.size() + 8 <= engine::kMaxElements) square(full, 0, 1, false);
    EXPECT_THROW(writeConversionFiles(full, false, Targets{t.work("workrl.dat"), t.work("workm.dat")}, Settings{}, current), fault::CapacityFault);
    EXPECT_EQ(t.read("workrl.dat"), last);
}
