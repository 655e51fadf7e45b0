// The shapes window's keys: the Edit menu's undo and redo, the View menu's zoom, the edits'
// captions as their buddies, and Space held over the preview for a pan.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <cstring>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "shapes_qt/mainwindow.h"
#include "suite_qt/guard.h"

namespace shapes_qt {

void MainWindow::buildEditMenus() {
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("edit");
    undo_ = edit->addAction("&Undo");
    undo_->setObjectName("undo");
    undo_->setShortcut(QKeySequence::Undo);  // Ctrl+Z
    connect(undo_, &QAction::triggered, this, [this] { guarded([this] { session_->undo(); }); });
    redo_ = edit->addAction("&Redo");
    redo_->setObjectName("redo");
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redo_, &QAction::triggered, this, [this] { guarded([this] { session_->redo(); }); });

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("view");
    const auto zoom = [&](const char* name, const char* caption, QList<QKeySequence> keys, auto handler) {
        QAction* a = view->addAction(caption);
        a->setObjectName(name);
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, [this, handler] { run(handler); });
    };
    zoom("zoomIn", "Zoom &in", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         [](shapes::Session& s) { s.zoom().zoomIn(); });
    zoom("zoomOut", "Zoom &out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [](shapes::Session& s) { s.zoom().zoomOut(); });
    zoom("fit", "&Fit to the letters", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [](shapes::Session& s) { s.fitAndRedraw(); });
    QAction* quit = findChild<QAction*>("endes");
    if (quit) quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MainWindow::refreshUndo() {
    if (!undo_) return;
    const shapes::UndoHistory& h = session_->history();
    undo_->setEnabled(h.canUndo());
    redo_->setEnabled(h.canRedo());
    undo_->setText(h.canUndo() ? "&Undo " + QString::fromStdString(h.undoName()) : "&Undo");
    redo_->setText(h.canRedo() ? "&Redo " + QString::fromStdString(h.redoName()) : "&Redo");
}

void MainWindow::buddyCaptions(QWidget* central) {
    for (QLabel* caption : central->findChildren<QLabel*>()) {
        const QString name = caption->objectName();
        if (!name.endsWith(kCaptionSuffix)) continue;
        if (auto* edit = central->findChild<QLineEdit*>(name.chopped(static_cast<int>(strlen(kCaptionSuffix)))))
            caption->setBuddy(edit);
    }
}

bool MainWindow::spaceOverPreview(QObject* watched, QEvent* e) {
    auto* key = static_cast<QKeyEvent*>(e);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this || QApplication::activeModalWidget()) return QMainWindow::eventFilter(watched, e);
    if (key->key() != Qt::Key_Space || !preview_ || !preview_->isVisible()) return QMainWindow::eventFilter(watched, e);
    const bool over = preview_->rect().contains(preview_->mapFromGlobal(QCursor::pos()));
    if (e->type() == QEvent::KeyPress && over) {
        preview_->spaceHeld = true;
        return true;  // over the preview, Space is the pan's: no button under the focus is pressed
    }
    if (e->type() == QEvent::KeyRelease && preview_->spaceHeld) {
        if (!key->isAutoRepeat()) preview_->spaceHeld = false;
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace shapes_qt
