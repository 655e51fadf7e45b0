// Undo and redo in the shapes stage: a history of the states "Start convert" would save
// (stv2b.dat and orgdim.dat content, with the presets of th.dat), each named after the user's
// step that left it. The session records a step around each user action and restores one through
// the resume's path, so undo never leaves the model between two states.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "engine/model.h"
#include "shapes/workfiles.h"

namespace shapes {

inline constexpr std::size_t kUndoDepth = 100;  // steps kept; the oldest goes first

struct UndoState {
    SavedState saved;       // stv2b.dat
    bool oneObject = true;  // orgdim.dat
    Presets presets;        // th.dat
    // Not saved, but kept with the step so that undo shows exactly what was shown: the knot
    // slider's handler takes the shift from the width of the moment, and the view is the user's.
    double knotShift = 0;  // mm
    engine::ViewWindow view;
    // the bar's tables while the connection is off: unticking leaves in them what the last build
    // made, which nothing shows or hands over, yet the model holds it
    decltype(engine::Model::barLines) barLines;
    decltype(engine::Model::barArcs) barArcs;
    // the same work: the saved state, "Create as one object" and the presets (view and shift aside)
    bool sameWork(const UndoState& other) const;
};

// How a step joins the one recorded before it.
enum class Fold {
    None,    // a step of its own
    Typing,  // typing into one box, or dragging one slider: joins the step before when it has the same name and folds
    Finish,  // the check after typing ("Apply" on leaving the box): joins a folding step before it, which then ends
};

class UndoHistory {
public:
    explicit UndoHistory(std::size_t depth = kUndoDepth) : depth_(depth) {}

    // the step `name` went from `before` to `now`; the redo steps are dropped
    void record(const std::string& name, const UndoState& before, const UndoState& now, Fold fold = Fold::None);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }
    std::string undoName() const { return undo_.empty() ? "" : undo_.back().name; }  // "shape Arch"
    std::string redoName() const { return redo_.empty() ? "" : redo_.back().name; }
    // the last step is typing (or a drag) named `name`, still open to the keys that follow
    bool typing(const std::string& name) const {
        return !undo_.empty() && undo_.back().fold == Fold::Typing && undo_.back().name == name;
    }
    // the state to restore (there must be a step); `now` is kept for the way back
    UndoState undo(const UndoState& now);
    UndoState redo(const UndoState& now);

private:
    struct Step {
        std::string name;
        UndoState state;
        Fold fold = Fold::None;
    };
    std::deque<Step> undo_, redo_;
    std::size_t depth_;
};

}  // namespace shapes
