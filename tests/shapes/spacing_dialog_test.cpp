#include "shapes/spacing_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "engine/outline_pieces.h"
#include "engine/contours.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;

namespace {

int countKonFiles(const std::filesystem::path& folder) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) n += e.path().extension() == ".tmp";
    return n;
}

// what the window would show while the removal runs
struct WatchingUi : HeadlessUi {
    Session* s = nullptr;
    std::vector<std::string> labels;  // Label2 whenever it is shown
    std::vector<bool> enabled;        // setWindowsEnabled calls
    std::vector<int> konFilesAtEvents;
    std::function<void()> atEvents;
    void controlsChanged() override {
        if (s && s->controls().Label2.visible) labels.push_back(s->controls().Label2.value());
    }
    void setWindowsEnabled(bool on) override { enabled.push_back(on); }
    void processEvents() override;
};

void WatchingUi::processEvents() {
    if (!s) return;
    konFilesAtEvents.push_back(countKonFiles(s->workPath("")));
    if (atEvents) atEvents();
}

struct Program {
    TempFolder t;
    WatchingUi ui;
    std::unique_ptr<Session> s;
    std::unique_ptr<SpacingDialog> d;
    explicit Program(const std::string& tgroundContent) {
        t.write("tground.dat", tgroundContent);
        s = std::make_unique<Session>(t.path(), "stvt", ui);
        ui.s = s.get();
        s->load();
        s->activate();
        d = std::make_unique<SpacingDialog>(*s);
        d->load();
        d->activate();
        ui.messages.clear(), ui.labels.clear(), ui.konFilesAtEvents.clear();
    }
    static std::string realLetters(const std::string& name) {
        std::ifstream in(std::string(LK_TEST_DATA) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    engine::Model& m() { return s->model(); }
    double minX(int letter) {
        double x = 1e300;
        for (const auto& e : m().elements)
            if (e.object == letter) x = std::min(x, e.x);
        return x;
    }
    int konFiles() const { return countKonFiles(t.path() / "workfiles"); }
    std::string message(std::size_t i) const { return ui.messages[i].title + "|" + ui.messages[i].text; }
};

// Crossings of the letters with the scan lines, worked out here on their own: the letters as
// loaded (unbent) and moved by the distances, each line against every outline piece.
struct Rows {
    std::vector<char> hit;
    std::vector<double> left, right;
};
std::vector<Rows> scanLaidOut(Session& s) {
    engine::Model& m = s.model();
    s.loadGroundContours();
    const engine::Box box = engine::contourExtents(m);
    const double step = (box.ymax - box.ymin) / 300;
    std::vector<double> ys;
    for (double y = box.ymin; ys.size() < 300; y += step) ys.push_back(y);
    std::vector<Rows> out(static_cast<std::size_t>(m.letterCount) + 1);
    double shift = 0;
    for (int k = 1; k <= m.letterCount; ++k) {
        shift += m.signDistanceA[k - 1] * 25.4 + m.signDistanceB[k - 1];
        Rows& r = out[k];
        r.hit.assign(300, 0);
        r.left.assign(300, 1e9);
        r.right.assign(300, -1e9);
        engine::forLetterSegments(m, 0, m.elements.size(), k, [&](const geom::Segment& g) {
            for (std::size_t i = 0; i < ys.size(); ++i) {
                const double y = ys[i];
                if (y < std::min(g.a.y, g.b.y) || y > std::max(g.a.y, g.b.y)) continue;
                const double x0 = g.a.y == g.b.y ? std::min(g.a.x, g.b.x)
                                                 : g.a.x + (y - g.a.y) * (g.b.x - g.a.x) / (g.b.y - g.a.y);
                const double x1 = g.a.y == g.b.y ? std::max(g.a.x, g.b.x) : x0;
                r.hit[i] = 1;
                r.left[i] = std::min(r.left[i], x0 + shift);
                r.right[i] = std::max(r.right[i], x1 + shift);
            }
        });
    }
    return out;
}
// the closest approach of letter b to letter a over the lines both cross (1e9: none)
double closest(const Rows& a, const Rows& b) {
    double g = 1e9;
    for (int i = 0; i < 300; ++i)
        if (a.hit[i] && b.hit[i]) g = std::min(g, b.left[i] - a.right[i]);
    return g;
}

}  // namespace

TEST(SpacingDialog, RowsSliderAndButtons) {
    Program p(tground("A B", {{"A", 30, square(0, 0, 20), {}}, {" ", 30, {}, {}}, {"B", 30, square(0, 0, 20), {}}}));
    SpacingDialog& d = *p.d;
    ASSERT_EQ(d.rows, (std::vector<std::string>{"A <> _    0", "_ <> B    0"}));
    EXPECT_EQ(d.selectedRow, 0);

    p.s->controls().Check2.set(1);
    const engine::ViewWindow view = p.m().view;
    const double before = p.minX(3);
    d.scroll(20);
    EXPECT_EQ(d.Text2.value(), "20");
    EXPECT_DOUBLE_EQ(p.m().signDistanceA[1], 0.1);
    EXPECT_EQ(d.rows[0], "A <> _    .1");
    EXPECT_EQ(p.s->controls().Check2.value(), 0);
    EXPECT_NEAR(p.minX(3) - before, 2.54, 1e-9);  // the letters after the pair moved by 0.1 inch
    EXPECT_EQ(std::tie(p.m().view.xmin, p.m().view.xmax), std::tie(view.xmin, view.xmax));  // not refitted

    d.selectPair(1);
    EXPECT_EQ(std::make_pair(d.HScroll2.value(), d.Text2.value()), std::make_pair(0, std::string("0")));
    d.selectPair(0);
    EXPECT_EQ(std::make_pair(d.HScroll2.value(), d.Text2.value()), std::make_pair(20, std::string("0.1")));
    d.zeroDistance();
    EXPECT_EQ(p.m().signDistanceA[1], 0);

    // one distance for all: the number in the box in inches; beyond the slider's reach the
    // slider stops at its end and the distance stays
    d.Text2.set("20");
    d.distanceForAll();
    EXPECT_EQ(p.m().signDistanceA[1], 20);
    EXPECT_EQ(p.m().signDistanceA[2], 20);
    EXPECT_EQ(d.rows[1], "_ <> B    20");
    d.selectPair(1);
    EXPECT_EQ(d.HScroll2.value(), kSpacingScrollMax);
    EXPECT_EQ(p.m().signDistanceA[2], 20);
    EXPECT_EQ(d.Text2.value(), "20");

    // reopened with the second row remembered: the slider shows that row's own distance
    p.m().signDistanceA[1] = 0.05;
    p.m().signDistanceA[2] = -0.25;
    p.s->rememberPair(1);
    SpacingDialog again(*p.s);
    again.activate();
    EXPECT_EQ(again.selectedRow, 1);
    EXPECT_EQ(again.HScroll2.value(), -50);
    EXPECT_EQ(again.Text2.value(), "-0.25");
    EXPECT_EQ(p.m().signDistanceA[1], 0.05);

    p.ui.answerYes = false;
    d.reset();
    EXPECT_EQ(p.ui.questions.back(), "LETTERKERF|Clear all distances ?");
    EXPECT_EQ(p.m().signDistanceA[2], -0.25);
    p.ui.answerYes = true;
    d.reset();
    EXPECT_FALSE(anySignDistance(p.m()));
    EXPECT_EQ(d.Text2.value(), "0");
    EXPECT_EQ(d.rows[0], "A <> _    0");
    d.close();
    EXPECT_TRUE(d.closed());
    EXPECT_EQ(p.s->rememberedPair(), 0);
}

TEST(EmptySpace, RealLettersOverlapByTheirMargin) {
    for (const char* name : {"avatar.dat", "lta.dat", "top.dat", "words.dat", "tdot.dat"}) {
        SCOPED_TRACE(name);
        Program p(Program::realLetters(name));
        const int n = p.m().letterCount;
        p.s->controls().Check2.set(1);
        p.d->removeEmptySpace();
        EXPECT_TRUE(p.ui.messages.empty()) << p.ui.messages.front().text;
        EXPECT_EQ(p.s->controls().Check2.value(), 0);
        EXPECT_EQ(p.ui.enabled, (std::vector<bool>{false, true}));
        EXPECT_EQ(p.konFiles(), 0);
        EXPECT_FALSE(p.s->controls().Label2.visible);
        int blanks = 0;
        for (int k = 1; k <= n; ++k) blanks += p.m().letterText[k] == " ";
        ASSERT_EQ(p.ui.labels.size(), static_cast<std::size_t>(n - blanks + 1));
        EXPECT_EQ(p.ui.labels.back(), "Please wait.... !  Examine contour >" + std::to_string(n) + " from " +
                                          std::to_string(n) + " <");
        // the files of the letters before stay while the next is examined
        EXPECT_EQ(p.ui.konFilesAtEvents.back(), n - blanks - 1);

        const std::array<double, 257> removed = p.m().signDistanceB;
        const auto rows = scanLaidOut(*p.s);
        for (int k = 1; k < n; ++k) {
            SCOPED_TRACE(k);
            const engine::Model& m = p.m();
            if (m.letterText[k] == " " || m.letterText[k + 1] == " ") {
                EXPECT_EQ(removed[k], 0);  // a word space keeps its width
                continue;
            }
            const double next = closest(rows[k], rows[k + 1]);
            const bool three = k > 1 && m.letterText[k - 1] != " ";
            const double over = three ? closest(rows[k - 1], rows[k + 1]) : 1e9;
            EXPECT_GE(next, -kOverlap - 1e-9);
            EXPECT_GE(over, -kOverlap - 1e-9);
            EXPECT_NEAR(std::min(next, over), -kOverlap, 1e-6);
            if (std::string(name) == "tdot.dat" && k == 2) {  // the l is held by the T's bar, not the dot
                EXPECT_NEAR(over, -kOverlap, 1e-6);
                EXPECT_GT(next, 1);
            }
        }

        // done once: a second press changes nothing until Reset
        p.s->controls().Check2.set(1);
        const int questions = static_cast<int>(p.ui.questions.size());
        p.d->removeEmptySpace();
        EXPECT_EQ(p.m().signDistanceB, removed);
        EXPECT_EQ(p.s->controls().Check2.value(), 1);
        EXPECT_EQ(static_cast<int>(p.ui.questions.size()), questions);
        p.d->reset();
        p.d->removeEmptySpace();
        EXPECT_EQ(p.m().signDistanceB, removed);
    }
}

TEST(EmptySpace, QuestionsFaultsAndFitIn) {
    const std::string letters = Program::realLetters("avatar.dat");
    {  // distances set by hand: asked first
        Program p(letters);
        p.d->scroll(20);
        p.ui.answerYes = false;
        p.d->removeEmptySpace();
        EXPECT_EQ(p.ui.questions.back(), "LETTERKERF|Delete existing sign distances ! Continue ?");
        EXPECT_DOUBLE_EQ(p.m().signDistanceA[1], 0.1);
        EXPECT_EQ(p.m().signDistanceB[1], 0);
        p.ui.answerYes = true;
        p.d->removeEmptySpace();
        EXPECT_EQ(p.m().signDistanceA[1], 0);
        EXPECT_LT(p.m().signDistanceB[1], 0);
        EXPECT_EQ(p.d->rows[0], "A <> V    0");
        EXPECT_EQ(p.d->selectedRow, 0);
    }
    {  // a kon file that cannot be written
        Program p(letters);
        std::filesystem::create_directories(p.t.work("kon3.tmp") / "inside");
        p.d->removeEmptySpace();
        ASSERT_EQ(p.ui.messages.size(), 1u);
        EXPECT_EQ(p.message(0), "Error|File access error !");
        EXPECT_EQ(p.ui.messages[0].icon, Icon::Critical);
        EXPECT_FALSE(anySignDistance(p.m()));
        EXPECT_EQ(p.ui.enabled, (std::vector<bool>{false, true}));
        EXPECT_FALSE(p.s->controls().Label2.visible);
        EXPECT_FALSE(p.t.exists("kon1.tmp") || p.t.exists("kon2.tmp"));
        EXPECT_EQ(p.ui.labels.size(), 4u);  // abandoned at the third letter
    }
    {  // a kon file spoiled before it is read back
        Program p(letters);
        p.ui.atEvents = [&] {
            if (p.t.exists("kon5.tmp")) p.t.write("kon1.tmp", " 1\r\n");
        };
        p.d->removeEmptySpace();
        ASSERT_EQ(p.ui.messages.size(), 1u);
        EXPECT_EQ(p.message(0), "Exit|Error !");
        EXPECT_FALSE(anySignDistance(p.m()));
        EXPECT_EQ(p.konFiles(), 0);
    }
    {  // "Fit in": examined on the plain shape, the chosen shape stays
        Program p(letters);
        p.s->controls().Check3.set(1);
        p.m().shapeNumber = 4;
        p.m().bigHeight = 2 * p.m().smallHeight;
        p.ui.messages.clear();
        p.d->removeEmptySpace();
        EXPECT_TRUE(p.ui.messages.empty());
        EXPECT_EQ(p.m().shapeNumber, 4);
        EXPECT_LT(p.m().signDistanceB[1], 0);
        EXPECT_FALSE(p.m().shapeArcs.empty());  // rebuilt with the chosen shape
    }
}

// Texts outside ASCII: one row per pair of characters, whether the sibling wrote UTF-8 or its
// older code page; moving the second row moves the letter after it.
TEST(SpacingDialog, RowsCountCharactersNotBytes) {
    const auto letters = [](const std::string& a, const std::string& b, const std::string& c) {
        return tground(a + b + c, {{a, 30, square(0, 0, 20), {}}, {b, 30, square(0, 0, 20), {}},
                                   {c, 30, square(0, 0, 20), {}}});
    };
    for (const auto& text : {letters("\xC3\x84", "B", "C"), letters("\xC4", "B", "C")}) {  // UTF-8, Windows-1252
        Program p(text);
        ASSERT_EQ(p.d->rows, (std::vector<std::string>{"\xC3\x84 <> B    0", "B <> C    0"}));
        EXPECT_EQ(p.m().groundText, "\xC3\x84" "BC");
        const double before = p.minX(3);
        p.d->selectPair(1);
        p.d->scroll(20);
        EXPECT_NEAR(p.minX(3) - before, 2.54, 1e-9);
    }
}

// Enter in the distance box gives the selected pair the typed distance as the slider would:
// to its step and within its reach; the box then shows what the pair has, the row as well.
TEST(SpacingDialog, EnterAppliesTheTypedDistance) {
    Program p(tground("ABC", {{"A", 30, square(0, 0, 20), {}}, {"B", 30, square(0, 0, 20), {}}, {"C", 30, square(0, 0, 20), {}}}));
    p.d->selectPair(1);
    for (const auto& [typed, applied] : std::vector<std::pair<std::string, double>>{
             {"0.1", 0.1}, {"0.1", 0.1}, {"-0.0126", -0.015}, {"99", 5}, {"junk", 0}}) {
        p.d->Text2.assign(typed);
        p.d->enterDistance();
        EXPECT_DOUBLE_EQ(p.m().signDistanceA[2], applied) << typed;
        EXPECT_EQ(p.d->Text2.value(), textBoxNumber(applied)) << typed;
        EXPECT_EQ(p.d->rows[1], spacingRow("B", "C", applied)) << typed;
        EXPECT_EQ(p.m().signDistanceA[1], 0);
    }
}
