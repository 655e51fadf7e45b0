// One running program: the model, the controls, the presets and flags, and the handlers
// of the main window's life cycle. The window, the command line and the tests all drive
// this same object through the Ui port.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine/model.h"
#include "preview/canvas.h"
#include "shell/controls.h"
#include "shell/spacing_scan.h"
#include "shell/ui.h"
#include "shell/workfiles.h"
#include "shell/zoom.h"
#include "workfile/work_lock.h"

namespace shell {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kWindowWidthTwips = 14815;
inline constexpr int kWindowHeightTwips = 11030;
inline constexpr int kDefaultWindowTwips = 200;  // top and left without a stored position

inline constexpr const char* kFileAccessError = "File access error !";
inline constexpr const char* kLaterStageMissing = "STV3.EXE not found !";

// Tokens of the suite's command line.
inline constexpr const char* kTokenFresh = "stvt";
inline constexpr const char* kTokenResume = "stvt3";

// Steps of the rebuild; handlers run only those their change needs, always in this order.
enum RebuildStep : unsigned {
    kRebuildLetters = 1u << 0,     // re-read tground.dat and scale the text to h
    kRebuildShape = 1u << 1,       // construct the outline and bend the letters into it
    kRebuildApertures = 1u << 2,   // aperture width limits (when bridges exist)
    kRebuildConnection = 1u << 3,  // the bar (when "Contour connection" is ticked)
    kRebuildPaint = 1u << 4,       // redraw the preview
    kRebuildAll = 0x1f,
};

// the characters before the first ':' and the ':' (the last character is not looked at)
std::string driveOfPath(const std::string& path);
// the text without blanks and NUL characters
std::string stripBlanks(const std::string& text);
// folder of the program file, with a trailing separator
std::string appFolderOf(const std::filesystem::path& programFile);
// the folder of the running program's own file, as the system's bytes
std::string programFolder();

struct WindowPlace {
    int topTwips, leftTwips;
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
    // ---- the work folder, taken before anything else (see wf::WorkFolderLock). Held: our own stale
    // temporary files are removed. Busy or Failed: said in a message, the program ends (false)
    // and no file has been touched. A read-only folder without a lock file is worked in
    // unlocked, after a message: nothing can be written there, so nothing can interleave.
    bool claimWorkFolder();
    const wf::WorkFolderLock* workLock() const { return lock_.get(); }

    // ---- life cycle of the main window
    WindowPlace load();      // once, when the window is created (top.dat)
    void activate();         // every activation
    void paintEvent();       // every paint event of the window
    bool closeWindow();      // unload: the closing sequence; true when handed on
    bool exitMenu();         // the menu item "Exit": the same sequence

    // ---- shared operations
    const std::string& appFolder() const { return appFolder_; }
    std::filesystem::path workPath(const char* name) const;
    void enterAppFolder();
    bool loadGroundContours();  // reports its own faults; false after one
    bool buildShape();          // likewise
    void stegco();
    void contourConnectionBuild();
    void paint();
    void showContourDimensions();
    void rebuild(unsigned steps);
    void fitView();  // view window from the contours
    void fitAndRedraw();  // when contours exist: fit the view window to them, redraw

    // ---- options of the main window that belong to the shape
    void clickFrame5();    // as clicking "On"
    void clickFrame1();    // as clicking "Fit in"
    void clickPicture1();  // redraw
    void clickPicture9();  // fit and redraw
    // the zoom pictures, the mouse and the wheel over the preview
    ViewZoom& zoom() { return zoom_; }
    // "Remove empty space", on the letters as they lie
    const SpacingScan& spacingScan() const { return spacingScan_; }

    // ---- the Yes/No dialog: false only for an answer of No ("N"); closing it without an
    // answer keeps the previous one
    bool confirmYesNo(const std::string& title, const std::string& question);
    std::string confirmTitle, confirmQuestion, confirmAnswer;

    // ---- menus: a help document of the program folder; back to the earlier stage (Picture8)
    void openHelp(const std::string& document);
    void returnToTextStage();

    // ---- openers of the dialogs
    void openApertureDialog();      // Picture6, Picture15, Frame7
    void openSignDistanceDialog();  // Picture3, Picture10, Frame4
    void openPresetting();          // the menu item "Presetting"

    // ---- options of the connection bar
    void clickPicture4();           // ticks "Contour connection"
    void clickCommand2();           // "= 0"
    void applyConnectionValues();   // "Apply", and leaving Text5 or Text6
    double contourHeightInches();   // Hc, from the plain extents of the contours
    void resetConnectionValues();   // width h x 0.04, distance 0, slider 0

    // ---- "Start convert" (Bild2): the hand-over files, then the later stage
    void clickBild2();
    static constexpr double kMaxConvertInches = 780;

    // ---- the shape gallery: picture i (0..19) clicked
    void galleryClick(int shape);

    // ---- saved state
    SavedState currentState() const;
    void restoreSavedState();  // stv2b.dat and orgdim.dat
    void writeSavedState();    // stv2b.dat; raises fault::FileFault

    bool schliesser();  // the hand-over on closing; true when STV3.EXE was started

    // ---- state
    engine::Model model;
    Controls controls;
    Presets presets;
    double apertureWidthMin = 0, apertureWidthMax = 0;  // mm
    double hmaxFactor = 0.8;
    bool loadingSettings = false;
    bool applyingConnection = false;
    bool paintSuppressed = false;
    bool cutNoticeShown = false;
    bool barMissing = false;  // the ticked connection's bar could not be built
    std::int32_t knotPosition = 0;
    std::int16_t selectedPair = 0;   // the letter spacing editor's row, kept while it is closed
    std::int32_t currentObject = 0;  // the object announced last in workrl.dat
    double outputScale = 1;          // mm per internal unit, once converted
    bool firstActivationDone = false;
    bool terminated = false;
    TopDat topDat;
    std::string token;  // the command line as compared (blanks removed)
    preview::DisplayList picture;  // what the preview shows

    static bool anySignDistance(const engine::Model& m);  // entries 1..255
    static void clearSignDistances(engine::Model& m);

    Ui& ui() { return ui_; }

private:
    void wireHandlers();
    void onCheck1();
    void onCheck3();
    void onHScroll1();
    void onCheck2();
    void onCheck4();
    void onCheck5();
    void onHScroll2();
    void onText4();
    void reportFileError();
    void showDimensionsOrReport();
    void handOverToStartProgram();
    // starts a sibling program, the work folder's lock given up just before; taken again when
    // the start fails (when another program took it meanwhile, this one ends)
    bool startSibling(const std::string& program, const std::vector<std::string>& args);

    std::string appFolder_;
    std::string commandLine_;
    Ui& ui_;
    std::unique_ptr<wf::WorkFolderLock> lock_;
    ViewZoom zoom_{model.view, ui_, [this] { paint(); }};
    SpacingScan spacingScan_;
};

}  // namespace shell
