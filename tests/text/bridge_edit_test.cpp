// Bridges placed by hand on real letters: moved along their stroke they stay square to it and
// hold, moved off it or deleted they let the island go, added on a stroke they hold again; the
// letter file carries exactly what the preview checked. Edits follow the text as it is retyped.

#include <cmath>

#include "text/bridge_edit.h"
#include "text_support.h"

namespace texttest {
namespace {

using text::Pt;

// The stencil an independent check cuts from the letter file agrees with the islands the edit
// found loose, and no strip of a held letter crosses a second stroke or ends on the ink.
void expectFileAgrees(const text::Lettering& l) {
    const GroundFile g = written(l);
    const StencilCheck c = checkStencil(g);
    EXPECT_EQ(c.looseIslands, static_cast<int>(l.looseCount()));
    EXPECT_EQ(g.loose, static_cast<int>(l.looseCount()));
    if (l.looseCount() == 0) {
        EXPECT_TRUE(c.badBridges.empty()) << c.badBridges.front();
        EXPECT_LT(c.endInInkMm, 0.01);
    }
}

Pt lineMiddle(const text::Lettering& l, text::BridgeRef r) {
    const text::Letter& k = l.letters[r.letter];
    const Pt m = text::stripMiddle(k.bridges[r.index], l.stripWidth);
    return {m.x + k.x, m.y};
}

// The one bridge of an A cut 2 inches high (at 4 inches its counter gets two) dragged off its
// stroke and back, into the counter, deleted and added again:
// after each step the islands the edit reports loose are those the file's stencil has.
TEST(BridgeEdits, TheAHoldsOnlyWhileABridgeCrossesItsStroke) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    const text::BridgeChoice twoInches{true, false, text::CutSize{50.8, 2.032}};
    text::Lettering l = setter.set("A", twoInches);
    ASSERT_EQ(l.letters[0].bridges.size(), 1u);
    ASSERT_EQ(l.looseCount(), 0u);
    const Pt home = lineMiddle(l, {0, 0});
    // a point of the counter: the middle of the island once nothing holds it
    text::Lettering bare = l;
    ASSERT_TRUE(text::BridgeEdits().remove(bare, {0, 0}));
    Pt counter{0, 0};
    for (Pt p : bare.letters[0].loose.at(0)) counter = counter + p * (1.0 / bare.letters[0].loose[0].size());
    text::BridgeEdits edits;

    enum Step { Move, Remove, Add };
    struct Case {
        const char* what;
        Step step;
        Pt at;
        std::size_t loose, bridges;
    };
    const Case cases[] = {
        {"dragged off the stroke, above the letter", Move, {home.x, home.y + 60}, 1, 1},
        {"put back", Move, home, 0, 1},
        {"dragged into the counter", Move, counter, 1, 1},
        {"back along the stroke, a little aside", Move, {home.x + 1, home.y}, 0, 1},
        {"deleted", Remove, {}, 1, 0},
        {"a click beside the letter adds nothing", Add, {home.x, home.y + 60}, 1, 0},
        {"added by a click on the stroke", Add, home, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool done = c.step == Move     ? edits.move(l, {0, 0}, c.at)
                          : c.step == Remove ? edits.remove(l, {0, 0})
                                             : edits.add(l, c.at).has_value();
        EXPECT_EQ(done, c.step != Add || c.bridges == 1);
        EXPECT_EQ(l.looseCount(), c.loose);
        EXPECT_EQ(l.letters[0].bridges.size(), c.bridges);
        if (c.bridges == 1) {  // the strip lies where it was put: its middle line runs through the point
            const text::Bridge& b = l.letters[0].bridges[0];
            const Pt d = (b.p2 - b.p1) * (1 / length(b.p2 - b.p1));
            EXPECT_LT(std::fabs(cross(c.at - lineMiddle(l, {0, 0}), d)), 1e-6);
            EXPECT_EQ(text::bridgeAt(l, c.at, 0), (text::BridgeRef{0, 0}));
        }
        expectFileAgrees(l);
        // what the edits recorded gives the same letter when applied to the letters set afresh
        text::Lettering again = setter.set("A", twoInches);
        edits.apply(again);
        EXPECT_EQ(again.looseCount(), l.looseCount());
    }
    // a bridge that is not there is neither moved nor deleted
    EXPECT_FALSE(edits.move(l, {0, 1}, home));
    EXPECT_FALSE(edits.remove(l, {1, 0}));
}

// Where the line from `o` along the unit vector `d` crosses the letter's outlines at `t` = 0 to
// `reach`: for each crossing its distance from `o` and the sine of the angle between the two.
std::vector<std::pair<double, double>> crossings(const text::Letter& k, Pt o, Pt d, double reach) {
    std::vector<std::pair<double, double>> out;
    for (const text::Contour& c : k.contours) {
        const std::vector<Pt> pts = text::flatten(c, 1e-3);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Pt a = pts[i], ab = pts[(i + 1) % pts.size()] - a;
            const double den = cross(d, ab);
            if (den == 0) continue;
            const double u = cross(a - o, d) / den, t = cross(a - o, ab) / den;
            if (u >= 0 && u < 1 && t >= 0 && t <= reach) out.push_back({t, std::fabs(den) / length(ab)});
        }
    }
    return out;
}

// Dragged round the ring of an O (the second letter, so that the pointer's place along the line
// counts), a bridge turns with the stroke: it crosses both of its sides squarely, spans the stroke
// and keeps the counter held; the file's stencil agrees.
TEST(BridgeEdits, ADraggedBridgeTurnsSquareToACurvedStroke) {
    for (const char* font : {"DejaVu Sans:Bold", "Liberation Serif"}) {
        SCOPED_TRACE(font);
        text::Typesetter setter(text::resolveFont(font));
        text::Lettering l = setter.set("IO", text::BridgeChoice{});
        ASSERT_EQ(l.looseCount(), 0u);
        const text::Letter& o = l.letters[1];
        ASSERT_GE(o.bridges.size(), 1u);
        ASSERT_GT(o.x, 0);
        // points in the middle of the ring: halfway between its outer and inner outline on rays
        // from the centre of the letter
        double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
        for (const text::Contour& c : o.contours)
            for (Pt p : text::flatten(c, 1e-3))
                xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x), ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
        const Pt centre{(xmin + xmax) / 2, (ymin + ymax) / 2};
        text::BridgeEdits edits;
        for (double degrees : {20.0, 45.0, 70.0, 135.0, 200.0, 315.0}) {
            SCOPED_TRACE(degrees);
            const double a = degrees * 3.14159265358979 / 180;
            const Pt ray{std::cos(a), std::sin(a)};
            // where the ray leaves the counter and the letter
            const auto ts = crossings(o, centre, ray, 1e300);
            ASSERT_EQ(ts.size(), 2u);
            const Pt at = centre + ray * ((ts[0].first + ts[1].first) / 2);
            ASSERT_TRUE(edits.move(l, {1, 0}, {at.x + o.x, at.y}));
            // across the stroke: out of the counter and into the sheet, both at 80 degrees or more
            const text::Bridge& b = o.bridges[0];
            const Pt d = (b.p2 - b.p1) * (1 / length(b.p2 - b.p1));
            const auto sides = crossings(o, text::stripMiddle(b, l.stripWidth) - d * (length(b.p2 - b.p1) / 2), d,
                                         length(b.p2 - b.p1));
            ASSERT_EQ(sides.size(), 2u);
            EXPECT_GT(std::min(sides[0].second, sides[1].second), std::sin(80 * 3.14159265358979 / 180));
            EXPECT_EQ(l.looseCount(), 0u);
            expectFileAgrees(l);
        }
    }
}

// The edits of the letters before and after the change stay with them (those after move), the
// edits of the letters changed are dropped and counted.
TEST(BridgeEdits, EditsFollowTheText) {
    struct Case {
        const char *before, *after;
        std::vector<std::size_t> edited;
        std::vector<std::pair<std::size_t, std::size_t>> kept;  // where an edit is now, where it was
        std::size_t dropped;
    };
    const Case cases[] = {
        {"ABC", "ABC", {0, 2}, {{0, 0}, {2, 2}}, 0},
        {"ABC", "ABCD", {0, 2}, {{0, 0}, {2, 2}}, 0},
        {"ABC", "XYABC", {0, 2}, {{2, 0}, {4, 2}}, 0},
        {"ABC", "AXC", {0, 1, 2}, {{0, 0}, {2, 2}}, 1},
        {"ABC", "AC", {1, 2}, {{1, 2}}, 1},
        {"A\xC3\x84" "B", "A\xC3\x84", {1, 2}, {{1, 1}}, 1},
        {"AAA", "AA", {0, 1, 2}, {{0, 0}, {1, 1}}, 1},
        {"ABC", "", {0, 2}, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        text::BridgeEdits edits;
        std::vector<text::LetterEdit> given;
        for (std::size_t i : c.edited) given.push_back({i, "?", {text::Bridge{1, {double(i), 0}, {double(i), 1}}}});
        edits.assign(given);
        EXPECT_EQ(edits.followText(c.before, c.after), c.dropped);
        std::vector<std::pair<std::size_t, std::size_t>> kept;  // each edit with its own bridges
        for (const text::LetterEdit& e : edits.letters()) kept.push_back({e.letter, std::size_t(e.bridges.at(0).p1.x)});
        EXPECT_EQ(kept, c.kept);
    }
}

}  // namespace
}  // namespace texttest
