// Small settings shared by the window and its dialogs, and how a widget follows the control of
// the session it shows: value and visibility, without a signal firing meanwhile.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QLayout>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QSignalBlocker>
#include <algorithm>
#include <string>

#include "shell/controls.h"

namespace app {

// A slider that Tab reaches and whose arrow keys move the thumb the way they point.
inline void keyboardSlider(QScrollBar* s) {
    s->setFocusPolicy(Qt::StrongFocus);
    s->setInvertedControls(false);
}

// Where a window of `r`'s size stands inside `area`, moved as little as may be: the top left
// corner of `r`, pulled in from the edges it crosses; one larger than the area keeps its top
// left corner (its title bar) inside.
inline QPoint placeInside(const QRect& r, const QRect& area) {
    const int x = std::max(area.left(), std::min(r.left(), area.left() + area.width() - r.width()));
    const int y = std::max(area.top(), std::min(r.top(), area.top() + area.height() - r.height()));
    return {x, y};
}

// Puts a dialog with its frame's top left corner at `wanted` (where the main window's offsets
// put it), moved inside the available area of the main window's screen: nothing of it beyond
// the screen's edge. Its layout sizes it first.
inline void placeDialog(QWidget* dialog, QPoint wanted, QWidget* mainWindow) {
    if (dialog->layout()) dialog->layout()->activate();
    dialog->adjustSize();
    QScreen* screen = mainWindow ? mainWindow->screen() : dialog->screen();
    if (!screen) {
        dialog->move(wanted);
        return;
    }
    // the dialog's frame is not known before it shows: take the main window's
    QSize frame(8, 34);
    if (mainWindow && mainWindow->frameGeometry() != mainWindow->geometry())
        frame = mainWindow->frameGeometry().size() - mainWindow->geometry().size();
    dialog->move(placeInside(QRect(wanted, dialog->size() + frame), screen->availableGeometry()));
}

// a check box: 0 clear, 1 ticked, 2 greyed
inline void follow(QCheckBox* b, const shell::Control<int>& c) {
    const QSignalBlocker block(b);
    b->setCheckState(c.value() == 1 ? Qt::Checked : c.value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setVisible(c.visible);
}

// a text box keeps its cursor while the text is the same
inline void follow(QLineEdit* e, const shell::Control<std::string>& c) {
    const QSignalBlocker block(e);
    const QString t = QString::fromStdString(c.value());
    if (e->text() != t) e->setText(t);
    e->setVisible(c.visible);
}

inline void follow(QLabel* l, const shell::Control<std::string>& c) {
    l->setText(QString::fromStdString(c.value()));
    l->setVisible(c.visible);
}

inline void follow(QScrollBar* s, const shell::ScrollBar& c) {
    const QSignalBlocker block(s);
    s->setRange(c.min(), c.max());
    s->setValue(c.value());
    s->setVisible(c.visible);
}

}  // namespace app
