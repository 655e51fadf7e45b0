// The keys a desktop user expects, alike in the suite's four windows: mnemonics on every button
// and on the labels of the boxes they name, and a caption compared without its mnemonic.
#pragma once

#include <QString>

class QWidget;
class QMenu;
class QMenuBar;

namespace suite_qt {

// Gives every button below `root` (and every label with a buddy) that has none a mnemonic: the
// first letter or digit of its caption that no other caption there uses yet; captions with one
// keep it. Run once the widgets are made; a caption made later gets none.
void addMnemonics(QWidget* root);
// The same for the entries of a menu bar or a menu (each menu by itself, submenus too).
void addMnemonics(QMenuBar* bar);
void addMnemonics(QMenu* menu);

// a caption as the user reads it: the mnemonics' '&' taken out ("&&" stays one '&')
QString withoutMnemonic(const QString& caption);

}  // namespace suite_qt
