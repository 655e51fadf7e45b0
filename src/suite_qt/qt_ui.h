// The suite's port in the real world of a window: message boxes, the Yes/No question,
// starting a program, opening a document, ending. Every window of the suite uses it.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

#include "suite/port.h"

namespace suite_qt {

// Starts a program with an argument list (never through a shell), not waiting for it.
bool startDetached(const std::string& program, const std::vector<std::string>& args);

class QtUi : public virtual suite::Ui {
public:
    explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
    // the window the messages and dialogs stand over
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    void message(const std::string& text, const std::string& title, suite::Icon icon) override;
    void runDialog(suite::YesNoDialog& dialog) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override;
    bool openDocument(const std::string& path) override;
    void processEvents() override;
    void pause(double seconds) override;
    void setWindowsEnabled(bool enabled) override;

    bool terminated = false;

protected:
    QWidget* parent_;
};

// Where a window of `r`'s size stands inside `area`, moved as little as may be: the top left
// corner of `r`, pulled in from the edges it crosses; one larger than the area keeps its top
// left corner (its title bar) inside.
QPoint placeInside(const QRect& r, const QRect& area);

// Puts a dialog with its frame's top left corner at `wanted` (where the main window's offsets
// put it), moved inside the available area of the main window's screen: nothing of it beyond
// the screen's edge. Its layout sizes it first.
void placeDialog(QWidget* dialog, QPoint wanted, QWidget* mainWindow);

}  // namespace suite_qt
