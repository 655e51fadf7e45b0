#include "shell/session.h"

#include "connection/bar.h"

#include <cmath>
#include <system_error>

#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/units.h"
#include "preview/paint.h"
#include "preview/scale.h"
#include "workfile/workfile_io.h"

namespace shell {

namespace fs = std::filesystem;

std::string driveOfPath(const std::string& path) {
    // Only the characters before the last one are looked at.
    for (std::size_t i = 0; i + 1 < path.size(); ++i)
        if (path[i] == ':') return path.substr(0, i) + ":";
    return "";
}

std::string stripBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\0') out += c;
    return out;
}

std::string appFolderOf(const fs::path& programFile) {
    std::error_code ec;
    fs::path abs = fs::absolute(programFile, ec);
    if (ec) abs = programFile;
    std::string folder = abs.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return appFolderOf(ec ? fs::current_path(ec) / "program" : self);
}

Session::Session(fs::path appFolder, std::string commandLine, Ui& ui)
    : commandLine_(std::move(commandLine)), ui_(ui) {
    std::error_code ec;
    fs::path abs = fs::absolute(appFolder, ec);
    appFolder_ = (ec ? appFolder : abs).string();
    if (appFolder_.empty() || appFolder_.back() != '/') appFolder_ += '/';
    wireHandlers();
}

fs::path Session::workPath(const char* name) const { return workFile(appFolder_, name); }

void Session::enterAppFolder() {
    std::error_code ec;
    const fs::path target(appFolder_);
    if (fs::current_path(ec) != target) fs::current_path(target, ec);  // silent either way
}

void Session::reportFileError() { ui_.message(kFileAccessError, wf::kErrorTitle, Icon::Critical); }

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
    loadingSettings = false;
    applyingConnection = false;
    paintSuppressed = false;
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

bool Session::claimWorkFolder() {
    const fs::path folder = fs::path(appFolder_) / "workfiles";
    lock_ = std::make_unique<wf::WorkFolderLock>(folder);
    const wf::LockState state = lock_->acquire();
    if (state == wf::LockState::Held) wf::removeStaleTemporaryFiles(folder);
    const wf::FolderClaim claim = wf::claimOf(state);
    if (claim.text) ui_.message(claim.text, claim.title, claim.critical ? Icon::Critical : Icon::Information);
    if (claim.proceed) return true;
    terminated = true;
    ui_.terminate();
    return false;
}

bool Session::startSibling(const std::string& program, const std::vector<std::string>& args) {
    if (!lock_) return ui_.startProgram(program, args);
    const wf::HandOver h = lock_->handOver([&] { return ui_.startProgram(program, args); });
    if (h == wf::HandOver::Lost) {
        ui_.message(wf::lostText(lock_->state()), wf::kErrorTitle, Icon::Critical);
        terminated = true;
        ui_.terminate();
    }
    return h == wf::HandOver::Started;
}

WindowPlace Session::load() {
    if (terminated) return {kDefaultWindowTwips, kDefaultWindowTwips};  // e.g. the folder is another's
    topDat = readTopDat(appFolder_);
    if (topDat.top != -1) return {topDat.top, topDat.left};
    return {kDefaultWindowTwips, kDefaultWindowTwips};
}

void Session::handOverToStartProgram() {
    // A missing start program is no reason to stay: the program ends either way.
    startSibling(appFolder_ + "zodu.exe", {});
    terminated = true;
    ui_.terminate();
}

void Session::activate() {
    hmaxFactor = 0.8;
    if (firstActivationDone || terminated) return;
    try {
        enterAppFolder();
        probeWorkfileDcc(appFolder_);
        presets = readThDat(appFolder_);  // range-checked
        model.bigHeight = 101.6;
        model.smallHeight = 101.6;
        model.shapeNumber = 0;

        token = stripBlanks(commandLine_);
        if (token == kTokenResume) {
            restoreSavedState();
        } else if (token != kTokenFresh) {
            handOverToStartProgram();
            return;
        }

        controls.Bild1 = false;
        model.view = engine::ViewWindow{0, 639, 0, 479};
        firstActivationDone = true;

        paintSuppressed = true;
        loadGroundContours();
        buildShape();
        fitView();
        paintSuppressed = false;

        if (!model.bridges.empty()) stegco();
        if (controls.HScroll1.visible) {
            loadingSettings = false;
            controls.HScroll1.set(knotPosition);
            if (controls.HScroll1.onChange) controls.HScroll1.onChange();
        }
        if (controls.Check2.value() == 1) contourConnectionBuild();
        controls.Bild1 = true;
        mausanr();
        showContourDimensions();
    } catch (const std::exception&) {
        // faults of the start-up's own steps are absorbed; the operations report theirs
        paintSuppressed = false;
        loadingSettings = false;
    }
    ui_.controlsChanged();
    paint();
}

void Session::paintEvent() { paint(); }

void Session::fitView() {
    model.view = engine::viewAround(engine::contourExtents(model));
}

void Session::fitAndRedraw() {
    if (model.elements.empty()) return;
    fitView();
    paint();
}

bool Session::loadGroundContours() {
    try {
        engine::readGroundContours(model, workPath("tground.dat"), controls.Check3.value() == 1);
        preview::masstaebe(model);
        showContourDimensions();
        return true;
    } catch (const std::exception&) {
        reportFileError();
        return false;
    }
}

bool Session::buildShape() {
    try {
        engine::buildShape(model, controls.Check3.value() == 1);
        model.textScale = 1.0;
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
    in.distance = inches(controls.Text5);
    in.width = inches(controls.Text6);
    in.cut = controls.Check4.value();
    in.connectionOn = controls.Check2 == 1;
    in.limits = presets;
    try {
        const connection::BarOutcome out = connection::buildBar(model, in);
        barMissing = false;
        if (!out.built) return;
        controls.Label1.visible = out.cutAbandoned;
        if (out.halfCircle) ui_.message(">Cut< not possible !", "Abort", Icon::Critical);
        showContourDimensions();
    } catch (const fault::CapacityFault&) {
        model.barLines.clear();
        model.barArcs.clear();
        barMissing = true;
        ui_.message("The connection bar needs more than 641 elements.", wf::kErrorTitle, Icon::Critical);
    } catch (const std::exception&) {
        reportFileError();
    }
}

void Session::stegco() {
    const double h = model.smallHeight;
    apertureWidthMin = h < 20 ? 0.1016 : 0.3048;
    apertureWidthMax = std::min(h * 0.1, 15.0);
    double b = wf::parseNumber(controls.Text4.value()) * geom::kMmPerInch;
    if (b < apertureWidthMin || b > apertureWidthMax) b = h < 20 ? 0.1016 : (h >= 50 ? 1.524 : 1.016);
    if (b < apertureWidthMin) b = apertureWidthMin;
    if (b > apertureWidthMax) b = apertureWidthMax;
    controls.Text4.set(wf::formatNumber(engine::roundTo(b / geom::kMmPerInch, 4)));
}

void Session::paint() {
    if (paintSuppressed) return;
    ++paintCount;
    try {
        preview::PaintOptions o;
        o.showKnots = controls.Check1 == 1;
        o.connectionOn = controls.Check2 == 1;
        o.apertureWidth = wf::parseNumber(controls.Text4.value()) * geom::kMmPerInch;
        if (preview::paint(model, o, picture) == preview::PaintResult::ViewOverflow)
            ui_.message("Overflow ! View.", wf::kErrorTitle, Icon::Critical);
    } catch (const std::exception&) {
        // a fault while drawing ends the drawing; the picture keeps what was drawn
    }
    ui_.redraw();
}

void Session::showContourDimensions() {
    const engine::Dimensions d = engine::contourDimensions(model, controls.Check2 == 1);
    controls.Texth.set(wf::formatNumber(d.heightIn));
    controls.Textv.set(wf::formatNumber(d.widthIn));
}

void Session::rebuild(unsigned steps) {
    if (steps & kRebuildLetters) loadGroundContours();
    if (steps & kRebuildShape) buildShape();
    if ((steps & kRebuildApertures) && !model.bridges.empty()) stegco();
    if ((steps & kRebuildConnection) && controls.Check2 == 1) contourConnectionBuild();
    if (steps & kRebuildPaint) paint();
}

SavedState Session::currentState() const {
    SavedState s;
    s.shapeNumber = model.shapeNumber;
    s.smallHeight = model.smallHeight;
    s.bigHeight = model.bigHeight;
    s.apertureWidthMin = apertureWidthMin;
    s.apertureWidthMax = apertureWidthMax;
    for (std::size_t i = 0; i < 256; ++i) {
        s.signDistanceA[i] = model.signDistanceA[i];
        s.signDistanceB[i] = model.signDistanceB[i];
    }
    s.check1 = controls.Check1 == 1;
    s.check2 = controls.Check2 == 1;
    s.check4 = controls.Check4 == 1;
    s.check3 = controls.Check3 == 1;
    s.text4 = controls.Text4;
    s.text5 = controls.Text5;
    s.text6 = controls.Text6;
    s.hscroll2 = controls.HScroll2.value();
    s.frame11Visible = controls.Frame11;
    s.hscroll1 = controls.HScroll1.value();
    return s;
}

void Session::writeSavedState() { writeStv2b(appFolder_, currentState()); }

namespace {
// Clears a flag when the scope ends, however it ends.
struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
};
}  // namespace

void Session::restoreSavedState() {
    try {
        const fs::path file = workPath("stv2b.dat");
        if (wf::probeLength(file) < kStv2bMinLength) return;
        {
            loadingSettings = true;
            ClearOnExit clear{loadingSettings};  // a truncated file must not leave it set
            wf::LineReader in(file);
            model.shapeNumber = in.int16();
            model.smallHeight = in.number();
            model.bigHeight = in.number();
            apertureWidthMin = in.number();
            apertureWidthMax = in.number();
            for (std::size_t i = 0; i < 256; ++i) {
                model.signDistanceA[i] = in.number();
                model.signDistanceB[i] = in.number();
            }
            controls.Check1.set(in.flag() ? 1 : 0);
            const bool connection = in.flag();
            controls.Check4.visible = connection;
            controls.Check2.set(connection ? 1 : 0);
            controls.Frame9 = connection;
            controls.Text5.visible = connection;
            controls.Text6.visible = connection;
            controls.HScroll2.visible = connection;
            controls.Command2 = connection;
            controls.Command4 = connection;
            controls.Picture4 = !connection;
            controls.Check4.set(in.flag() ? 1 : 0);
            controls.Check3.set(in.flag() ? 1 : 0);
            controls.Text4.set(in.text());
            controls.Text5.set(in.text());
            controls.Text6.set(in.text());
            controls.HScroll2.set(in.int32());
            const bool knot = in.flag();
            controls.Frame11 = knot;
            controls.HScroll1.visible = knot;
            in.number();
            in.number();
            knotPosition = in.int32();
        }
        if (controls.Check2 != 1) {
            loadingSettings = true;
            ClearOnExit clear{loadingSettings};
            controls.Check5.set(readOrgdim(appFolder_) ? 1 : 0);
        }
        controls.HScroll1.setRange(-1000, 1000);
    } catch (const std::exception&) {
        // a fault while restoring keeps what was restored so far
    }
}

bool Session::schliesser() {
    try {
        rewriteWifDat(appFolder_);
        if (!startSibling(appFolder_ + "STV3.EXE", {kTokenFresh}))
            throw fault::FileFault("cannot start STV3.EXE");
    } catch (const std::exception&) {
        reportFileError();
        return false;
    }
    terminated = true;
    ui_.terminate();
    return true;
}

bool Session::closeWindow() {
    mausaus();
    if (terminated) return true;  // already handed on
    return schliesser();
}

bool Session::exitMenu() { return closeWindow(); }

}  // namespace shell
