// The one port every program of the suite talks to the outside world through: message boxes,
// Yes/No questions, starting the next program, opening a document, ending. The windows
// implement it with Qt (suite_qt); the command lines and the tests use HeadlessUi below.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace suite {

enum class Icon { None, Information, Critical };
const char* iconName(Icon icon);  // "none", "information", "critical"

// how a Yes/No question was left
enum class Answer { Yes, No, Closed };

struct Message {
    Icon icon;
    std::string title, text;
};

struct ProgramStart {
    std::string program;
    std::vector<std::string> arguments;
};

// form100: a question with "Yes" and "No". Closing it without either button leaves it
// unanswered; the caller then keeps the answer given to the question before.
class YesNoDialog {
public:
    static constexpr const char* kName = "form100";

    YesNoDialog(std::string title, std::string question) : title_(std::move(title)), question_(std::move(question)) {}

    const std::string& title() const { return title_; }
    const std::string& question() const { return question_; }

    void yes() { answer_ = Answer::Yes; }  // Command1
    void no() { answer_ = Answer::No; }    // Command3
    Answer answer() const { return answer_; }

private:
    std::string title_, question_;
    Answer answer_ = Answer::Closed;
};

class Ui {
public:
    virtual ~Ui() = default;
    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    // a work file or a program of the suite could not be used: a critical message, and for the
    // command line a file error
    virtual void fileError(const std::string& text, const std::string& title) { message(text, title, Icon::Critical); }
    // the Yes/No question, modal: yes(), no() or neither
    virtual void runDialog(YesNoDialog& dialog) = 0;
    // starts a program without waiting; false when it cannot be started
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // the program ends as soon as the running handler returns; no closing sequence runs
    virtual void terminate() = 0;
    virtual bool openDocument(const std::string& path) { (void)path; return false; }
    virtual void processEvents() {}
    virtual void pause(double seconds) { (void)seconds; }
    // the windows take input again (true) or wait while long work runs (false)
    virtual void setWindowsEnabled(bool enabled) { (void)enabled; }
};

// Records what the handlers asked for. A program counts as started when its file exists and
// may be executed; `realStart` (a command line's --chain or --start) really starts it.
class HeadlessUi : public virtual Ui {
public:
    std::vector<Message> messages;
    int fileErrors = 0;  // messages that said a file or a program could not be used
    std::vector<ProgramStart> started;
    std::vector<std::string> documents;
    bool documentViewer = true;  // false: as on a system where no program opens PDF files
    bool terminated = false;
    bool answerYes = true;
    bool closeQuestions = false;  // every question is closed without an answer
    std::vector<std::string> questions;  // "title|question", as asked
    // optional: how programs are really started (a command line plugs in its own)
    bool (*realStart)(const std::string&, const std::vector<std::string>&) = nullptr;
    // optional: every message is also written here as ICON|TITLE|TEXT (a command line's stderr)
    std::ostream* echo = nullptr;

    void message(const std::string& text, const std::string& title, Icon icon) override;
    void fileError(const std::string& text, const std::string& title) override;
    void runDialog(YesNoDialog& dialog) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override { terminated = true; }
    bool openDocument(const std::string& path) override;
};

// Said when a help document did not open: a missing one is "not found" (by its name, as the
// menus name it); one that is there but found no program to show it is named with its full path,
// so that the user can open it another way.
std::string helpNotOpenedText(const std::string& path, const std::string& name);

}  // namespace suite
