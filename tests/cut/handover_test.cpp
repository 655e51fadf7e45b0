#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "cut/handover.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// A letter as the shapes stage hands it over: a 20 x 20 square (internal units), and a circular
// counter of radius 5 around (10, 10) given as two arcs but traversed clockwise.
const std::string kContours = crlf({"a", "n", "1", " 0", " 0", " 20", " 0", "1", " 20", " 0", " 20", " 20", "1", " 20",
                                    " 20", " 0", " 20", "1", " 0", " 20", " 0", " 0", "e", "a", "2", " 10", " 10", " 5",
                                    " 0", " 3.14159265358979", "2", " 10", " 10", " 5", " 3.14159265358979",
                                    " 6.28318530717959", "e", "s"});

struct Folder {
    TempFolder t;
    Folder() {
        t.write("c3.dat", crlf({" .5", "1", " .1", " 0", " 101.6", " 101.6"}));
        t.write("workrl.dat", kContours);
        t.write("hl.dat", crlf({" 1", " 1", " 10", " 15", " 10", " 20"}));
    }
};

double gap(const cut::Loop& l) {
    double worst = 0;
    for (std::size_t i = 0; i < l.edges.size(); ++i) {
        const auto& a = l.edges[i].b;
        const auto& b = l.edges[(i + 1) % l.edges.size()].a;
        worst = std::max(worst, std::hypot(a.x - b.x, a.y - b.y));
    }
    return worst;
}

}  // namespace

// Reading changes no file and creates none; without orgdim.dat the letters are one object, as
// the shapes stage starts, and without workm.dat there is no bar.
TEST(Handover, ReadsEveryFileIntoMillimetresAndChainsTheContours) {
    Folder f;
    const cut::Handover plain = cut::readHandover(f.t.path() / "workfiles");
    EXPECT_FALSE(plain.hasBar);
    EXPECT_TRUE(plain.oneObject);
    EXPECT_FALSE(f.t.exists("workm.dat"));
    EXPECT_FALSE(f.t.exists("orgdim.dat"));
    EXPECT_EQ(f.t.read("workrl.dat"), kContours);

    f.t.write("workm.dat", crlf({" 0", " 1", " 0", " 0", " 10", " 0", " 1"}));  // one lone line: not a closed bar
    EXPECT_THROW(cut::readHandover(f.t.path() / "workfiles"), fault::HandoverFault);
    f.t.write("workm.dat", crlf({" 0", " 4", " 0", " -2", " 30", " -2", " 1", " 30", " 0", " 30", " -2", " 1",
                                 " 0", " 0", " 30", " 0", " 1", " 0", " -2", " 0", " 0", " 1"}));
    f.t.write("orgdim.dat", crlf({"0"}));
    const cut::Handover h = cut::readHandover(f.t.path() / "workfiles");
    EXPECT_DOUBLE_EQ(h.scale, 0.5);
    EXPECT_NEAR(h.aperture, 2.54, 1e-12);
    EXPECT_FALSE(h.oneObject);
    ASSERT_EQ(h.letters.size(), 1u);
    ASSERT_EQ(h.letters[0].loops.size(), 2u);
    EXPECT_DOUBLE_EQ(h.letters[0].loops[0].edges[1].a.x, 10);  // 20 units = 10 mm
    const auto& counter = h.letters[0].loops[1];
    ASSERT_EQ(counter.edges.size(), 2u);
    EXPECT_TRUE(counter.edges[0].arc);
    EXPECT_NEAR(counter.edges[0].r, 2.5, 1e-12);
    EXPECT_LT(gap(counter), 1e-9);
    // the bar's pieces stand in any order and direction in the file; they come out as one loop
    ASSERT_EQ(h.bar.size(), 1u);
    EXPECT_EQ(h.bar[0].edges.size(), 4u);
    EXPECT_LT(gap(h.bar[0]), 1e-9);
    ASSERT_EQ(h.bridges.size(), 1u);
    EXPECT_EQ(h.bridges[0].kind, 1);
    EXPECT_DOUBLE_EQ(h.bridges[0].p2.y, 10);
}

// Every broken hand-over is refused with the file's name; none crashes or reads as empty.
TEST(Handover, RefusesMissingTruncatedAndGarbledFilesNamingThem) {
    struct Case {
        const char* what;
        const char* file;
        std::optional<std::string> content;  // none: the file is missing (status 3, else 2)
        const char* says;
    };
    const Case cases[] = {
        {"missing scale", "c3.dat", {}, "missing"},
        {"missing letters", "workrl.dat", {}, "missing"},
        {"missing bridges", "hl.dat", {}, "missing"},
        {"scale of zero", "c3.dat", crlf({" 0", "1", " .1"}), "above 0"},
        {"c3 cut short", "c3.dat", crlf({" .5"}), "ends before"},
        {"letters cut short", "workrl.dat", kContours.substr(0, kContours.size() - 3), "cut short"},  // no "s"
        {"only the end record", "workrl.dat", crlf({"s"}), "no letter"},
        {"garbled number", "workrl.dat", crlf({"a", "n", "1", " 0", " 0x", " 1", " 1", "e", "s"}), "reads \" 0x\""},
        {"unknown record", "workrl.dat", crlf({"a", "n", "7", "e", "s"}), "unknown record"},
        {"zero radius", "workrl.dat", crlf({"a", "n", "2", " 0", " 0", " 0", " 0", " 1", "e", "s"}), "radius"},
        {"huge number", "workrl.dat", crlf({"a", "n", "1", " 1E+400", " 0", " 1", " 1", "e", "s"}), "out of range"},
        {"fewer bridges than said", "hl.dat", crlf({" 2", " 1", " 0", " 0", " 1", " 1"}), "cut short"},
        {"bridge count beyond the table", "hl.dat", crlf({" 9999"}), "2501"},
        {"bar cut short", "workm.dat", crlf({" 1", " 1", " 0", " 0"}), "cut short"},
        {"negative bar count", "workm.dat", crlf({" -1", " 0"}), "whole numbers"},
        {"bar arcs beyond the table", "workm.dat", crlf({" 642", " 0"}), "641 bar arcs or lines"},
        {"bar lines beyond the table", "workm.dat", crlf({" 0", " 642"}), "641 bar arcs or lines"},
        {"flag beyond any number", "orgdim.dat", crlf({"1E+999"}), "out of range"},
    };
    for (const Case& c : cases) {
        Folder f;
        if (c.content)
            f.t.write(c.file, *c.content);
        else
            fs::remove(f.t.work(c.file));
        try {
            cut::readHandover(f.t.path() / "workfiles");
            ADD_FAILURE() << c.what << ": read without complaint";
        } catch (const fault::HandoverFault& e) {
            EXPECT_EQ(e.file, c.file) << c.what;
            EXPECT_EQ(e.status, c.content ? 2 : 3) << c.what;
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

// Damaged angles, however large, are reduced at once into one turn: the arc is the same as with
// its angles taken modulo a full turn.
TEST(Handover, ReducesAnyArcAngleIntoOneTurn) {
    for (const auto& [a1, a2] : {std::pair{-1e9, 1e9}, std::pair{1e9 - 1, 1e9}, std::pair{0.5, 0.5 - 6e8}}) {
        SCOPED_TRACE(std::to_string(a1) + " " + std::to_string(a2));
        const std::string contours =
            crlf({"a", "n", "2", " 10", " 10", " 5", std::to_string(a1), std::to_string(a2), "e", "s"});
        const auto letters = cut::parseContours(contours, 1);
        const cut::Edge& e = letters.at(0).loops.at(0).edges.at(0);
        double expected = std::fmod(std::fmod(a2, 2 * M_PI) - std::fmod(a1, 2 * M_PI), 2 * M_PI);
        if (expected <= 0) expected += 2 * M_PI;
        EXPECT_NEAR(e.sweep, expected, 1e-6);
        EXPECT_NEAR(e.a.x, 10 + 5 * std::cos(a1), 1e-6);
    }
}

