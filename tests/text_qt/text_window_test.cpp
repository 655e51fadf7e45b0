// The text stage's window on the offscreen platform: typing shows the letters with their
// strips at once, the variant without bridges shows none, the font lists follow the family.

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

#include "support/held_folder.h"
#include "support/temp_folder.h"
#include "text_qt/text_window.h"
#include "workfile/work_lock.h"
#include "workfile/workfile_io.h"

namespace {

using testsupport::TempFolder;

QString folder(const TempFolder& f) { return QString::fromStdString(f.path().string()); }

// Pixels of the strips' blue outline, or (`red`) of the loose islands.
int pixels(const QImage& img, bool red) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += red ? c.red() > 200 && c.green() < 60 && c.blue() < 60 : c.blue() > 200 && c.red() < 120 && c.green() < 120;
        }
    return n;
}

TEST(TextWindow, PreviewFollowsTypingWithBridgesOnlyInTheirVariant) {
    TempFolder f;
    for (auto variant : {text::Variant::Bridges, text::Variant::NoBridges}) {
        text_qt::TextWindow w(folder(f), variant);
        w.show();
        auto* edit = w.findChild<QLineEdit*>("text");
        auto* status = w.findChild<QLabel*>("status");
        auto* family = w.findChild<QComboBox*>("family");
        auto* style = w.findChild<QComboBox*>("style");
        auto* preview = w.findChild<QWidget*>("preview");
        auto* drawing = w.findChild<QLabel*>("drawing");
        ASSERT_TRUE(edit && status && family && style && preview && drawing);
        EXPECT_EQ(family->currentText(), "DejaVu Sans");
        EXPECT_EQ(style->currentText(), "Bold");
        QTest::keyClicks(edit, "B8");
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("2 letters"), 5000);
        const bool bridges = variant == text::Variant::Bridges;
        // the counters of B and 8 as cut at the shapes stage's default 4 inches: three of 25 mm
        // and more with two bridges each, one with one; the drawing they are made for is named
        EXPECT_EQ(status->text().contains("7 bridges"), bridges) << status->text().toStdString();
        EXPECT_EQ(drawing->isVisible() && drawing->text().contains("2.03 mm wide (b = 0.08 in)"), bridges);
        const int strips = pixels(preview->grab().toImage(), false);
        EXPECT_TRUE(bridges ? strips > 20 : strips == 0) << strips;
        family->setCurrentText("Liberation Serif");
        EXPECT_GE(style->count(), 4);
        EXPECT_EQ(style->currentText(), "Regular");
        edit->setText(QString::fromUtf8("A\xE4\xB8\xAD"));
        QTRY_VERIFY_WITH_TIMEOUT(status->text().contains("has no letter"), 5000);
    }
}

// The check a user makes: the A's bridge dragged off its stroke with the mouse turns the A red
// at once. At 4 inches the A has two bridges: one is deleted first (the other still holds), and
// a click on the stroke adds one again. "Next" hands over what is shown.
TEST(TextWindow, DraggingABridgeShowsAtOnceWhetherTheIslandIsHeld) {
    TempFolder f;
    text_qt::TextWindow w(folder(f), text::Variant::Bridges);
    w.show();
    auto* edit = w.findChild<QLineEdit*>("text");
    auto* status = w.findChild<QLabel*>("status");
    auto* view = dynamic_cast<text_qt::LetteringView*>(w.findChild<QWidget*>("preview"));
    auto* deleteButton = w.findChild<QPushButton*>("deleteBridge");
    ASSERT_TRUE(edit && status && view && deleteButton);
    edit->setText("A");
    QTRY_VERIFY_WITH_TIMEOUT(status->text() == "1 letters, 2 bridges.", 5000);
    // where the window's A has its bridges: the same letters set by the core
    const text::Lettering l = text::Typesetter(text::resolveFont("DejaVu Sans:Bold")).set("A", text::BridgeChoice{});
    ASSERT_EQ(l.letters[0].bridges.size(), 2u);
    const text::Pt m1 = text::stripMiddle(l.letters[0].bridges[1], l.stripWidth);
    const QPoint first = view->toWidget(text::stripMiddle(l.letters[0].bridges[0], l.stripWidth)).toPoint();
    const QPoint second = view->toWidget(m1).toPoint(), above = view->toWidget({m1.x, m1.y + 60}).toPoint();
    const auto red = [&] { return pixels(view->grab().toImage(), true); };
    const auto says = [&](const char* start) { return status->text().startsWith(start); };
    const auto holds = [&](const char* start) { return says(start) && !status->text().contains("loose"); };

    QTest::mouseClick(view, Qt::LeftButton, {}, first);
    EXPECT_TRUE(deleteButton->isEnabled());  // selected
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_TRUE(holds("1 letters, 1 bridges")) << status->text().toStdString();  // the other holds
    EXPECT_FALSE(deleteButton->isEnabled());
    EXPECT_EQ(red(), 0);

    // dragged off its stroke the island goes red at once, and "Next" hands over what is shown
    QTest::mousePress(view, Qt::LeftButton, {}, second);
    QTest::mouseMove(view, above);
    EXPECT_TRUE(says("1 letters, 1 bridges, 1 islands still loose")) << status->text().toStdString();
    EXPECT_GT(red(), 500);
    QTest::mouseRelease(view, Qt::LeftButton, {}, above);
    f.addProgram("letterkerf");
    w.findChild<QPushButton*>("next")->click();
    const std::vector<std::string> ground = wf::splitLines(f.read("tground.dat"));
    ASSERT_GT(ground.size(), 5u);
    EXPECT_EQ(ground[4], " 1");  // one island no strip holds

    // the dragged bridge still selected, deleted by the button; a click on the stroke adds one
    deleteButton->click();
    EXPECT_TRUE(says("1 letters, 0 bridges, 1 islands still loose")) << status->text().toStdString();
    QTest::mouseClick(view, Qt::LeftButton, {}, first);
    EXPECT_TRUE(holds("1 letters, 1 bridges")) << status->text().toStdString();
    EXPECT_EQ(red(), 0);
}

// While another program works in the program folder, the window says so in a message box
// and is not to be shown; it neither reads the last text nor writes a work file.
TEST(TextWindow, ASecondProgramOnTheFolderSaysSoAndTouchesNoFile) {
    TempFolder f;
    f.write("tground.dat", "old\r\n");
    f.write("stv1text.dat", "LAST\r\nDejaVu Sans\r\nBold\r\n\r\n1\r\n");
    f.addProgram("letterkerf");
    wf::WorkFolderLock first(f.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto before = testsupport::filesOf(f.path() / "workfiles");

    testsupport::MessageBoxCloser closer;
    {
        text_qt::TextWindow w(folder(f), text::Variant::Bridges);
        closer.timer.stop();
        EXPECT_TRUE(w.refused());
        EXPECT_EQ(closer.title, "Error");
        EXPECT_EQ(closer.text.toStdString(), wf::kWorkFolderBusy);
        EXPECT_TRUE(w.findChild<QLineEdit*>("text")->text().isEmpty());  // the last text was not read
    }
    EXPECT_EQ(testsupport::filesOf(f.path() / "workfiles"), before);
}

// The text box keeps its own undo; F1 and Ctrl+Q are bound; every button and the boxes'
// captions have a mnemonic.
TEST(TextWindow, TheTextBoxUndoesAndTheKeysAreBound) {
    TempFolder f;
    text_qt::TextWindow w(folder(f), text::Variant::Bridges);
    w.show();
    auto* edit = w.findChild<QLineEdit*>("text");
    ASSERT_TRUE(edit);
    edit->setFocus();
    QTest::keyClicks(edit, "AB");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "AB");
    QList<QKeySequence> keys;
    for (const QShortcut* s : w.findChildren<QShortcut*>()) keys << s->key();
    EXPECT_TRUE(keys.contains(QKeySequence(QKeySequence::HelpContents)));
    EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q)));
    for (const QAbstractButton* b : w.findChildren<QAbstractButton*>())
        EXPECT_TRUE(b->text().isEmpty() || b->text().contains('&')) << b->text().toStdString();
    for (const QLabel* l : w.findChildren<QLabel*>())
        EXPECT_TRUE(!l->buddy() || l->text().contains('&')) << l->text().toStdString();
}

}  // namespace
