// The text window's keys: the text box keeps its own undo; F1 and Ctrl+Q are bound; every
// button and the boxes' captions have a mnemonic.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "text_qt/text_window.h"

TEST(TextWindow, TheTextBoxUndoesAndTheKeysAreBound) {
    const std::filesystem::path dir = std::filesystem::path(LK_TEST_TMP) / ("textkeys." + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "workfiles");
    text_qt::TextWindow w(QString::fromStdString(dir.string()), text::Variant::Bridges);
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
        if (!b->text().isEmpty()) EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString();
    for (const QLabel* l : w.findChildren<QLabel*>())
        if (l->buddy()) EXPECT_TRUE(l->text().contains('&')) << l->text().toStdString();
    std::filesystem::remove_all(dir);
}
