#include <gtest/gtest.h>

#include "convert/conversion.h"
#include "shell/workfile_io.h"
#include "support/temp_folder.h"

using namespace convert;
using engine::Element;

namespace {

void add(engine::Model& m, double x, double y, std::int16_t kind, std::int32_t object) {
    Element e;
    e.x = x;
    e.y = y;
    e.kind = kind;
    e.object = object;
    m.elements.push(e);
}

// a closed square of line records for `object`; `closed` repeats the start before the end marker
void square(engine::Model& m, double x0, std::int32_t object, bool closed) {
    const double pts[5][2] = {{x0, 0}, {x0 + 10, 0}, {x0 + 10, 10}, {x0, 10}, {x0, 0}};
    const int lines = closed ? 4 : 3;
    for (int i = 0; i < lines; ++i) {
        add(m, pts[i][0], pts[i][1], engine::kCodeLine, object);
        add(m, pts[i + 1][0], pts[i + 1][1], engine::kCodeNone, object);
    }
    add(m, x0, 0, engine::kCodeEnd, object);
    add(m, x0, 0, engine::kCodeNone, object);
}

std::vector<std::string> lines(const std::string& text) { return wf::splitLines(text); }

}  // namespace

TEST(ConversionFiles, IntermediateFormClosesOpenContoursOnly) {
    engine::Model m;
    square(m, 0, 1, true);
    square(m, 20, 1, false);  // the last line ends at (20, 10): a closing line is added
    const std::vector<std::string> l = lines(intermediateForm(m));
    // 4 lines + "6", then 3 lines + the closing line + "6"; a line record is 7 lines of text
    ASSERT_EQ(l.size(), 4u * 7 + 1 + 4 * 7 + 1);
    EXPECT_EQ(l[28], "6");
    const std::vector<std::string> closing(l.begin() + 29 + 21, l.begin() + 29 + 28);
    EXPECT_EQ(closing, (std::vector<std::string>{"1", " 20", " 10", " 1", " 20", " 0", " 1"}));
    EXPECT_EQ(l.back(), "6");

    readBack(m, intermediateForm(m));
    ASSERT_EQ(m.elements.size(), 8u * 2 + 2);
    EXPECT_EQ(m.elements[8].kind, engine::kCodeEnd);
    EXPECT_EQ(m.elements[9].kind, engine::kCodeLine);
    EXPECT_EQ(m.elements[9].x, 20);
}

TEST(ConversionFiles, ContourFileFramesEachContourAndAnnouncesNewObjects) {
    engine::Model m;
    square(m, 0, 1, true);
    square(m, 2, 1, true);  // a second contour of the same letter: no "n"
    square(m, 20, 2, true);
    readBack(m, intermediateForm(m));
    std::int32_t current = 0;
    const std::vector<std::string> l = lines(contourFile(m, Settings{}, current));
    EXPECT_EQ(current, 2);
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (l[i] == "1") {
            i += 4;  // x1 y1 x2 y2
            continue;
        }
        keys.push_back(l[i]);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "n", "e", "a", "e", "a", "n", "e", "s"}));
    EXPECT_EQ(std::count(l.begin(), l.end(), "1"), 12);

    // no end marker: nothing but "s"
    engine::Model open;
    add(open, 0, 0, engine::kCodeLine, 1);
    add(open, 5, 0, engine::kCodeNone, 1);
    readBack(open, intermediateForm(open));
    EXPECT_EQ(contourFile(open, Settings{}, current), "s\r\n");
}

TEST(ConversionFiles, BarFileHoldsFinishedElementsInRadians) {
    engine::Model m;
    m.barArcs.push({1, 2, 3, 0, 90, 4, 0});
    m.barArcs.push({1, 2, 4, 90, 180, 4, 0});
    m.barArcs.push({0, 0, 9, 0, 10, 1, 0});  // an edge under construction: not written
    for (int i = 0; i < 4; ++i) m.barLines.push({double(i), 0, double(i) + 1, 0, 4, 0});
    m.barLines.push({0, 0, 1, 1, 2, 0});
    const std::vector<std::string> l = lines(barFile(m));
    ASSERT_EQ(l.size(), 34u);
    EXPECT_EQ(l[0], " 2");
    EXPECT_EQ(l[1], " 4");
    EXPECT_EQ(l[5], " 0");
    EXPECT_EQ(l[6], " 1.5707963267949");
    EXPECT_EQ(l[11], " 1.5707963267949");
    EXPECT_EQ(l[12], " 3.14159265358979");
}

TEST(ConversionFiles, FilesAreReplacedWholeOrNotAtAll) {
    testsupport::TempFolder t;
    engine::Model m;
    square(m, 0, 1, true);
    m.barLines.push({0, 0, 1, 0, 5, 1});
    std::int32_t current = 0;
    writeConversionFiles(m, true, t.path(), Settings{}, current);
    EXPECT_EQ(lines(t.read("workm.dat")).size(), 2u + 5);
    const std::string before = t.read("workrl.dat");
    EXPECT_EQ(lines(before).back(), "s");

    // the connection off: workm.dat goes, and stays gone
    writeConversionFiles(m, false, t.path(), Settings{}, current);
    EXPECT_FALSE(t.exists("workm.dat"));
    writeConversionFiles(m, false, t.path(), Settings{}, current);
    EXPECT_FALSE(t.exists("workm.dat"));

    const std::string last = t.read("workrl.dat");
    EXPECT_EQ(lines(last).size(), lines(before).size() - 1);  // the letter was announced before: no "n"

    // a list that outgrows its table on read-back is a fault, and workrl.dat keeps its old text
    engine::Model full;
    while (full.elements.size() + 4 <= engine::kMaxElements) {
        // an open contour: 4 entries become 5 with the closing line
        add(full, 0, 0, engine::kCodeLine, 1);
        add(full, 1, 0, engine::kCodeNone, 1);
        add(full, 0, 0, engine::kCodeEnd, 1);
        add(full, 0, 0, engine::kCodeNone, 1);
    }
    EXPECT_THROW(writeConversionFiles(full, false, t.path(), Settings{}, current), engine::CapacityFault);
    EXPECT_EQ(t.read("workrl.dat"), last);
}
