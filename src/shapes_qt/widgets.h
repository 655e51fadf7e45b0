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
#include "shapes/inches_shown.h"
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

// the label beside a box of inches, "in = 127 mm", as the box reads now
inline constexpr const char* kMillimetresProperty = "millimetresBeside";
inline void showMillimetres(QLineEdit* e) {
    auto* label = qobject_cast<QLabel*>(e->property(kMillimetresProperty).value<QObject*>());
    if (!label) return;
    label->setText(QString::fromStdString(shapes::inchesBeside(e->text().toStdString())));
    label->setVisible(e->isVisibleTo(e->parentWidget()) || !e->parentWidget());
}
// Makes that label (named after the box, "Text4Mm"); it follows every change of the box, typed
// or set, as it happens. The caller places it beside the box.
inline QLabel* millimetresBeside(QLineEdit* e, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(e->objectName() + "Mm");
    label->setToolTip("The value in inches, and in millimetres");
    e->setProperty(kMillimetresProperty, QVariant::fromValue<QObject*>(label));
    QObject::connect(e, &QLineEdit::textChanged, label, [e] { showMillimetres(e); });
    showMillimetres(e);
    return label;
}

// a text box keeps its cursor while the text is the same
inline void follow(QLineEdit* e, const shapes::Control<std::string>& c) {
    {
        const QSignalBlocker block(e);
        const QString t = QString::fromStdString(c.value());
        if (e->text() != t) e->setText(t);
        e->setVisible(c.visible);
    }
    showMillimetres(e);
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
