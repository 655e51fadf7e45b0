// What only the window can break: its fixed layout and place, the widgets bound to the
// controls, the dialogs on the keyboard, the keys and the mouse, and the guard around events.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <variant>

#include "shapes_qt/sample_window.h"
#include "support/held_folder.h"
#include "workfile/workfile_io.h"

using namespace testsupport;

namespace {
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
}  // namespace

TEST(MainWindow, ComesUpFixedAndItsWidgetsFollowTheControls) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    shapes::Controls& c = w.session().controls();
    EXPECT_EQ(std::make_tuple(w.size(), w.minimumSize(), w.maximumSize()), std::make_tuple(QSize(988, 735), w.size(), w.size()));
    EXPECT_EQ(w.pos(), QPoint(200, 100));  // twips / 15
    EXPECT_EQ(sw.find("Bild1")->size(), QSize(640, 480));
    EXPECT_EQ(sw.find<QLineEdit>("Texth")->text().toStdString(), c.Texth.value());
    EXPECT_FALSE(sw.find("Check4")->isVisible() || sw.find("Frame9")->isVisible());
    w.resize(500, 400);  // a resize is undone at the next paint
    w.repaint();
    EXPECT_EQ(w.size(), QSize(988, 735));

    QTest::mouseClick(sw.find("Frame5"), Qt::LeftButton, {}, QPoint(200, 40));  // the frame "View shape "
    EXPECT_EQ(std::make_pair(c.Check1.value(), sw.find<QCheckBox>("Check1")->isChecked()), std::make_pair(0, false));
    sw.find<QCheckBox>("Check2")->click();
    EXPECT_EQ(c.Check2.value(), 1);
    EXPECT_TRUE(sw.find("Frame9")->isVisible() && sw.find("Check4")->isVisible() && !sw.find("Picture4")->isVisible());
    sw.find<QScrollBar>("HScroll2")->setValue(10);
    EXPECT_EQ(c.HScroll2.value(), 10);
    EXPECT_EQ(sw.find<QLineEdit>("Text5")->text().toStdString(), c.Text5.value());
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
}

// Each dialog over the window: Enter accepts, Escape cancels; the gallery's stands at its
// twip offset; the spacing dialog's keys reach the slider, the box and its buttons; the
// question's Tab moves from "Yes" to "No", Escape keeps the answer before.
TEST(MainWindow, DialogsFromTheKeyboard) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes::Session& s = sw.w.session();
    QPoint offset;
    onModal([&] { sw.find<QToolButton>("auswahl_17")->click(); }, [&](QDialog* d) {
        offset = d->pos() - sw.w.pos();
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
    EXPECT_EQ(s.controls().Text4.value(), " .1");
    const auto presetting = [&] { sw.w.menuBar()->findChild<QAction*>("konvein")->trigger(); };
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

    s.controls().Check2.set(1);
    for (const auto& [keys, connection] : {std::pair{Keys{Qt::Key_Tab, Qt::Key_Return}, 1}, {Keys{Qt::Key_Escape}, 1},
                                           {Keys{Qt::Key_Return}, 0}}) {
        s.controls().Check5.set(1);
        EXPECT_EQ(playKeys([&] { s.controls().Check5.set(0); }, keys), std::make_pair(QString("form100"), true));
        EXPECT_EQ(s.controls().Check2.value(), connection) << keys.size();
    }
}

// Ctrl+Z undoes the step the Edit menu names, Ctrl+Y and Ctrl+Shift+Z redo it; Ctrl+plus and
// Ctrl+0 zoom and fit; the wheel over any picture zooms; the middle button pans; F1 and
// Ctrl+Q are bound; every button and menu has a mnemonic.
TEST(MainWindow, KeysWheelAndMouse) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
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
    EXPECT_EQ(w.session().controls().Check3.value(), 1);

    const engine::ViewWindow& v = w.session().model().view;
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
    EXPECT_NEAR(v.xmax - v.xmin, whole * 1.1, 1e-6);

    EXPECT_EQ(sw.find<QAction>("Schriftformen")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(sw.find<QAction>("endes")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (const QAbstractButton* b : w.centralWidget()->findChildren<QAbstractButton*>()) {
        if (!b->text().isEmpty()) { EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString(); }
    }
    for (const QAction* a : w.menuBar()->actions()) EXPECT_TRUE(a->text().contains('&')) << a->text().toStdString();
}

// Letters beyond the double range: each click ends with the fault message, the window stays.
TEST(MainWindow, AFaultInAClickLeavesTheWindowUp) {
    TempFolder t;
    t.write("tground.dat", crlf({"AB", "0", "2", "0", "0", "A", "30", "0", "0", "0", "0", "5", "0", "0", "1",
                                 "1E+308", "0", "1", "1E+308", "10", "1", "0", "10", "6", "0", "0", "0", "0", "B",
                                 "5", "0", "0", "0", "0", "2", "0", "0", "1", "10", "0", "6", "0"}));
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
