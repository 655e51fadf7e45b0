// Thin material, letters named as typed, and drawings made again after a change of settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "cut/cut.h"
#include "cut/settings.h"
#include "cut/writers.h"
#include "support/temp_folder.h"

using namespace cut;

namespace {

Loop rect(double x0, double y0, double x1, double y1) {
    const auto line = [](Pt a, Pt b) {
        Edge e;
        e.a = a, e.b = b;
        return e;
    };
    return {{line({x0, y0}, {x1, y0}), line({x1, y0}, {x1, y1}), line({x1, y1}, {x0, y1}), line({x0, y1}, {x0, y0})}};
}
// A square ring: the counter runs the other way round, as a font draws it
Letter ring(int number, double x) { return {number, {rect(x, 0, x + 20, 20), rect(x + 15, 5, x + 5, 15)}}; }
Handover handover(std::vector<Letter> letters, std::vector<Bridge> bridges = {}, double aperture = 2) {
    Handover h;
    h.scale = 1, h.aperture = aperture;
    h.letters = std::move(letters);
    h.bridges = std::move(bridges);
    return h;
}
const Bridge kTopBridge{1, {10, 15}, {10, 20}};  // across the ring's top stroke

std::vector<const Problem*> thinOf(const Drawing& d) {
    std::vector<const Problem*> out;
    for (const Problem& p : d.problems)
        if (p.kind == ProblemKind::ThinMaterial) out.push_back(&p);
    return out;
}

}  // namespace

// Material narrower than the kerf or the chosen width is one problem at its place, whatever the
// kerf (0 too); where material holds by a point, that point is one.
TEST(ThinMaterial, BelowTheKerfOrTheChosenWidthAndAtPointContacts) {
    struct Case {
        const char* what;
        Handover h;
        Kind kind;
        double kerf, minWidth;
        std::size_t thin;
        Pt at;
    };
    const Letter corners{1, {rect(0, 0, 10, 10), rect(10, 10, 20, 20)}};
    const Case cases[] = {
        {"bridge 0.1 under kerf 0.2", handover({ring(1, 0)}, {kTopBridge}, 0.1), Kind::Stencil, 0.2, 0, 1, {10, 17.5}},
        {"bridge 0.1 over kerf 0.05", handover({ring(1, 0)}, {kTopBridge}, 0.1), Kind::Stencil, 0.05, 0, 0, {}},
        {"bridge 0.5 at kerf 0", handover({ring(1, 0)}, {kTopBridge}, 0.5), Kind::Stencil, 0, kDefaultMinWidth, 1, {10.25, 17.5}},
        {"bridge 2", handover({ring(1, 0)}, {kTopBridge}, 2), Kind::Stencil, 0, kDefaultMinWidth, 0, {}},
        {"bridge 2 under 2.5", handover({ring(1, 0)}, {kTopBridge}, 2), Kind::Stencil, 0.1, 2.5, 1, {11, 17.5}},
        {"web of 0.3", handover({{1, {rect(0, 0, 10, 20)}}, {2, {rect(10.3, 0, 20, 20)}}}), Kind::Stencil, 0, 1, 1, {10.15, 10}},
        {"stencil corners", handover({corners}), Kind::Stencil, 0, 0, 1, {10, 10}},
        {"parts' corners", handover({corners}), Kind::Lettering, 0, 0, 1, {10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Options o;
        o.kind = c.kind, o.kerf = c.kerf, o.minWidth = c.minWidth;
        const Drawing d = makeDrawing(c.h, o);
        const auto thin = thinOf(d);
        ASSERT_EQ(thin.size(), c.thin);
        if (!c.thin) continue;
        EXPECT_LT(std::hypot(thin[0]->place.x - c.at.x, thin[0]->place.y - c.at.y), 3) << thin[0]->place.x << "," << thin[0]->place.y;
        EXPECT_EQ(thin[0]->letter, 1);
        EXPECT_EQ(problemText(*thin[0]).rfind("thin material of letter 1 at (", 0), 0u) << problemText(*thin[0]);
    }
}

// Letters are numbered as typed, spaces counted, and named by their characters; a letters file
// that does not match the hand-over leaves the hand-over's numbers.
TEST(ThinMaterial, LettersAreNumberedAsTypedAndNamed) {
    const auto letter = [](const char* c, int points) {
        std::initializer_list<std::string> head{c, "0", "0", "0", "0", "0", std::to_string(points)};
        std::string s = testsupport::crlf(head);
        for (int i = 0; i < 3 * points; ++i) s += "1\r\n";
        return s + "0\r\n";
    };
    const std::string tground = testsupport::crlf({"A B", "100", "3", "0", "0"}) + letter("A", 3) + letter(" ", 0) + letter("B", 4);
    Handover h = handover({ring(1, 0), ring(2, 30)});  // both counters loose
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole" : "cut short");
        h.typed = parseTypedLetters(whole ? tground : tground.substr(0, tground.size() - 8));
        const Drawing d = makeDrawing(h, {});
        ASSERT_EQ(d.problems.size(), 2u);
        EXPECT_EQ(d.problems[1].letter, whole ? 3 : 2);
        EXPECT_EQ(problemText(d.problems[1]).rfind(whole ? "island of letter 3 \"B\" at" : "island of letter 2 at", 0), 0u);
        EXPECT_EQ(reportJson(d, h).find("\"letter\": 3, \"character\": \"B\"") != std::string::npos, whole);
        EXPECT_TRUE(std::any_of(d.pieces.begin(), d.pieces.end(), [&](const Piece& p) { return p.letter == (whole ? 3 : 2); }));
    }
}

// A drawing made again after each change of the settings is the one made afresh.
TEST(ThinMaterial, DrawingsMadeAgainAfterAChangeAreMadeAfresh) {
    auto h = std::make_shared<Handover>(handover({ring(1, 0), {2, {rect(30, 0, 34, 10), rect(30, 13, 34, 17)}}}, {kTopBridge}, 0.5));
    h->bar = {rect(-2, -1, 36, 1)};
    h->hasBar = true;
    DrawingMaker maker(h);
    std::vector<Options> steps(8);
    steps[1].kerf = 0.2;
    steps[2] = steps[1], steps[2].kind = Kind::Lettering;
    steps[3] = steps[2], steps[3].tabs = true;
    steps[4].kerf = 0.1, steps[4].border = 5;
    steps[5] = steps[4], steps[5].minWidth = 0;
    steps[6] = steps[5], steps[6].kerf = 0.6;
    steps[7] = steps[1];
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const Drawing again = maker.make(steps[i]), fresh = makeDrawing(*h, steps[i]);
        EXPECT_EQ(dxfText(again, *h), dxfText(fresh, *h));
        EXPECT_EQ(reportJson(again, *h), reportJson(fresh, *h));
    }
    EXPECT_EQ(thinOf(maker.make(steps[5])).size(), 0u);
    EXPECT_EQ(thinOf(maker.make(steps[6])).size(), 1u);  // the kerf now wider than the bridge
}

// The chosen width is kept with the other settings; a file of an earlier version, without it,
// or one out of its range gives the default.
TEST(ThinMaterial, TheChosenWidthIsKeptInTheSettings) {
    testsupport::TempFolder t;
    Settings s;
    s.minWidth = 0.4;
    writeSettings(t.path() / "workfiles", s);
    EXPECT_DOUBLE_EQ(readSettings(t.path() / "workfiles").minWidth, 0.4);
    const std::initializer_list<std::string> earlier{"1", "stencil", " .2", "-1", "0", "0", "0", "0", "0", "/home/u"};
    for (const std::string& extra : {std::string(), std::string("75\r\n")}) {
        t.write(kSettingsFile, testsupport::crlf(earlier) + extra);
        const Settings r = readSettings(t.path() / "workfiles");
        EXPECT_DOUBLE_EQ(r.minWidth, kDefaultMinWidth);
        EXPECT_EQ(r.lastFolder, "/home/u");
    }
}
