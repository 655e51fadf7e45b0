// The cut window's keys and its undo of the settings.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QShortcut>
#include <QSignalBlocker>

#include "cut_qt/cut_window.h"
#include "suite_qt/keys.h"

namespace cut_qt {

void CutWindow::bindKeys() {
    const auto key = [this](QList<QKeySequence> keys, auto handler) {
        for (const QKeySequence& k : keys) {
            auto* s = new QShortcut(k, this);
            connect(s, &QShortcut::activated, this, handler);
        }
    };
    key({QKeySequence::HelpContents}, [this] { help(); });
    key({QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { saveAs(Output::Dxf); });  // the DXF: what this stage saves
    key({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { close(); });
    key({QKeySequence::Undo}, [this] { undo(); });
    key({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, [this] { redo(); });
    const auto centre = [this] { return QPointF(view_->width() / 2.0, view_->height() / 2.0); };
    key({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        [this, centre] { view_->zoomBy(1.25, centre()); });
    key({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this, centre] { view_->zoomBy(1 / 1.25, centre()); });
    key({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { view_->fit(); });
    suite_qt::addMnemonics(this);
}

cut::Settings CutWindow::shownSettings() const {
    cut::Settings s = settings_;
    s.kind = kind_->currentIndex() == 0 ? cut::Kind::Stencil : cut::Kind::Lettering;
    s.kerf = kerf_->value();
    s.minWidth = minWidth_->value();
    s.border = border_->value() < 0 ? -1 : border_->value();
    s.tabs = tabs_->isChecked();
    s.referenceLayers = reference_->isChecked();
    s.sheetWidth = sheetWidth_->value();
    s.sheetHeight = sheetHeight_->value();
    s.tile = tile_->isChecked();
    return s;
}

void CutWindow::showSettings(const cut::Settings& s) {
    {
        const QSignalBlocker a(kind_), b(kerf_), c(border_), d(tabs_), e(reference_), f(sheetWidth_), g(sheetHeight_),
            t(tile_), m(minWidth_);
        kind_->setCurrentIndex(s.kind == cut::Kind::Lettering ? 1 : 0);
        request_.kind = s.kind;
        kerf_->setValue(s.kerf);
        minWidth_->setValue(s.minWidth);
        border_->setValue(s.border < 0 ? -1 : s.border);
        tabs_->setChecked(s.tabs);
        reference_->setChecked(s.referenceLayers);
        sheetWidth_->setValue(s.sheetWidth);
        sheetHeight_->setValue(s.sheetHeight);
        tile_->setChecked(s.tile);
    }
    shown_ = shownSettings();
    rebuild(false);
    remember();
}

void CutWindow::settingsChanged() {
    const cut::Settings now = shownSettings();
    history_.record(shown_, now);
    shown_ = now;
}

bool CutWindow::undo() {
    if (!history_.canUndo()) return false;
    showSettings(history_.undo(shownSettings()));
    return true;
}

bool CutWindow::redo() {
    if (!history_.canRedo()) return false;
    showSettings(history_.redo(shownSettings()));
    return true;
}

}  // namespace cut_qt
