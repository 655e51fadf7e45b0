// The undo history, and the session's side of it: the steps recorded around the user's
// actions, and a step's state restored as the resume restores a saved state.
#include "shapes/undo.h"

#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
bool presetsEqual(const Presets& p, const Presets& q) {
    return p.minArcLength == q.minArcLength && p.maxArcRadius == q.maxArcRadius && p.minArcRadius == q.minArcRadius &&
           p.fitTolerance == q.fitTolerance;
}

// Clears a flag when the scope ends, however it ends.
struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
};
}  // namespace

bool UndoState::sameWork(const UndoState& other) const {
    return saved == other.saved && oneObject == other.oneObject && presetsEqual(presets, other.presets);
}

void UndoHistory::record(const std::string& name, const UndoState& before, const UndoState& now, Fold fold) {
    redo_.clear();
    const bool joins = !undo_.empty() && undo_.back().fold == Fold::Typing &&
                       ((fold == Fold::Typing && undo_.back().name == name) || fold == Fold::Finish);
    if (joins) {
        // the step keeps its state before the first keystroke; back where it began, it is no step
        if (undo_.back().state.sameWork(now)) {
            undo_.pop_back();
            return;
        }
        undo_.back().fold = fold;
        return;
    }
    undo_.push_back({name, before, fold});
    while (undo_.size() > depth_) undo_.pop_front();
}

UndoState UndoHistory::undo(const UndoState& now) {
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back({step.name, now, Fold::None});
    return step.state;
}

UndoState UndoHistory::redo(const UndoState& now) {
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back({step.name, now, Fold::None});
    return step.state;
}

// ---- the session's steps

UndoState Session::undoState() const {
    UndoState s;
    s.saved = currentState();
    s.oneObject = controls_.Check5 == 1;
    s.presets = presets_;
    s.knotShift = model_.knotShift;
    s.view = model_.view;
    if (controls_.Check2 != 1) {
        s.barLines = model_.barLines;
        s.barArcs = model_.barArcs;
    }
    return s;
}

void Session::userStep(const std::string& name, const std::function<void()>& action, Fold fold) {
    if (stepDepth_ > 0 || !activated_ || terminated()) return action();  // part of a step already, or no work yet
    const UndoState before = undoState();
    const auto note = [&] {
        --stepDepth_;
        if (terminated()) return;
        const UndoState now = undoState();
        if (!before.sameWork(now)) history_.record(name, before, now, fold);
    };
    ++stepDepth_;
    try {
        action();
    } catch (...) {
        note();  // what the action changed before its fault is a step too
        throw;
    }
    note();
}

namespace {
const char* controlStep(const Controls& c, const void* control) {
    const struct {
        const void* control;
        const char* name;
    } steps[] = {
        {&c.Check1, "view shape"},          {&c.Check2, "contour connection"},   {&c.Check3, "Fit in"},
        {&c.Check4, "Cut"},                 {&c.Check5, "create as one object"}, {&c.Text4, "width of apertures"},
        {&c.Text5, "distance to baseline"}, {&c.Text6, "connection width"},      {&c.HScroll1, "knot"},
        {&c.HScroll2, "distance to baseline"},
    };
    for (const auto& s : steps)
        if (s.control == control) return s.name;
    return "change";
}
}  // namespace

void Session::userSet(Control<int>& box, int value) {
    userStep(controlStep(controls_, &box), [&] { box.set(value); });
}

void Session::userSet(ScrollBar& slider, std::int32_t value) {
    userStep(controlStep(controls_, &slider), [&] { slider.set(value); }, Fold::Typing);
}

void Session::userSet(Control<std::string>& box, const std::string& text) {
    userStep(controlStep(controls_, &box), [&] { box.set(text); }, Fold::Typing);
}

bool Session::undo() {
    if (!history_.canUndo() || !activated_ || terminated() || stepDepth_ > 0) return false;
    restoreStep(history_.undo(undoState()));
    return true;
}

bool Session::redo() {
    if (!history_.canRedo() || !activated_ || terminated() || stepDepth_ > 0) return false;
    restoreStep(history_.redo(undoState()));
    return true;
}

// A step's state goes back the resume's way: the saved state into the model and the controls
// with their handlers quiet, then the letters, the shape, the apertures' limits and the bar built
// from it. The knot's shift and the view come back as they were.
void Session::restoreStep(const UndoState& s) {
    Stv2bRead whole;
    whole.present = true;
    whole.fields = kStv2bLines;
    whole.state = s.saved;
    applySavedState(whole, s.oneObject);
    if (!presetsEqual(presets_, s.presets)) {
        presets_ = s.presets;
        try {
            writeThDat(appFolder(), presets_);  // as "Apply" of the presetting wrote it
        } catch (const std::exception&) {
            reportFileError();
        }
    }
    model_.knotShift = s.knotShift;
    controls_.Label1.visible = false;  // the bar's build says it again where it holds
    barMissing_ = false;
    {
        flags_.paintSuppressed = true;
        ClearOnExit clear{flags_.paintSuppressed};
        loadGroundContours();
        buildShape();
    }
    if (!model_.bridges.empty()) limitApertureWidth();
    {
        flags_.loadingSettings = true;
        ClearOnExit clear{flags_.loadingSettings};
        controls_.HScroll1.set(knotPosition_);
        controls_.Check1.set(s.saved.check1 ? 1 : 0);
    }
    if (controls_.Check2 == 1) {
        contourConnectionBuild();
    } else {
        model_.barLines = s.barLines;
        model_.barArcs = s.barArcs;
    }
    showDimensionsOrReport();
    model_.view = s.view;
    paint();
    ui_.controlsChanged();
}

}  // namespace shapes
