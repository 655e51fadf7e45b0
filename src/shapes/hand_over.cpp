#include "shapes/hand_over.h"

#include <system_error>

#include "convert/conversion.h"
#include "shapes/ui.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace fs = std::filesystem;

HandOver::HandOver(std::string appFolder, Ui& ui) : appFolder_(std::move(appFolder)), ui_(ui) {}

fs::path HandOver::workPath(const char* name) const { return workFile(appFolder_, name); }

void HandOver::enterAppFolder() const {
    std::error_code ec;
    const fs::path target(appFolder_);
    if (fs::current_path(ec) != target) fs::current_path(target, ec);  // silent either way
}

bool HandOver::claimWorkFolder() {
    const fs::path folder = fs::path(appFolder_) / "workfiles";
    lock_ = std::make_unique<wf::WorkFolderLock>(folder);
    const wf::LockState state = lock_->acquire();
    if (state == wf::LockState::Held) wf::removeStaleTemporaryFiles(folder);
    const wf::FolderClaim claim = wf::claimOf(state);
    if (claim.text) ui_.message(claim.text, claim.title, claim.critical ? Icon::Critical : Icon::Information);
    if (claim.proceed) return true;
    end();
    return false;
}

bool HandOver::startSibling(const char* program, const std::vector<std::string>& args) {
    const std::string path = appFolder_ + program;
    if (!lock_) return ui_.startProgram(path, args);
    const wf::HandOver h = lock_->handOver([&] { return ui_.startProgram(path, args); });
    if (h == wf::HandOver::Lost) {
        ui_.message(wf::lostText(lock_->state()), wf::kErrorTitle, Icon::Critical);
        end();
    }
    return h == wf::HandOver::Started;
}

void HandOver::end() {
    ended_ = true;
    ui_.terminate();
}

WindowPlace HandOver::readWindowPlace() {
    topDat_ = readTopDat(appFolder_);
    if (topDat_.top != -1) return {topDat_.top, topDat_.left};
    return {kDefaultWindowTwips, kDefaultWindowTwips};
}

void HandOver::keepWindowPlace(wf::FileSet& set) {
    int top = topDat_.top == -1 ? kDefaultWindowTwips : topDat_.top;
    int left = topDat_.top == -1 ? kDefaultWindowTwips : topDat_.left;
    ui_.windowPlace(top, left);
    writeTopDat(appFolder_, top, left, topDat_, &set);
}

void HandOver::toStartProgram() {
    // A missing start program is no reason to stay: the program ends either way.
    startSibling("zodu.exe", {});
    end();
}

bool HandOver::toLaterStage() {
    try {
        rewriteWifDat(appFolder_);
        if (!startSibling("STV3.EXE", {kTokenFresh})) throw fault::FileFault("cannot start STV3.EXE");
    } catch (const std::exception&) {
        ui_.fileError(kFileAccessError, wf::kErrorTitle);
        return false;
    }
    end();
    return true;
}

void HandOver::toTextStage() {
    try {
        const char* program = readShapDatVariant(appFolder_) == 1 ? "STV1b.EXE" : "STV1.EXE";
        if (!startSibling(program, {kTokenFresh})) throw fault::FileFault("cannot start");
    } catch (const std::exception&) {
        ui_.fileError(kFileAccessError, "End");
    }
    end();
}

void HandOver::writeConversion(engine::Model& m, bool connectionOn, const Presets& presets, double outputScale,
                               const std::string& c3, const std::string& stv2b, wf::FileSet& set) {
    const convert::Settings s{presets, outputScale};
    convert::writeConversionFiles(m, connectionOn, conversionTargets(appFolder_), s, currentObject_, &set);
    writeHlDat(appFolder_, m, &set);
    set.replace(workPath(wf::kHandoverStamp), wf::handoverStampText(appFolder_, stv2b, c3));
    set.replace(workPath("c3.dat"), c3);
}

}  // namespace shapes
