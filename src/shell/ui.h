// The one port to the outside world. The window implements it with Qt; the command line
// and the tests use HeadlessUi.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

enum class Icon { None, Information, Critical };

// how a Yes/No question was left
enum class Answer { Yes, No, Closed };

class DimensionDialog;
class SpacingDialog;
class ApertureDialog;
class PresettingDialog;
class YesNoDialog;

// the modal dialogs the main window opens besides the shape dialogs and the question
enum class DialogId { ApertureWidth, SignDistances, Presetting };

const char* iconName(Icon icon);

struct Message {
    Icon icon;
    std::string title, text;
};

struct ProgramStart {
    std::string program;
    std::vector<std::string> arguments;
};

class Ui {
public:
    virtual ~Ui() = default;
    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    // a work file or a program of the suite could not be used: a critical message, and for the
    // command line a file error
    virtual void fileError(const std::string& text, const std::string& title) {
        message(text, title, Icon::Critical);
    }
    // starts a program without waiting; false when it cannot be started
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // the program ends as soon as the running handler returns; no closing sequence runs
    virtual void terminate() = 0;
    // the preview must be drawn again
    virtual void redraw() {}
    // controls changed from code: the widgets follow
    virtual void controlsChanged() {}
    virtual void processEvents() {}
    virtual void pause(double seconds) { (void)seconds; }
    virtual bool openDocument(const std::string& path) { (void)path; return false; }
    // the windows take input again (true) or wait while long work runs (false)
    virtual void setWindowsEnabled(bool enabled) { (void)enabled; }
    // where the main window is now (twips); false when there is no window
    virtual bool windowPlace(int& topTwips, int& leftTwips) { (void)topTwips, (void)leftTwips; return false; }

    // ---- the dialogs: the session makes the dialog object, the port shows it modally and
    // returns once it is closed; the object holds what the user did in it
    // a shape's dimensions: activate(), then accept() or cancel() as the user does
    virtual void runDialog(DimensionDialog& dialog) = 0;
    // the letter spacing editor: activate(), its handlers as the user clicks, close()
    virtual void runDialog(SpacingDialog& dialog) = 0;
    // the width of the apertures: accept() or cancel()
    virtual void runDialog(ApertureDialog& dialog) = 0;
    // the presets: apply() or exit()
    virtual void runDialog(PresettingDialog& dialog) = 0;
    // the Yes/No question: yes(), no() or neither
    virtual void runDialog(YesNoDialog& dialog) = 0;
};

// Records what the handlers asked for. A program counts as started when its file exists
// and may be executed; `realStart` (set by the command line's --chain) really starts it.
// Dialogs other than the shape's and the question are recorded and closed untouched.
class HeadlessUi : public Ui {
public:
    std::vector<Message> messages;
    int fileErrors = 0;  // messages that said a file or a program could not be used
    std::vector<ProgramStart> started;
    std::vector<std::string> documents;
    bool terminated = false;
    bool answerYes = true;
    bool closeQuestions = false;  // every question is closed without an answer
    int redraws = 0;
    std::vector<std::string> questions;
    // optional: how programs are really started (the command line plugs in its own)
    bool (*realStart)(const std::string&, const std::vector<std::string>&) = nullptr;

    void message(const std::string& text, const std::string& title, Icon icon) override;
    void fileError(const std::string& text, const std::string& title) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override { terminated = true; }
    void redraw() override { ++redraws; }
    bool openDocument(const std::string& path) override;

    // The dimension dialog: the texts typed (none: the pre-filled texts stand), then accept.
    // A refused input cancels the dialog and is recorded.
    std::optional<std::string> typedText1, typedText2;
    bool dialogRefused = false;
    void runDialog(DimensionDialog& dialog) override;

    // the question: answered Yes or No (answerYes), or closed (closeQuestions); each one recorded
    // as "title|question"
    void runDialog(YesNoDialog& dialog) override;

    std::vector<DialogId> dialogsShown;
    void runDialog(SpacingDialog& dialog) override;
    void runDialog(ApertureDialog& dialog) override;
    void runDialog(PresettingDialog& dialog) override;
};

}  // namespace shell
