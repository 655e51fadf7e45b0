// The shapes window on common screens and with a large font: every control inside the
// screen's available area, none on another, no text wider than its widget; the dialogs kept
// on the screen; a tooltip on every control.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

#include "shapes_qt/sample_window.h"
#include "suite_qt/keys.h"

using namespace testsupport;

namespace {

// The controls shown in `top` (a user reads or works them), each with the text it cannot show
// whole ("" when it can).
std::vector<std::pair<QWidget*, std::string>> shownControls(QWidget* top) {
    std::vector<std::pair<QWidget*, std::string>> found;
    for (QWidget* c : top->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(top) || qobject_cast<QMenuBar*>(c->parentWidget())) continue;
        if (!qobject_cast<QLabel*>(c) && !qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLineEdit*>(c) &&
            !qobject_cast<QScrollBar*>(c) && !qobject_cast<QListWidget*>(c) && !qobject_cast<shapes_qt::PreviewWidget*>(c))
            continue;
        std::string cut;
        if (auto* l = qobject_cast<QLabel*>(c); l && !l->wordWrap() && l->pixmap().isNull()) {
            const QString text = l->textFormat() == Qt::RichText ? l->text() : suite_qt::withoutMnemonic(l->text());
            if (l->fontMetrics().horizontalAdvance(text) > l->contentsRect().width()) cut = text.toStdString();
        } else if (auto* b = qobject_cast<QAbstractButton*>(c)) {
            if (!b->text().isEmpty() && (b->sizeHint().width() > b->width() || b->sizeHint().height() > b->height()))
                cut = b->text().toStdString();
        } else if (auto* e = qobject_cast<QLineEdit*>(c)) {
            if (e->fontMetrics().horizontalAdvance(e->text()) + 6 > e->width() || e->sizeHint().height() > e->height() + 1)
                cut = e->text().toStdString();
        }
        found.emplace_back(c, cut);
    }
    return found;
}

// Everything shown lies inside `top`, nothing is cut off, no two controls share a pixel.
void expectLaidOut(QWidget* top, const std::string& setting) {
    const auto controls = shownControls(top);
    ASSERT_GT(controls.size(), 2u) << setting;
    std::vector<QRect> places;
    for (const auto& [c, cut] : controls) {
        places.emplace_back(c->mapTo(top, QPoint(0, 0)), c->size());
        const std::string name = setting + ": " + c->objectName().toStdString();
        EXPECT_TRUE(top->rect().contains(places.back()) && !places.back().isEmpty()) << name << " outside";
        EXPECT_EQ(cut, "") << name << " cut off";
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            QWidget *a = controls[i].first, *b = controls[j].first;
            if (!a->isAncestorOf(b) && !b->isAncestorOf(a)) {
                EXPECT_FALSE(places[i].intersects(places[j]))
                    << setting << ": " << a->objectName().toStdString() << " on " << b->objectName().toStdString();
            }
        }
}

void setFontTimes(const QFont& usual, double times) {
    QFont font = usual;
    font.setPointSizeF(usual.pointSizeF() * times);
    QApplication::setFont(font);
    QApplication::processEvents();
}

}  // namespace

// 1920 x 1080 at 100, 125, 150 and 200 %, 1366 x 768, and the large system font (144 dpi),
// with everything the right column can show at once; then the dialogs, which the twip
// offsets would put beyond the screen's edge, with the usual font and the large one. Every
// control of the window and its dialogs has a tooltip, those with a number say "inches".
TEST(ScreenFit, EveryControlOnTheScreenWithItsTextWholeAndATooltip) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    shapes::Session& s = w.session();
    shapes::Controls& c = s.controls();
    const auto expectTips = [](QWidget* top) {
        for (const auto& [c, cut] : shownControls(top)) {
            if (qobject_cast<QLabel*>(c) || !c->parentWidget() || c->parentWidget()->inherits("QAbstractScrollArea") ||
                (c->parentWidget()->parentWidget() && c->parentWidget()->parentWidget()->inherits("QAbstractScrollArea")))
                continue;
            EXPECT_FALSE(c->toolTip().isEmpty()) << top->objectName().toStdString() << ": " << c->objectName().toStdString();
            if (qobject_cast<QLineEdit*>(c)) { EXPECT_TRUE(c->toolTip().contains("inches")) << c->objectName().toStdString(); }
        }
    };
    c.Check2.set(1);
    c.Frame11 = c.HScroll1.visible = c.Label1.visible = true;
    s.ui().controlsChanged();
    expectTips(&w);
    const QFont usual = QApplication::font();
    const struct {
        const char* name;
        QSize screen;  // in the scaled pixels the window is laid out in
        double font;
    } settings[] = {{"1920x1080 100 %", {1920, 1080}, 1}, {"1920x1080 125 %", {1536, 864}, 1},
                    {"1920x1080 150 %", {1280, 720}, 1},  {"1920x1080 200 %", {960, 540}, 1},
                    {"1366x768", {1366, 768}, 1},         {"1920x1080 font 144 dpi", {1920, 1080}, 1.5},
                    {"1920x1080 150 % font 144 dpi", {1280, 720}, 1.5}};
    for (const auto& k : settings) {
        setFontTimes(usual, k.font);
        const QRect area = QRect(QPoint(0, 0), k.screen).marginsRemoved(QMargins(4, 30, 4, 4));
        w.move(area.right() - 100, area.bottom() - 100);  // a stored place near the corner
        w.fitTo(area);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(w.geometry())) << k.name;
        if (k.font == 1 && area.width() >= 988 && area.height() >= 735) { EXPECT_EQ(w.size(), QSize(988, 735)) << k.name; }
        expectLaidOut(&w, k.name);
    }
    const QRect screen = w.screen()->availableGeometry();
    const std::pair<const char*, std::function<void()>> dialogs[] = {
        {"form37", [&] { sw.find<QToolButton>("auswahl_17")->click(); }},
        {"form22", [&] { sw.find<QToolButton>("Picture6")->click(); }},
        {"form7", [&] { sw.find<QToolButton>("Picture3")->click(); }},
        {"form361", [&] { w.menuBar()->findChild<QAction*>("konvein")->trigger(); }},
        {"form100", [&] { c.Check2.set(1), c.Check5.set(1), c.Check5.set(0); }}};
    for (double times : {1.0, 1.5}) {
        setFontTimes(usual, times);
        w.fitTo(w.availableArea());
        w.move(screen.right() - w.width() - 10, screen.bottom() - w.height() - 40);  // the lower right corner
        QApplication::processEvents();
        for (const auto& [name, open] : dialogs) {
            QString seen;
            EXPECT_TRUE(onModal(open, [&](QDialog* d) {
                seen = d->objectName();
                EXPECT_TRUE(screen.contains(d->frameGeometry())) << name;
                expectLaidOut(d, name + std::string(times == 1 ? "" : " large font"));
                if (times == 1) expectTips(d);
            })) << name;
            EXPECT_EQ(seen, name);
        }
    }
    QApplication::setFont(usual);
}
