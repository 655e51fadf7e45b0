#include "shapes/session.h"

#include <cmath>
#include <optional>
#include <system_error>

#include "connection/bar.h"

#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/units.h"
#include "preview/paint.h"
#include "preview/scale.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace fs = std::filesystem;

std::string stripBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\0') out += c;
    return out;
}

namespace {
// the folder made absolute where it can be, with a trailing separator
std::string folderName(const fs::path& folder) {
    std::error_code ec;
    const fs::path abs = fs::absolute(folder, ec);
    std::string name = (ec ? folder : abs).string();
    if (name.empty() || name.back() != '/') name += '/';
    return name;
}

// Clears a flag when the scope ends, however it ends.
struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
};
}  // namespace

bool anySignDistance(const engine::Model& m) {
    for (std::size_t i = 1; i <= 255; ++i)
        if (m.signDistanceA[i] != 0 || m.signDistanceB[i] != 0) return true;
    return false;
}

void clearSignDistances(engine::Model& m) {
    for (std::size_t i = 1; i <= 255; ++i) m.signDistanceA[i] = m.signDistanceB[i] = 0;
}

Session::Session(fs::path appFolder, std::string commandLine, Ui& ui)
    : ui_(ui),
      handOver_(folderName(appFolder), ui),
      commandLine_(std::move(commandLine)),
      spacingScan_(fs::path(handOver_.appFolder()) / "workfiles") {
    wireHandlers();
}

void Session::reportFileError() { ui_.fileError(kFileAccessError, wf::kErrorTitle); }

bool Session::handleEvent(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        faultEscaped();
        return false;
    }
}

void Session::faultEscaped() {
    flags_ = HandlerFlags{};
    try {
        ui_.setWindowsEnabled(true);
        reportFileError();
        ui_.controlsChanged();
    } catch (...) {
        // the port itself failed: nothing more can be said
    }
}

void Session::showDimensionsOrReport() {
    try {
        showContourDimensions();
    } catch (const std::exception&) {
        reportFileError();
    }
}

WindowPlace Session::load() {
    if (terminated()) return {kDefaultWindowTwips, kDefaultWindowTwips};  // e.g. the folder is another's
    return handOver_.readWindowPlace();
}

void Session::activate() {
    if (activated_ || terminated()) return;
    try {
        handOver_.enterAppFolder();
        probeWorkfileDcc(appFolder());
        presets_ = readThDat(appFolder());  // range-checked
        model_.bigHeight = 101.6;
        model_.smallHeight = 101.6;
        model_.shapeNumber = 0;

        token_ = stripBlanks(commandLine_);
        if (token_ == kTokenResume) {
            restoreSavedState();
        } else if (token_ != kTokenFresh) {
            handOver_.toStartProgram();
            return;
        }

        activated_ = true;
        if (startWithLetters() && token_ == kTokenFresh) resumeOnSameLetters();
    } catch (const std::exception&) {
        // faults of the start-up's own steps are absorbed; the operations report theirs
        flags_.paintSuppressed = false;
        flags_.loadingSettings = false;
    }
    ui_.controlsChanged();
    paint();
}

// The letters read, bent into the shape and drawn with the controls as they stand.
bool Session::startWithLetters() {
    controls_.Bild1 = false;
    model_.view = engine::ViewWindow{0, 639, 0, 479};

    flags_.paintSuppressed = true;
    const bool letters = loadGroundContours();
    buildShape();
    fitView();
    flags_.paintSuppressed = false;

    if (!model_.bridges.empty()) limitApertureWidth();
    if (controls_.HScroll1.visible) {
        flags_.loadingSettings = false;
        controls_.HScroll1.set(knotPosition_);
        if (controls_.HScroll1.onChange) controls_.HScroll1.onChange();
    }
    if (controls_.Check2.value() == 1) contourConnectionBuild();
    controls_.Bild1 = true;
    zoom_.hookWheel();
    showContourDimensions();
    return letters;
}

// "stvt": the text stage handed letters over. When the saved state was made for the same
// characters (the font or the bridges may differ), it is taken up as "stvt3" takes it up; for
// other letters the letter spacing cannot fit, so only that is left fresh, and a line says so.
void Session::resumeOnSameLetters() {
    const std::optional<std::string> madeFor = readStateLetters(appFolder());
    if (!madeFor || !readStv2b(appFolder()).present) return;
    const bool same = *madeFor == model_.groundText;
    restoreSavedState(same ? Restore::Everything : Restore::AllButSpacing);
    if (wf::characters(model_.groundText).size() < 2) model_.shapeNumber = 0;  // one letter takes no shape
    startWithLetters();
    if (!same) ui_.message(kLettersChangedNote, "Info", Icon::Information);
}

void Session::paintEvent() { paint(); }

void Session::fitView() {
    model_.view = engine::viewAround(engine::contourExtents(model_));
}

void Session::fitAndRedraw() {
    if (model_.elements.empty()) return;
    fitView();
    paint();
}

bool Session::loadGroundContours() {
    try {
        engine::readGroundContours(model_, workPath("tground.dat"), controls_.Check3.value() == 1);
        preview::scaleToHeight(model_);
        showContourDimensions();
        return true;
    } catch (const std::exception&) {
        reportFileError();
        return false;
    }
}

bool Session::buildShape() {
    try {
        engine::buildShape(model_, controls_.Check3.value() == 1);
        model_.textScale = 1.0;
        showContourDimensions();
        return true;
    } catch (const std::exception&) {
        reportFileError();
        return false;
    }
}

void Session::contourConnectionBuild() {
    const auto inches = [](const std::string& text) { return wf::parseNumberOrZero(text) * geom::kMmPerInch; };
    connection::BarInput in;
    in.distance = inches(controls_.Text5);
    in.width = inches(controls_.Text6);
    in.cut = controls_.Check4.value();
    in.connectionOn = controls_.Check2 == 1;
    in.limits = presets_;
    try {
        const connection::BarOutcome out = connection::buildBar(model_, in);
        barMissing_ = false;
        if (!out.built) return;
        controls_.Label1.visible = out.cutAbandoned;
        if (out.halfCircle) ui_.message(">Cut< not possible !", "Abort", Icon::Critical);
        showContourDimensions();
    } catch (const fault::CapacityFault&) {
        model_.barLines.clear();
        model_.barArcs.clear();
        barMissing_ = true;
        ui_.message("The connection bar needs more than 641 elements.", wf::kErrorTitle, Icon::Critical);
    } catch (const std::exception&) {
        reportFileError();
    }
}

void Session::limitApertureWidth() {
    const double h = model_.smallHeight;
    ApertureLimits& l = apertureLimits_;
    l.min = wf::apertureMinimum(h);
    l.max = wf::apertureMaximum(h);
    const double b = wf::apertureInUse(h, wf::parseNumber(controls_.Text4.value()) * geom::kMmPerInch);
    controls_.Text4.set(wf::formatNumber(engine::roundTo(b / geom::kMmPerInch, 4)));
}

void Session::paint() {
    if (flags_.paintSuppressed) return;
    try {
        preview::PaintOptions o;
        o.showKnots = controls_.Check1 == 1;
        o.connectionOn = controls_.Check2 == 1;
        o.apertureWidth = wf::parseNumber(controls_.Text4.value()) * geom::kMmPerInch;
        if (preview::paint(model_, o, picture_) == preview::PaintResult::ViewOverflow)
            ui_.message("Overflow ! View.", wf::kErrorTitle, Icon::Critical);
    } catch (const std::exception&) {
        // a fault while drawing ends the drawing; the picture keeps what was drawn
    }
    ui_.redraw();
}

void Session::blankPreview() {
    picture_.clear();
    ui_.redraw();
}

void Session::showContourDimensions() {
    const engine::Dimensions d = engine::contourDimensions(model_, controls_.Check2 == 1);
    controls_.Texth.set(wf::formatNumber(d.heightIn));
    controls_.Textv.set(wf::formatNumber(d.widthIn));
}

void Session::rebuild(unsigned steps) {
    if (steps & kRebuildLetters) loadGroundContours();
    if (steps & kRebuildShape) buildShape();
    if ((steps & kRebuildApertures) && !model_.bridges.empty()) limitApertureWidth();
    if ((steps & kRebuildConnection) && controls_.Check2 == 1) contourConnectionBuild();
    if (steps & kRebuildPaint) paint();
}

SavedState Session::currentState() const {
    SavedState s;
    s.shapeNumber = model_.shapeNumber;
    s.smallHeight = model_.smallHeight;
    s.bigHeight = model_.bigHeight;
    s.apertureWidthMin = apertureLimits_.min;
    s.apertureWidthMax = apertureLimits_.max;
    for (std::size_t i = 0; i < 256; ++i) {
        s.signDistanceA[i] = model_.signDistanceA[i];
        s.signDistanceB[i] = model_.signDistanceB[i];
    }
    s.check1 = controls_.Check1 == 1;
    s.check2 = controls_.Check2 == 1;
    s.check4 = controls_.Check4 == 1;
    s.check3 = controls_.Check3 == 1;
    s.text4 = controls_.Text4;
    s.text5 = controls_.Text5;
    s.text6 = controls_.Text6;
    s.hscroll2 = controls_.HScroll2.value();
    s.frame11Visible = controls_.Frame11;
    s.hscroll1 = controls_.HScroll1.value();
    return s;
}

void Session::restoreSavedState(Restore what) {
    const Stv2bRead saved = readStv2b(appFolder());
    if (!saved.present) return;
    applySavedState(saved, std::nullopt, what);
}

void Session::applySavedState(const Stv2bRead& saved, std::optional<bool> oneObject, Restore what) {
    Controls& c = controls_;
    const SavedState& s = saved.state;
    try {
        {
            flags_.loadingSettings = true;
            ClearOnExit clear{flags_.loadingSettings};  // a failing handler must not leave it set
            if (saved.has(0)) model_.shapeNumber = s.shapeNumber;
            if (saved.has(1)) model_.smallHeight = s.smallHeight;
            if (saved.has(2)) model_.bigHeight = s.bigHeight;
            if (saved.has(3)) apertureLimits_.min = s.apertureWidthMin;
            if (saved.has(4)) apertureLimits_.max = s.apertureWidthMax;
            for (std::size_t i = 0; i < 256 && what == Restore::Everything; ++i) {
                const int line = kStv2bSignDistances + 2 * static_cast<int>(i);
                if (saved.has(line)) model_.signDistanceA[i] = s.signDistanceA[i];
                if (saved.has(line + 1)) model_.signDistanceB[i] = s.signDistanceB[i];
            }
            restoreSavedControls(saved);
        }
        // a file that ends early keeps what it held; the rest stays as it was
        if (saved.fields < kStv2bLines) return;
        if (c.Check2 != 1 || oneObject) {
            flags_.loadingSettings = true;
            ClearOnExit clear{flags_.loadingSettings};
            c.Check5.set((oneObject ? *oneObject : readOrgdim(appFolder())) ? 1 : 0);
        }
        c.HScroll1.setRange(-1000, 1000);
    } catch (const std::exception&) {
        // a fault while restoring keeps what was restored so far
    }
}

// The controls' lines of stv2b.dat, in file order, as far as the file went.
void Session::restoreSavedControls(const Stv2bRead& saved) {
    Controls& c = controls_;
    const SavedState& s = saved.state;
    const int first = kStv2bCheck1;
    if (saved.has(first)) c.Check1.set(s.check1 ? 1 : 0);
    if (saved.has(first + 1)) {
        const bool connection = s.check2;
        c.Check4.visible = connection;
        c.Check2.set(connection ? 1 : 0);
        c.Frame9 = connection;
        c.Text5.visible = connection;
        c.Text6.visible = connection;
        c.HScroll2.visible = connection;
        c.Command2 = connection;
        c.Command4 = connection;
        c.Picture4 = !connection;
    }
    if (saved.has(first + 2)) c.Check4.set(s.check4 ? 1 : 0);
    if (saved.has(first + 3)) c.Check3.set(s.check3 ? 1 : 0);
    if (saved.has(first + 4)) c.Text4.set(s.text4);
    if (saved.has(first + 5)) c.Text5.set(s.text5);
    if (saved.has(first + 6)) c.Text6.set(s.text6);
    if (saved.has(first + 7)) c.HScroll2.set(s.hscroll2);
    if (saved.has(first + 8)) {
        c.Frame11 = s.frame11Visible;
        c.HScroll1.visible = s.frame11Visible;
    }
    if (saved.has(first + 11)) knotPosition_ = s.hscroll1;
}

// Leaving by closing, "Exit" or the way back keeps the work as "Start convert" keeps it
// (stv2b.dat and orgdim.dat), so that coming back with "stvt3" finds every edit. A folder
// that takes no file was said to be read-only at the start: there is nothing to try there.
void Session::saveStateOnLeaving() {
    const wf::WorkFolderLock* lock = handOver_.workLock();
    if (lock && lock->state() == wf::LockState::ReadOnly) return;
    try {
        wf::FileSet state;
        writeOrgdim(appFolder(), controls_.Check5 == 1, &state);
        writeStv2b(appFolder(), currentState(), &state);
        writeStateLetters(appFolder(), model_.groundText, &state);
        state.commit();
    } catch (const std::exception&) {
        reportFileError();
    }
}

bool Session::closeWindow() {
    zoom_.unhookWheel();
    if (terminated()) return true;  // already handed on
    saveStateOnLeaving();
    return handOver_.toLaterStage();
}

bool Session::exitMenu() { return closeWindow(); }

}  // namespace shapes
