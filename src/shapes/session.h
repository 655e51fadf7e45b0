// One running program: the model, the controls, the presets and flags, and the handlers
// of the main window's life cycle. The window, the command line and the tests all drive
// this same object through the Ui port.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "engine/model.h"
#include "preview/canvas.h"
#include "shapes/controls.h"
#include "shapes/hand_over.h"
#include "shapes/spacing_scan.h"
#include "shapes/ui.h"
#include "shapes/undo.h"
#include "shapes/workfiles.h"
#include "shapes/zoom.h"
#include "workfile/work_lock.h"

namespace shapes {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kWindowWidthTwips = 14815;
inline constexpr int kWindowHeightTwips = 11030;

// Steps of the rebuild; handlers run only those their change needs, always in this order.
enum RebuildStep : unsigned {
    kRebuildLetters = 1u << 0,     // re-read tground.dat and scale the text to h
    kRebuildShape = 1u << 1,       // construct the outline and bend the letters into it
    kRebuildApertures = 1u << 2,   // aperture width limits (when bridges exist)
    kRebuildConnection = 1u << 3,  // the bar (when "Contour connection" is ticked)
    kRebuildPaint = 1u << 4,       // redraw the preview
    kRebuildAll = 0x1f,
};

// said when the text stage hands over other letters than the saved state was made for
inline constexpr const char* kLettersChangedNote =
    "The letters changed: shape, heights, apertures, connection and options kept; letter spacing reset.";

// the text without blanks and NUL characters
std::string stripBlanks(const std::string& text);

// the sign distances of the pairs, entries 1..255
bool anySignDistance(const engine::Model& m);
void clearSignDistances(engine::Model& m);

// the range of the apertures' width b, mm, from the letter height
struct ApertureLimits {
    double min = 0, max = 0;
};

// Flags that live only while a handler runs: a control's change handler that finds its flag
// set returns at once. None stays set once an event has ended.
struct HandlerFlags {
    bool loadingSettings = false;
    bool applyingConnection = false;
    bool paintSuppressed = false;
    bool any() const { return loadingSettings || applyingConnection || paintSuppressed; }
};

class Session {
public:
    Session(std::filesystem::path appFolder, std::string commandLine, Ui& ui);

    // ---- every event of the outside world (a click, a key, a dialog button, an action of the
    // command line) runs through here: a fault that escapes the handlers ends the event with
    // the fault message, and the session stays usable. False when a fault escaped.
    bool handleEvent(const std::function<void()>& handler);
    // after a fault escaped an event: the flags that live only during a handler are cleared,
    // the windows take input again, and the fault message is shown
    void faultEscaped();
    // the work folder, taken before anything else (see HandOver::claimWorkFolder)
    bool claimWorkFolder() { return handOver_.claimWorkFolder(); }
    const wf::WorkFolderLock* workLock() const { return handOver_.workLock(); }

    // ---- life cycle of the main window
    WindowPlace load();      // once, when the window is created (top.dat)
    void activate();         // every activation
    void paintEvent();       // every paint event of the window
    bool closeWindow();      // unload: the closing sequence; true when handed on
    bool exitMenu();         // the menu item "Exit": the same sequence

    // ---- the main window's buttons and pictures (the controls run their own handlers)
    void toggleKnotPoints();  // Frame5: as clicking "On"
    void toggleFitIn();       // Frame1: as clicking "Fit in"
    void redrawPreview();     // Picture1
    // Picture9, and wherever the view goes back to the whole text: when contours exist, the
    // view window fitted to them, then redrawn
    void fitAndRedraw();
    ViewZoom& zoom() { return zoom_; }  // the zoom pictures, the mouse and the wheel over the preview
    void tickConnection();          // Picture4: ticks "Contour connection"
    void putBarOnBaseline();        // Command2 "= 0"
    void applyConnectionValues();   // "Apply", and leaving Text5 or Text6
    void chooseShape(int shape);    // the shape gallery: picture 0..19
    void openApertureDialog();      // Picture6, Picture15, Frame7
    void openSignDistanceDialog();  // Picture3, Picture10, Frame4
    void openPresetting();          // the menu item "Presetting"
    void openHelp(const std::string& document);  // a help document of the program folder
    void returnToTextStage();       // Picture8
    void startConvert();            // Bild2 "Start convert": the hand-over files, then the later stage
    static constexpr double kMaxConvertInches = 780;

    // ---- the state the windows show and the dialogs work on
    engine::Model& model() { return model_; }
    const engine::Model& model() const { return model_; }
    Controls& controls() { return controls_; }
    const Controls& controls() const { return controls_; }
    Presets& presets() { return presets_; }
    const Presets& presets() const { return presets_; }
    const preview::DisplayList& picture() const { return picture_; }  // what the preview shows
    void keepPicture(bool keep) { picture_.keep(keep); }               // false: nothing will show it
    ApertureLimits apertureLimits() const { return apertureLimits_; }
    const std::string& token() const { return token_; }  // the command line as compared (blanks removed)
    bool activated() const { return activated_; }        // the first activation has run
    bool terminated() const { return handOver_.ended(); }
    const HandlerFlags& flags() const { return flags_; }
    const std::string& appFolder() const { return handOver_.appFolder(); }
    Ui& ui() { return ui_; }
    SavedState currentState() const;  // as stv2b.dat keeps it
    void saveStateOnLeaving();        // stv2b.dat and orgdim.dat, as "Start convert" writes them
    // stv2b.dat and orgdim.dat into the controls (the resume's first step); the knot slider
    // takes its position once the letters are in
    enum class Restore { Everything, AllButSpacing };
    void restoreSavedState(Restore what = Restore::Everything);
    void restoreSavedControls(const Stv2bRead& saved);
    // the resume's first step with a state in hand: into the model and the controls, their
    // handlers quiet; "Create as one object" as given, else from orgdim.dat unless connected
    void applySavedState(const Stv2bRead& saved, std::optional<bool> oneObject, Restore what = Restore::Everything);
    std::int32_t knotPosition() const { return knotPosition_; }

    // ---- undo and redo: each user action that changes what "Start convert" would save is a
    // step, named for the Edit menu ("shape Arch"); a step's state comes back the resume's way
    // runs `action` as the user's step `name` (within a step: as part of it); recorded when the
    // state changed, also when the action ended in a fault
    void userStep(const std::string& name, const std::function<void()>& action, Fold fold = Fold::None);
    // the user changes a control of the main window: a click, a slider moved, a key typed
    void userSet(Control<int>& box, int value);
    void userSet(ScrollBar& slider, std::int32_t value);
    void userSet(Control<std::string>& box, const std::string& text);
    bool undo();  // false when there is no step to undo (or a step is running)
    bool redo();
    const UndoHistory& history() const { return history_; }
    UndoState undoState() const;  // the state a step keeps

    // ---- what the dialogs share with the handlers
    std::filesystem::path workPath(const char* name) const { return handOver_.workPath(name); }
    bool loadGroundContours();  // reports its own faults; false after one
    bool buildShape();          // likewise
    void rebuild(unsigned steps);
    void paint();
    void fitView();       // view window from the contours
    void blankPreview();  // the preview emptied while long work runs
    // the Yes/No question: false only for an answer of No; closing it without an answer keeps
    // the answer given before
    bool confirmYesNo(const std::string& title, const std::string& question);
    const SpacingScan& spacingScan() const { return spacingScan_; }
    // the letter spacing editor's row, kept while the editor is closed
    std::int16_t rememberedPair() const { return selectedPair_; }
    void rememberPair(std::int16_t row) { selectedPair_ = row; }

private:
    void wireHandlers();
    void pickShape(int shape);  // chooseShape's work
    void takeConnectionValues();  // applyConnectionValues' work
    void restoreStep(const UndoState& s);
    // the controls' change handlers
    void onShowKnotsChanged();      // Check1 "On"
    void onFitInChanged();          // Check3 "Fit in"
    void onKnotMoved();             // HScroll1, the knot slider
    void onConnectionChanged();     // Check2 "Contour connection"
    void onCutChanged();            // Check4 "Cut"
    void onOneObjectChanged();      // Check5 "Create as one object"
    void onBarMoved();              // HScroll2, the bar's distance to the baseline
    void onApertureWidthChanged();  // Text4, the width b of the apertures
    bool startWithLetters();     // the start-up's steps once the controls are set; false: no letters
    void resumeOnSameLetters();  // "stvt": the saved state back when it belongs to these letters
    void reportFileError();
    void showDimensionsOrReport();
    void showContourDimensions();
    void limitApertureWidth();  // the apertures' limits, and b within them
    void contourConnectionBuild();
    double contourHeightInches();  // Hc, from the plain extents of the contours
    void resetConnectionValues();  // width h x 0.04, distance 0, slider 0
    bool convertible();            // "Start convert" may run; otherwise said why
    bool convertAndHandOver(wf::FileSet& state, wf::FileSet& handOver);  // true once the state is in place

    Ui& ui_;
    HandOver handOver_;
    std::string commandLine_;
    engine::Model model_;
    Controls controls_;
    Presets presets_;
    preview::DisplayList picture_;
    ApertureLimits apertureLimits_;
    HandlerFlags flags_;
    bool cutNoticeShown_ = false;
    bool barMissing_ = false;  // the ticked connection's bar could not be built
    bool activated_ = false;
    std::int32_t knotPosition_ = 0;
    std::int16_t selectedPair_ = 0;
    Answer lastAnswer_ = Answer::Closed;  // of the Yes/No question
    std::string token_;
    ViewZoom zoom_{model_.view, ui_, [this] { paint(); }};
    SpacingScan spacingScan_;
    UndoHistory history_;
    int stepDepth_ = 0;  // user steps running (a step within a step is part of it)
};

}  // namespace shapes
