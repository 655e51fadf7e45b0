// The start window's logic: what the program folder holds, which of the five actions can run,
// and what each one starts. The window and the command line drive this same class through the
// suite's port (message boxes, program start, documents, termination).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "suite/port.h"
#include "workfile/work_lock.h"

namespace start {

namespace fs = std::filesystem;

enum class Action { NewLettering, Continue, CutDrawing, Help, Exit };
inline constexpr Action kActions[] = {Action::NewLettering, Action::Continue, Action::CutDrawing, Action::Help,
                                      Action::Exit};

const char* caption(Action a);  // "New lettering", "Continue", "Cut drawing", "Help", "Exit"
const char* key(Action a);      // its name in the report and on the command line: "new", "continue", …

// The kind of lettering "New lettering" sets: stencil letters with bridges (STV1.EXE) or
// letters without bridges, cut as parts and joined by the bar (STV1b.EXE).
enum class Kind { Stencil, Parts };
const char* textStageProgram(Kind k);  // "STV1.EXE" or "STV1b.EXE"

// What the program folder says about the user's work.
struct FolderState {
    bool savedState = false;  // workfiles/stv2b.dat holds at least 3 bytes: the shapes can resume
    bool handOver = false;    // workfiles/workrl.dat and workfiles/c3.dat: a drawing to cut
    std::string handOverStale;  // why that drawing is out of date; empty when it is not
    Kind lastKind = Kind::Stencil;  // line 2 of workfiles/shap.dat is 1: the last lettering had no bridges
};
// Looks only; creates and changes nothing.
FolderState inspect(const fs::path& folder);

// A program an action starts: its file in the program folder and its arguments.
struct Launch {
    std::string program;  // absolute path
    std::vector<std::string> arguments;
};

enum class Outcome {
    Started,   // the next program runs; this one has ended
    Opened,    // the help document is open
    Disabled,  // the action is not available now; nothing happened
    Missing,   // the program or the document is not there (the user was told)
    Failed,    // it is there but could not be started or opened (the user was told)
    Ended,     // "Exit"
};

class StartWindow {
public:
    // Takes the work folder before it looks at it; when another program of the suite works
    // there it says so and ends at once (terminated()), having read nothing. The lock is held
    // until a program is started or this object ends.
    StartWindow(fs::path folder, suite::Ui& ui);

    const fs::path& folder() const { return folder_; }
    // reads the folder again (at start and whenever the window comes back to the front);
    // once ended it looks no more, since the folder is no longer this program's
    void refresh();
    const FolderState& state() const { return state_; }

    // the kind "New lettering" starts; it follows the folder until the user picks one
    Kind kind() const { return kind_; }
    void setKind(Kind k);

    bool enabled(Action a) const;
    // what the action starts (Help and Exit start nothing: an empty program)
    Launch launch(Action a) const;
    // the help document beside the programs
    fs::path helpDocument() const;

    // The user's click. Starting a program ends this one, as every program of the suite does.
    Outcome run(Action a);
    bool terminated() const { return terminated_; }

private:
    Outcome start(Action a);

    fs::path folder_;
    suite::Ui& ui_;
    wf::WorkFolderLock lock_;
    FolderState state_;
    Kind kind_ = Kind::Stencil;
    bool kindChosen_ = false;
    bool terminated_ = false;
};

inline constexpr const char* kTitle = "LETTERKERF";
inline constexpr const char* kHelpDocument = "main.pdf";

// The report of the command line: the folder's state, each action with its availability and
// what it starts, and what happened (messages, programs started, documents opened).
std::string reportJson(const StartWindow& w, const suite::HeadlessUi& ui);

}  // namespace start
