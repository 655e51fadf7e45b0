// Small settings shared by the window and its dialogs.
#pragma once

#include <QScrollBar>

namespace app {

// A slider that Tab reaches and whose arrow keys move the thumb the way they point.
inline void keyboardSlider(QScrollBar* s) {
    s->setFocusPolicy(Qt::StrongFocus);
    s->setInvertedControls(false);
}

}  // namespace app
