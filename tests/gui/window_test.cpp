#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "app/mainwindow.h"
#include "support/temp_folder.h"

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

}  // namespace

TEST(MainWindow, ComesUpFixedWithTheLettersMeasured) {
    TempFolder t;
    t.copySample("tground.dat");
    t.write("top.dat", crlf({" 1500", " 3000", "", ""}));
    app::MainWindow w(QString::fromStdString(t.path().string()), "stvt");
    w.show();
    ASSERT_TRUE(runUntil([&] { return w.session().firstActivationDone; }));

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
    EXPECT_EQ(texth->text().toStdString(), w.session().controls.Texth.value());
    EXPECT_TRUE(textv->text().startsWith(' '));
    EXPECT_GT(textv->text().toDouble(), 4.0);  // "ABC" is wider than tall
    EXPECT_EQ(textv->text().toStdString(), w.session().controls.Textv.value());

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

TEST(MainWindow, AForeignCommandLineHandsOverAndEnds) {
    TempFolder t;
    t.copySample("tground.dat");
    app::MainWindow w(QString::fromStdString(t.path().string()), "STVT");
    w.show();
    ASSERT_TRUE(runUntil([&] { return w.terminated(); }));
    EXPECT_FALSE(w.session().firstActivationDone);
    EXPECT_EQ(w.session().model.elements.size(), 0u);
}
