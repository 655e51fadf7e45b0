#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QToolButton>
#include <memory>
#include <set>
#include <tuple>
#include <variant>
#include <vector>
#include <gtest/gtest.h>

#include "shapes_qt/mainwindow.h"
#include "shapes_qt/sample_window.h"
#include "support/temp_folder.h"
#include "workfile/workfile_io.h"

using namespace testsupport;

namespace {

template <typename Open>
bool playKeys(const char* name, const Keys& keys, Open open) {
    bool closed = false;
    const bool seen = onModal(open, [&](QDialog* d) {
        if (d->objectName() != name) return;
        for (const auto& k : keys) {
            QWidget* f = d->focusWidget() ? d->focusWidget() : d;
            if (std::holds_alternative<Qt::Key>(k))
                QTest::keyClick(f, std::get<Qt::Key>(k));
            else
                QTest::keyClicks(f, std::get<const char*>(k));
        }
        closed = !d->isVisible();
    });
    return seen && closed;
}

// The four documents lie in the program folder as PDFs, their pictures drawn as lines (no
// picture of pixels, which blurs when zoomed), and the shapes window's Info menu finds each of
// them there. (A picture that cannot be drawn fails the build of the documents.)
TEST(HelpDocuments, LieBesideTheProgramsAndOpen) {
    for (const char* name : {"main.pdf", "menu0.pdf", "menu1.pdf", "menu2.pdf"}) {
        const std::string pdf = wf::readFile(fs::path(LK_PROGRAM_DIR) / name);
        EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u) << name;
        EXPECT_NE(pdf.find("%%EOF"), std::string::npos) << name;
        std::size_t images = 0;
        for (std::size_t at = pdf.find("/Subtype /Image"); at != std::string::npos;
             at = pdf.find("/Subtype /Image", at + 1))
            ++images;
        EXPECT_EQ(images, 0u) << name;
    }
    TempFolder t;
    t.copySample("tground.dat");
    for (const char* name : {"main.pdf", "menu0.pdf", "menu1.pdf", "menu2.pdf"})
        fs::copy_file(fs::path(LK_PROGRAM_DIR) / name, t.path() / name);
    shapes::HeadlessUi ui;
    shapes::Session s(t.path(), "stvt", ui);
    for (const char* name : {"main.pdf", "menu0.pdf", "menu1.pdf", "menu2.pdf"}) s.openHelp(name);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.documents.size(), 4u);
    EXPECT_EQ(ui.documents[3], (t.path() / "menu2.pdf").string());
}

}  // namespace

TEST(MainWindow, ComesUpFixedWithTheLettersMeasured) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;

    EXPECT_EQ(w.windowTitle(), "LETTERKERF:  Shapes and sizes ");
    EXPECT_EQ(w.objectName(), "Form16");
    EXPECT_EQ(w.size(), QSize(988, 735));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.pos(), QPoint(200, 100));  // twips / 15

    auto* bild1 = w.findChild<QWidget*>("Bild1");
    ASSERT_NE(bild1, nullptr);
    EXPECT_EQ(bild1->size(), QSize(640, 480));
    EXPECT_TRUE(bild1->isVisible());

    auto* texth = w.findChild<QLineEdit*>("Texth");
    auto* textv = w.findChild<QLineEdit*>("Textv");
    ASSERT_NE(texth, nullptr);
    ASSERT_NE(textv, nullptr);
    EXPECT_TRUE(texth->text().startsWith(" 4."));
    EXPECT_EQ(texth->text().toStdString(), w.session().controls().Texth.value());
    EXPECT_TRUE(textv->text().startsWith(' '));
    EXPECT_GT(textv->text().toDouble(), 4.0);  // "ABC" is wider than tall
    EXPECT_EQ(textv->text().toStdString(), w.session().controls().Textv.value());

    // "Cut" and the connection group are hidden until the connection is on
    EXPECT_FALSE(w.findChild<QWidget*>("Check4")->isVisible());
    EXPECT_FALSE(w.findChild<QWidget*>("Frame9")->isVisible());
    EXPECT_TRUE(w.findChild<QWidget*>("Picture4")->isVisible());

    // a resize is undone at the next paint
    w.resize(500, 400);
    w.repaint();
    EXPECT_EQ(w.size(), QSize(988, 735));

    ASSERT_NE(w.menuBar()->findChild<QAction*>("endes"), nullptr);
    w.grab().save(QString(LK_TEST_TMP) + "/window.png");
}

// Each kind of widget shows its control and passes the user's change on: the frame "View shape ",
// the check box, the group and the picture in its place, the slider, the button, and a text box
// that is checked when the user leaves it.
TEST(MainWindow, WidgetsAndControlsFollowEachOther) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    shapes::Controls& c = w.session().controls();
    auto* check1 = w.findChild<QCheckBox*>("Check1");
    QTest::mouseClick(w.findChild<QWidget*>("Frame5"), Qt::LeftButton, {}, QPoint(200, 40));
    EXPECT_EQ(c.Check1.value(), 0);
    EXPECT_FALSE(check1->isChecked());

    w.findChild<QCheckBox*>("Check2")->click();
    EXPECT_EQ(c.Check2.value(), 1);
    EXPECT_TRUE(w.findChild<QWidget*>("Frame9")->isVisible());
    EXPECT_TRUE(w.findChild<QWidget*>("Check4")->isVisible());
    EXPECT_FALSE(w.findChild<QWidget*>("Picture4")->isVisible());
    auto* text5 = w.findChild<QLineEdit*>("Text5");
    auto* text6 = w.findChild<QLineEdit*>("Text6");
    auto* slider = w.findChild<QScrollBar*>("HScroll2");
    EXPECT_EQ(text6->text().toStdString(), c.Text6.value());
    slider->setValue(10);
    EXPECT_EQ(c.HScroll2.value(), 10);
    EXPECT_EQ(text5->text().toStdString(), c.Text5.value());
    EXPECT_NE(c.Text5.value(), " 0");
    w.findChild<QPushButton*>("Command2")->click();  // "= 0"
    EXPECT_EQ(c.Text5.value(), " 0");
    EXPECT_EQ(slider->value(), 0);

    text6->setFocus();
    text6->selectAll();
    QTest::keyClicks(text6, "9");
    EXPECT_EQ(c.Text6.value(), "9");
    QString said;
    EXPECT_TRUE(onModal([&] { QTest::keyClick(text6, Qt::Key_Return); }, [&](QDialog* d) {
        said = d->windowTitle();
        d->accept();
    }));
    EXPECT_EQ(said, "Contour connection");  // the width is beyond its range
    EXPECT_EQ(c.Text6.value(), " 0.008");
    EXPECT_EQ(text6->text(), " 0.008");
}

TEST(MainWindow, AForeignCommandLineHandsOverAndEnds) {
    TempFolder t;
    t.copySample("tground.dat");
    shapes_qt::MainWindow w(t.path().string(), "STVT");
    w.show();
    ASSERT_TRUE(runUntil([&] { return w.terminated(); }));
    EXPECT_FALSE(w.session().activated());
    EXPECT_EQ(w.session().model().elements.size(), 0u);
}

// The gallery opens the shape's dialog over the main window; Enter accepts, Escape cancels.
TEST(MainWindow, GalleryDialogFromTheKeyboard) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;

    // answers the dialog that the click opens: types into its boxes, then presses a key
    auto answer = [&](int shape, const QString& big, const QString& small, int key) {
        QString name, caption, text1;
        QPoint offset;
        onModal([&] { w.findChild<QToolButton*>(QString("auswahl_%1").arg(shape))->click(); }, [&](QDialog* d) {
            name = d->objectName();
            caption = d->windowTitle();
            offset = d->pos() - w.pos();
            auto* e1 = d->findChild<QLineEdit*>("Text1");
            auto* e2 = d->findChild<QLineEdit*>("Text2");
            text1 = e1->text();
            e1->setText(big);
            if (e2) e2->setText(small);
            QTest::keyClick(d, static_cast<Qt::Key>(key));
        });
        return std::make_tuple(name, caption, text1, offset);
    };
    const auto [name, caption, text1, offset] = answer(17, "6", "4", Qt::Key_Return);
    EXPECT_EQ(name, "form37");
    EXPECT_EQ(caption, "Shape");
    EXPECT_EQ(text1, " 5");
    EXPECT_EQ(offset, QPoint(780, 213));  // 11700 and 3200 twips
    EXPECT_EQ(w.session().model().shapeNumber, 17);
    EXPECT_DOUBLE_EQ(w.session().model().bigHeight, 6 * 25.4);
    EXPECT_TRUE(w.findChild<QScrollBar*>("HScroll1")->isVisible());

    answer(4, "7", "4", Qt::Key_Escape);
    EXPECT_EQ(w.session().model().shapeNumber, 17);
    EXPECT_DOUBLE_EQ(w.session().model().bigHeight, 6 * 25.4);
}

TEST(MainWindow, WheelOverAnyPictureZoomsThePreview) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    const engine::ViewWindow& v = w.session().model().view;
    const auto width = [&] { return v.xmax - v.xmin; };
    const auto turn = [&](QWidget* over, int delta) {
        const QPoint centre = over->mapToGlobal(over->rect().center());
        QWheelEvent e(over->rect().center(), centre, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    };
    const double start = width();
    turn(w.findChild<QWidget*>("auswahl_5"), 120);  // a gallery picture: in
    EXPECT_DOUBLE_EQ(width(), start / 2);
    turn(w.findChild<QWidget*>("Bild1"), -120);     // the preview itself: out
    EXPECT_DOUBLE_EQ(width(), start / 2 * 2.2);
    turn(w.findChild<QWidget*>("Texth"), 120);      // not a picture
    EXPECT_DOUBLE_EQ(width(), start / 2 * 2.2);

    QTest::mouseClick(w.findChild<QWidget*>("Bild1"), Qt::LeftButton, {}, QPoint(320, 240));
    EXPECT_DOUBLE_EQ(width(), start / 2 * 2.2 / 2);
}

TEST(MainWindow, SmallDialogsFromTheKeyboard) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    // types into the modal dialog's Text1, presses a key, reports what it saw
    auto answer = [&](auto open, const QString& text, Qt::Key key) {
        QString name;
        onModal(open, [&](QDialog* d) {
            name = d->objectName();
            d->findChild<QLineEdit*>("Text1")->setText(text);
            QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, key);
        });
        return name;
    };
    auto aperture = [&] { w.findChild<QToolButton*>("Picture6")->click(); };
    EXPECT_EQ(answer(aperture, " .1", Qt::Key_Return), "form22");
    EXPECT_EQ(w.session().controls().Text4.value(), " .1");
    answer(aperture, " .2", Qt::Key_Escape);
    EXPECT_EQ(w.session().controls().Text4.value(), " .1");

    QAction* presetting = w.menuBar()->findChild<QAction*>("konvein");
    ASSERT_NE(presetting, nullptr);
    EXPECT_EQ(answer([&] { presetting->trigger(); }, "100", Qt::Key_Return), "form361");
    EXPECT_DOUBLE_EQ(w.session().presets().maxArcRadius, 2540);
    answer([&] { presetting->trigger(); }, "200", Qt::Key_Escape);
    EXPECT_DOUBLE_EQ(w.session().presets().maxArcRadius, 2540);
}


TEST(MainWindow, SpacingDialogFromTheKeyboard) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes_qt::MainWindow& w = sw.w;
    const auto& d = w.session().model().signDistanceA;
    auto play = [&](const Keys& keys) {
        return playKeys("form7", keys, [&] { w.findChild<QToolButton*>("Picture3")->click(); });
    };
    // the first row is selected on opening: Tab to the box, Tab to the slider, two steps right, Enter closes
    EXPECT_TRUE(play({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}));
    EXPECT_DOUBLE_EQ(d[1], 0.01);
    EXPECT_DOUBLE_EQ(d[2], 0);
    // a number typed over the box, Tab on to "(+) Distance for all letters", Enter, then Escape
    EXPECT_TRUE(play({Qt::Key_Tab, "0.02", Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape}));
    EXPECT_DOUBLE_EQ(d[1], 0.02);
    EXPECT_DOUBLE_EQ(d[2], 0.02);
    // Enter in the box applies the typed distance to the selected pair and keeps the dialog open
    EXPECT_FALSE(play({Qt::Key_Tab, "0.05", Qt::Key_Return}));
    EXPECT_DOUBLE_EQ(d[1], 0.05);
    EXPECT_DOUBLE_EQ(d[2], 0.02);
}

TEST(MainWindow, YesNoQuestionFromTheKeyboard) {
    SampleWindow sw;
    ASSERT_TRUE(sw.up());
    shapes::Session& s = sw.w.session();
    // unticking "Create as one object" asks whether to drop the connection
    auto ask = [&](const Keys& keys) {
        if (s.controls().Check2 != 1) s.controls().Check2.set(1);
        if (s.controls().Check5 != 1) s.controls().Check5.set(1);
        return playKeys("form100", keys, [&] { s.controls().Check5.set(0); });
    };
    EXPECT_TRUE(ask({Qt::Key_Tab, Qt::Key_Return}));  // Tab from "Yes" to "No"
    EXPECT_EQ(s.controls().Check2.value(), 1);
    EXPECT_TRUE(ask({Qt::Key_Escape}));  // closed without a button: the previous answer stands
    EXPECT_EQ(s.controls().Check2.value(), 1);
    EXPECT_TRUE(ask({Qt::Key_Return}));  // Enter: "Yes"
    EXPECT_EQ(s.controls().Check2.value(), 0);
}

// Letters beyond the double range: each click ends with the fault message, the window stays.
TEST(MainWindow, AFaultInAClickLeavesTheWindowUp) {
    TempFolder t;
    t.write("tground.dat", crlf({"AB", "0", "2", "0", "0", "A", "30", "0", "0", "0", "0", "5", "0", "0", "1",
                                 "1E+308", "0", "1", "1E+308", "10", "1", "0", "10", "6", "0", "0", "0", "0", "B",
                                 "5", "0", "0", "0", "0", "2", "0", "0", "1", "10", "0", "6", "0"}));
    std::vector<QString> texts;  // every message box that comes up, each closed at once
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            const auto* label = d->findChild<QLabel*>("qt_msgbox_label");
            texts.push_back(label ? label->text() : d->objectName());
            d->reject();
        }
    });
    closer.start(10);
    shapes_qt::MainWindow w(t.path().string(), "stvt");
    w.show();
    ASSERT_TRUE(runUntil([&] { return w.session().activated(); }));
    for (const char* box : {"Check2", "Check3"}) {
        texts.clear();
        w.findChild<QCheckBox*>(box)->click();
        ASSERT_FALSE(texts.empty()) << box;
        for (const QString& text : texts) EXPECT_EQ(text, "File access error !") << box;
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.terminated());
    }
}

// A second window on a program folder that another program works in says so
// in a message box and ends before the window is shown or a file is touched.
TEST(MainWindow, ASecondWindowOnTheFolderSaysSoAndEnds) {
    TempFolder t;
    t.copySample("tground.dat");
    wf::WorkFolderLock first(t.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto names = [&] {
        std::set<std::string> v;
        for (const auto& e : std::filesystem::directory_iterator(t.path() / "workfiles"))
            v.insert(e.path().filename().string());
        return v;
    };
    const auto before = names();
    std::unique_ptr<shapes_qt::MainWindow> w;
    QString title, text;
    const bool seen = onModal([&] { w = std::make_unique<shapes_qt::MainWindow>(t.path().string(), "stvt"); },
                              [&](QDialog* d) {
                                  auto* box = qobject_cast<QMessageBox*>(d);
                                  ASSERT_NE(box, nullptr);
                                  title = box->windowTitle();
                                  text = box->text();
                                  box->accept();
                              });
    EXPECT_TRUE(seen);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text.toStdString(), wf::kWorkFolderBusy);
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->terminated());
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->session().activated());
    EXPECT_EQ(names(), before);  // no top.dat, th.dat or workfile.dcc made
}

// The keys: Ctrl+Z undoes the step the Edit menu names, Ctrl+Y and Ctrl+Shift+Z redo it;
// Ctrl+plus and Ctrl+0 zoom and fit; the middle button pans; F1 and Ctrl+Q are bound; every
// button and menu has a mnemonic.
TEST(MainWindow, KeysUndoZoomAndPan) {
    SampleWindow s;
    ASSERT_TRUE(s.up());
    shapes_qt::MainWindow& w = s.w;
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    const shapes::Controls& c = w.session().controls();
    auto* fitIn = w.findChild<QCheckBox*>("Check3");
    fitIn->click();
    EXPECT_EQ(w.findChild<QAction*>("undo")->text(), "&Undo Fit in");
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(c.Check3.value(), 0);
    EXPECT_FALSE(fitIn->isChecked());
    EXPECT_EQ(w.findChild<QAction*>("redo")->text(), "&Redo Fit in");
    QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(fitIn->isChecked());
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.Check3.value(), 1);

    const engine::ViewWindow& v = w.session().model().view;
    const double whole = v.xmax - v.xmin;
    QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_NEAR(v.xmax - v.xmin, whole / 2, 1e-6);
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_NEAR(v.xmax - v.xmin, whole, 1e-6);
    auto* preview = w.findChild<QWidget*>("Bild1");
    const double left = v.xmin;
    QTest::mousePress(preview, Qt::MiddleButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 100), preview->mapToGlobal(QPointF(200, 100)), Qt::NoButton,
                     Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(preview, &move);
    QTest::mouseRelease(preview, Qt::MiddleButton, {}, QPoint(200, 100));
    EXPECT_LT(v.xmin, left);  // the letters moved right with the pointer
    EXPECT_NEAR(v.xmax - v.xmin, whole, 1e-6);

    EXPECT_EQ(w.findChild<QAction*>("Schriftformen")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(w.findChild<QAction*>("endes")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (const QAbstractButton* b : w.centralWidget()->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty()) EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString();
    for (const QAction* a : w.menuBar()->actions()) EXPECT_TRUE(a->text().contains('&')) << a->text().toStdString();
}
