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

// the modal dialogs the main window opens besides the shape dialogs
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
    // Yes/No question; Closed when the dialog was closed without either button
    virtual Answer ask(const std::string& text, const std::string& title) = 0;
    // the same, a closed dialog counting as Yes (the session's confirmYesNo keeps the last answer)
    bool askYesNo(const std::string& text, const std::string& title) { return ask(text, title) != Answer::No; }
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
    // shows a shape's dimension dialog modally: activate(), then accept() or cancel() as the
    // user does, returning once the dialog is closed
    virtual void runDimensionDialog(DimensionDialog& dialog) = 0;
    // the windows take input again (true) or wait while long work runs (false)
    virtual void setWindowsEnabled(bool enabled) { (void)enabled; }
    // where the main window is now (twips); false when there is no window
    virtual bool windowPlace(int& topTwips, int& leftTwips) { (void)topTwips, (void)leftTwips; return false; }
    // shows one of the other dialogs modally, returning once it is closed
    virtual void runDialog(DialogId id) { (void)id; }
};

// Records what the handlers asked for. A program counts as started when its file exists
// and may be executed; `realStart` (set by the command line's --chain) really starts it.
class HeadlessUi : public Ui {
public:
    std::vector<Message> messages;
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
    Answer ask(const std::string& text, const std::string& title) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override { terminated = true; }
    void redraw() override { ++redraws; }
    bool openDocument(const std::string& path) override;

    // The dimension dialog: the texts typed (none: the pre-filled texts stand), then accept.
    // A refused input cancels the dialog and is recorded.
    std::optional<std::string> typedText1, typedText2;
    bool dialogRefused = false;
    void runDimensionDialog(DimensionDialog& dialog) override;

    std::vector<DialogId> dialogsShown;
    void runDialog(DialogId id) override { dialogsShown.push_back(id); }
};

}  // namespace shell
