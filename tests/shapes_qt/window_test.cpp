// What only the window can break: its fixed layout and place, on common screens and with a
// large font; the widgets bound to the controls; the dialogs on the keyboard and on the screen;
// the keys, the wheel and the mouse; the tooltips; the guard around events.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>
#include <variant>

#include "shapes_qt/mainwindow.h"
#include "suite_qt/keys.h"
#include "support/held_folder.h"
#include "support/temp_folder.h"
#include "support/tground.h"
#include "workfile/workfile_io.h"

using namespace testsupport;

namespace {

// Lets the window's queued events run until `done` holds (or a generous limit passes).
template <typename Pred>
bool runUntil(Pred done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// The sample letters in a program folder of their own, the window stored at 1500 / 3000 twips.
struct SampleWindow {
    TempFolder t;
    shapes_qt::MainWindow w;
    SampleWindow() : w((t.copySample("tground.dat"), t.write("top.dat", crlf({" 1500", " 3000", "", ""})), t.path().string()), "stvt") { w.show(); }
    bool up() { return runUntil([&] { return w.session().activated(); }); }
    template <typename T = QWidget>
    T* find(const char* name) { return w.findChild<T*>(name); }
};

// Runs `open` and `act` on the modal dialog once it is up (it may take several turns of the
// event loop); a dialog still open afterwards is rejected. True when a dialog came up.
template <typename Open, typename Act>
bool onModal(Open open, Act act) {
    bool seen = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        // keys go where the focus is: wait (a while at most) until the dialog has taken it
        if (!d->isActiveWindow() && ++ticks < 200) return;
        timer.stop();
        seen = true;
        act(d);
        if (d->isVisible()) d->reject();
    });
    timer.start(10);
    open();
    timer.stop();
    return seen;
}

using Keys = std::vector<std::variant<Qt::Key, const char*>>;

// Opens a dialog and plays the keys into whatever has the focus in it; the dialog's name,
// and whether the keys closed it.
template <typename Open>
std::pair<QString, bool> playKeys(Open open, const Keys& keys, const char* text1 = nullptr) {
    QString name;
    bool closed = false;
    onModal(open, [&](QDialog* d) {
        name = d->objectName();
        if (text1) d->findChild<QLineEdit*>("Text1")->setText(text1);
        for (const auto& k : keys) {
            QWidget* f = d->focusWidget() ? d->focusWidget() : d;
            if (std::holds_alternative<Qt::Key>(k))
                QTest::keyClick(f, std::get<Qt::Key>(k));
            else
                QTest::keyClicks(f, std::get<const char*>(k));
        }
        closed = !d->isVisible();
    });
    return {name, closed};
}

// Everything shown that a user reads or works lies inside `top`, shows its text whole and shares
// no pixel with another; every control a user works (not a label, nor the parts of a list) has
// a tooltip, those taking a number say "inches".
void expectLaidOut(QWidget* top, const std::string& setting) {
    std::vector<std::pair<QWidget*, QRect>> shown;
    for (QWidget* c : top->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(top) || qobject_cast<QMenuBar*>(c->parentWidget())) continue;
        if (!qobject_cast<QLabel*>(c) && !qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLineEdit*>(c) &&
            !qobject_cast<QScrollBar*>(c) && !qobject_cast<QListWidget*>(c) && !qobject_cast<shapes_qt::PreviewWidget*>(c))
            continue;
        const QRect place(c->mapTo(top, QPoint(0, 0)), c->size());
        const std::string name = setting + ": " + c->objectName().toStdString();
        EXPECT_TRUE(top->rect().contains(place) && !place.isEmpty()) << name << " outside";
        if (auto* l = qobject_cast<QLabel*>(c); l && !l->wordWrap() && l->pixmap().isNull()) {
            const QString text = l->textFormat() == Qt::RichText ? l->text() : suite_qt::withoutMnemonic(l->text());
            EXPECT_LE(l->fontMetrics().horizontalAdvance(text), l->contentsRect().width()) << name << " cut off";
        } else if (auto* b = qobject_cast<QAbstractButton*>(c); b && !b->text().isEmpty()) {
            EXPECT_TRUE(b->sizeHint().width() <= b->width() && b->sizeHint().height() <= b->height()) << name << " cut off";
        } else if (auto* e = qobject_cast<QLineEdit*>(c)) {
            EXPECT_TRUE(e->fontMetrics().horizontalAdvance(e->text()) + 6 <= e->width() &&
                        e->sizeHint().height() <= e->height() + 1)
                << name << " cut off";
        }
        for (const auto& [other, at] : shown) {
            if (!other->isAncestorOf(c) && !c->isAncestorOf(other)) {
                EXPECT_FALSE(at.intersects(place)) << name << " on " << other->objectName().toStdString();
            }
        }
        shown.emplace_back(c, place);
        const QWidget* p = c->parentWidget();
        if (qobject_cast<QLabel*>(c) || !p || p->inherits("QAbstractScrollArea") ||
            (p->parentWidget() && p->parentWidget()->inherits("QAbstractScrollArea")))
            continue;
        EXPECT_FALSE(c->toolTip().isEmpty()) << name << " without a tooltip";
        if (qobject_cast<QLineEdit*>(c)) { EXPECT_TRUE(c->toolTip().contains("inches")) << name; }
    }
    EXPECT_GT(shown.size(), 2u) << setting;
}

void setFontTimes(const QFont& usual, double times) {
    QFont font = usual;
    font.setPointSizeF(usual.pointSizeF() * times);
    QApplication::setFont(font);
    QApplication::processEvents();
}

}  // namespace

// Comes up fixed at its stored place; Ctrl+Z undoes the step the Edit menu names, Ctrl+Y and
// Ctrl+Shift+Z redo it; Ctrl+plus and Ctrl+0 zoom and fit; the wheel over any picture zooms;
// the middle button pans; F1 and Ctrl+Q are bound; every button and menu has a mnemonic; the
// widgets follow the controls. Each dialog over the window: Enter accepts, Escape cancels; the
// gallery's stands at its twip offset; the spacing dialog's keys reach the slider, the box and
// its buttons; the question's Tab moves from "Yes" to "No", Escape keeps the answer before.
TEST(MainWindow, WidgetsKeysMouseAndDialogs) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    shapes::Session& s = w.session();
    shapes::Controls& c = s.controls();
    EXPECT_EQ(std::make_tuple(w.size(), w.minimumSize(), w.maximumSize()), std::make_tuple(QSize(988, 735), w.size(), w.size()));
    EXPECT_EQ(w.pos(), QPoint(200, 100));  // twips / 15
    EXPECT_EQ(sw.find("Bild1")->size(), QSize(640, 480));
    EXPECT_EQ(sw.find<QLineEdit>("Texth")->text().toStdString(), c.Texth.value());
    EXPECT_FALSE(sw.find("Check4")->isVisible() || sw.find("Frame9")->isVisible());
    w.resize(500, 400);  // a resize is undone at the next paint
    w.repaint();
    EXPECT_EQ(w.size(), QSize(988, 735));

    w.activateWindow();
    QApplication::setActiveWindow(&w);
    auto* fitIn = sw.find<QCheckBox>("Check3");
    fitIn->click();
    EXPECT_EQ(sw.find<QAction>("undo")->text(), "&Undo Fit in");
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(fitIn->isChecked());
    EXPECT_EQ(sw.find<QAction>("redo")->text(), "&Redo Fit in");
    QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(fitIn->isChecked());
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.Check3.value(), 1);

    const engine::ViewWindow& v = s.model().view;
    const double whole = v.xmax - v.xmin;
    QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_NEAR(v.xmax - v.xmin, whole / 2, 1e-6);
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_NEAR(v.xmax - v.xmin, whole, 1e-6);
    for (const auto& [over, delta, width] : {std::tuple{"auswahl_5", 120, whole / 2}, {"Bild1", -120, whole * 1.1},
                                            {"Texth", 120, whole * 1.1}}) {  // a gallery picture, the preview, no picture
        QWidget* at = sw.find(over);
        QWheelEvent e(at->rect().center(), at->mapToGlobal(at->rect().center()), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(at, &e);
        EXPECT_NEAR(v.xmax - v.xmin, width, 1e-6) << over;
    }
    auto* preview = sw.find("Bild1");
    const double left = v.xmin;
    QTest::mousePress(preview, Qt::MiddleButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 100), preview->mapToGlobal(QPointF(200, 100)), Qt::NoButton,
                     Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(preview, &move);
    QTest::mouseRelease(preview, Qt::MiddleButton, {}, QPoint(200, 100));
    EXPECT_LT(v.xmin, left);  // the letters moved right with the pointer

    EXPECT_EQ(sw.find<QAction>("Schriftformen")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(sw.find<QAction>("endes")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (const QAbstractButton* b : w.centralWidget()->findChildren<QAbstractButton*>()) {
        if (!b->text().isEmpty()) { EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString(); }
    }
    for (const QAction* a : w.menuBar()->actions()) EXPECT_TRUE(a->text().contains('&')) << a->text().toStdString();

    QTest::mouseClick(sw.find("Frame5"), Qt::LeftButton, {}, QPoint(200, 40));  // the frame "View shape "
    EXPECT_EQ(std::make_pair(c.Check1.value(), sw.find<QCheckBox>("Check1")->isChecked()), std::make_pair(0, false));
    sw.find<QCheckBox>("Check2")->click();
    EXPECT_EQ(c.Check2.value(), 1);
    EXPECT_TRUE(sw.find("Frame9")->isVisible() && sw.find("Check4")->isVisible() && !sw.find("Picture4")->isVisible());
    sw.find<QScrollBar>("HScroll2")->setValue(10);
    EXPECT_EQ(c.HScroll2.value(), 10);
    sw.find<QPushButton>("Command2")->click();  // "= 0"
    EXPECT_EQ(std::make_pair(c.Text5.value(), sw.find<QScrollBar>("HScroll2")->value()), std::make_pair(std::string(" 0"), 0));
    auto* text6 = sw.find<QLineEdit>("Text6");
    text6->setFocus();
    text6->selectAll();
    QTest::keyClicks(text6, "9");
    EXPECT_EQ(c.Text6.value(), "9");
    QString said;
    EXPECT_TRUE(onModal([&] { QTest::keyClick(text6, Qt::Key_Return); }, [&](QDialog* d) { said = d->windowTitle(); }));
    EXPECT_EQ(said, "Contour connection");  // the width is beyond its range
    EXPECT_EQ(text6->text(), " 0.008");

    QPoint offset;
    onModal([&] { sw.find<QToolButton>("auswahl_17")->click(); }, [&](QDialog* d) {
        offset = d->pos() - w.pos();
        d->findChild<QLineEdit*>("Text1")->setText("6");
        QTest::keyClick(d, Qt::Key_Return);
    });
    EXPECT_EQ(offset, QPoint(780, 213));  // 11700 and 3200 twips
    EXPECT_EQ(std::make_pair(s.model().shapeNumber, s.model().bigHeight), std::make_pair(std::int16_t(17), 6 * 25.4));
    EXPECT_EQ(playKeys([&] { sw.find<QToolButton>("auswahl_4")->click(); }, {Qt::Key_Escape}).first, "form17");
    EXPECT_EQ(s.model().shapeNumber, 17);
    const auto aperture = [&] { sw.find<QToolButton>("Picture6")->click(); };
    EXPECT_EQ(playKeys(aperture, {Qt::Key_Return}, " .1"), std::make_pair(QString("form22"), true));
    playKeys(aperture, {Qt::Key_Escape}, " .2");
    EXPECT_EQ(c.Text4.value(), " .1");
    const auto presetting = [&] { w.menuBar()->findChild<QAction*>("konvein")->trigger(); };
    EXPECT_EQ(playKeys(presetting, {Qt::Key_Return}, "100"), std::make_pair(QString("form361"), true));
    EXPECT_DOUBLE_EQ(s.presets().maxArcRadius, 2540);

    const auto& d = s.model().signDistanceA;
    const auto spacing = [&] { sw.find<QToolButton>("Picture3")->click(); };
    EXPECT_TRUE(playKeys(spacing, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}).second);
    EXPECT_EQ(std::make_pair(d[1], d[2]), std::make_pair(0.01, 0.0));
    EXPECT_TRUE(playKeys(spacing, {Qt::Key_Tab, "0.02", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape}).second);
    EXPECT_EQ(std::make_pair(d[1], d[2]), std::make_pair(0.02, 0.02));  // "(+) Distance for all letters"
    EXPECT_FALSE(playKeys(spacing, {Qt::Key_Tab, "0.05", Qt::Key_Return}).second);  // Enter in the box stays open
    EXPECT_EQ(std::make_pair(d[1], d[2]), std::make_pair(0.05, 0.02));

    c.Check2.set(1);
    for (const auto& [keys, connection] : {std::pair{Keys{Qt::Key_Tab, Qt::Key_Return}, 1}, {Keys{Qt::Key_Escape}, 1},
                                           {Keys{Qt::Key_Return}, 0}}) {
        c.Check5.set(1);
        EXPECT_EQ(playKeys([&] { c.Check5.set(0); }, keys), std::make_pair(QString("form100"), true));
        EXPECT_EQ(c.Check2.value(), connection) << keys.size();
    }
}

// Letters beyond the double range: each click ends with the fault message, the window stays.
TEST(MainWindow, AFaultInAClickLeavesTheWindowUp) {
    TempFolder t;
    const std::vector<Pt> far = {{0, 0, "1"}, {1e308, 0, "1"}, {1e308, 10, "1"}, {0, 10, "6"}, {0, 0, "0"}};
    t.write("tground.dat", tground("AB", {{"A", 30, far, {}}, {"B", 5, {{0, 0, "1"}, {10, 0, "6"}}, {}}}));
    MessageBoxCloser boxes;  // every message box, accepted at once
    shapes_qt::MainWindow w(t.path().string(), "stvt");
    w.show();
    ASSERT_TRUE(runUntil([&] { return w.session().activated(); }));
    for (const char* box : {"Check2", "Check3"}) {
        boxes.text.clear();
        w.findChild<QCheckBox*>(box)->click();
        EXPECT_EQ(boxes.text.toStdString(), "File access error !") << box;
        EXPECT_TRUE(w.isVisible() && !w.terminated());
    }
}

// A foreign token, or a folder another program works in (said in a message box), ends the
// window before it is shown or a file is touched.
TEST(MainWindow, EndsBeforeItIsShownWhenItMustNotRun) {
    TempFolder t;
    t.copySample("tground.dat");
    shapes_qt::MainWindow foreign(t.path().string(), "STVT");
    foreign.show();
    ASSERT_TRUE(runUntil([&] { return foreign.terminated(); }));
    EXPECT_FALSE(foreign.session().activated());

    TempFolder busy;
    busy.copySample("tground.dat");
    wf::WorkFolderLock first(busy.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    MessageBoxCloser said;
    shapes_qt::MainWindow w(busy.path().string(), "stvt");
    EXPECT_EQ((said.title + "|" + said.text).toStdString(), std::string("Error|") + wf::kWorkFolderBusy);
    EXPECT_TRUE(w.terminated() && !w.isVisible() && !w.session().activated());
    EXPECT_FALSE(busy.exists("top.dat") || busy.exists("th.dat") || busy.exists("workfile.dcc"));
}

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
    c.Check2.set(1);
    c.Frame11 = c.HScroll1.visible = c.Label1.visible = true;
    s.ui().controlsChanged();
    const QFont usual = QApplication::font();
    const std::tuple<const char*, QSize, double> settings[] = {  // the screen in the scaled pixels of the layout
        {"1920x1080 100 %", {1920, 1080}, 1}, {"1920x1080 125 %", {1536, 864}, 1},
        {"1920x1080 150 %", {1280, 720}, 1},  {"1920x1080 200 %", {960, 540}, 1},
        {"1366x768", {1366, 768}, 1},         {"1920x1080 font 144 dpi", {1920, 1080}, 1.5},
        {"1920x1080 150 % font 144 dpi", {1280, 720}, 1.5}};
    for (const auto& [name, size, font] : settings) {
        setFontTimes(usual, font);
        const QRect area = QRect(QPoint(0, 0), size).marginsRemoved(QMargins(4, 30, 4, 4));
        w.move(area.right() - 100, area.bottom() - 100);  // a stored place near the corner
        w.fitTo(area);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(w.geometry())) << name;
        if (font == 1 && area.width() >= 988 && area.height() >= 735) { EXPECT_EQ(w.size(), QSize(988, 735)) << name; }
        expectLaidOut(&w, name);
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
            })) << name;
            EXPECT_EQ(seen, name);
        }
    }
    QApplication::setFont(usual);
}
