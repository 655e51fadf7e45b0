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

#include "shapes/controls.h"
#include "suite_qt/qt_ui.h"

namespace shapes_qt {

using suite_qt::placeDialog;
using suite_qt::placeInside;

// A slider that Tab reaches and whose arrow keys move the thumb the way they point.
inline void keyboardSlider(QScrollBar* s) {
    s->setFocusPolicy(Qt::StrongFocus);
    s->setInvertedControls(false);
}

// a check box: 0 clear, 1 ticked, 2 greyed
inline void follow(QCheckBox* b, const shapes::Control<int>& c) {
    const QSignalBlocker block(b);
    b->setCheckState(c.value() == 1 ? Qt::Checked : c.value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setVisible(c.visible);
}

// a text box keeps its cursor while the text is the same
inline void follow(QLineEdit* e, const shapes::Control<std::string>& c) {
    const QSignalBlocker block(e);
    const QString t = QString::fromStdString(c.value());
    if (e->text() != t) e->setText(t);
    e->setVisible(c.visible);
}

inline void follow(QLabel* l, const shapes::Control<std::string>& c) {
    l->setText(QString::fromStdString(c.value()));
    l->setVisible(c.visible);
}

inline void follow(QScrollBar* s, const shapes::ScrollBar& c) {
    const QSignalBlocker block(s);
    s->setRange(c.min(), c.max());
    s->setValue(c.value());
    s->setVisible(c.visible);
}

}  // namespace shapes_qt
