// The shapes stage's port: the suite's port, and what only the shapes window has besides it
// (its preview, its controls, its place on the screen, its dialogs). The window implements it
// with Qt; the command line and the tests use HeadlessUi.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "suite/port.h"

namespace shapes {

using suite::Answer;
using suite::Icon;
using suite::iconName;
using suite::Message;
using suite::ProgramStart;
using suite::YesNoDialog;

class DimensionDialog;
class SpacingDialog;
class ApertureDialog;
class PresettingDialog;

// the modal dialogs the main window opens besides the shape dialogs and the question
enum class DialogId { ApertureWidth, SignDistances, Presetting };

class Ui : public virtual suite::Ui {
public:
    // the preview must be drawn again
    virtual void redraw() {}
    // controls changed from code: the widgets follow
    virtual void controlsChanged() {}
    // where the main window is now (twips); false when there is no window
    virtual bool windowPlace(int& topTwips, int& leftTwips) { (void)topTwips, (void)leftTwips; return false; }

    // ---- the dialogs: the session makes the dialog object, the port shows it modally and
    // returns once it is closed; the object holds what the user did in it
    using suite::Ui::runDialog;
    // a shape's dimensions: activate(), then accept() or cancel() as the user does
    virtual void runDialog(DimensionDialog& dialog) = 0;
    // the letter spacing editor: activate(), its handlers as the user clicks, close()
    virtual void runDialog(SpacingDialog& dialog) = 0;
    // the width of the apertures: accept() or cancel()
    virtual void runDialog(ApertureDialog& dialog) = 0;
    // the presets: apply() or exit()
    virtual void runDialog(PresettingDialog& dialog) = 0;
};

// The suite's headless port with the shapes stage's dialogs: a shape's dimensions are
// accepted as typed; the other dialogs are recorded and closed untouched.
class HeadlessUi : public suite::HeadlessUi, public Ui {
public:
    int redraws = 0;
    void redraw() override { ++redraws; }

    // The dimension dialog: the texts typed (none: the pre-filled texts stand), then accept.
    // A refused input cancels the dialog and is recorded.
    std::optional<std::string> typedText1, typedText2;
    bool dialogRefused = false;

    using suite::HeadlessUi::runDialog;
    void runDialog(DimensionDialog& dialog) override;
    std::vector<DialogId> dialogsShown;
    void runDialog(SpacingDialog& dialog) override;
    void runDialog(ApertureDialog& dialog) override;
    void runDialog(PresettingDialog& dialog) override;
};

}  // namespace shapes
