// Where this program meets the rest of the suite: the work folder it holds while it runs, the
// sibling programs it hands on to, the window's place kept for the next run, and the files the
// later stage takes over.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/model.h"
#include "shapes/workfiles.h"
#include "workfile/work_lock.h"

#include "suite/programs.h"

namespace wf {
class FileSet;
}

namespace shapes {

class Ui;

inline constexpr const char* kFileAccessError = suite::kFaultText;
inline constexpr const char* kLaterStageMissing = "STV3.EXE not found !";

using suite::kTokenFresh;
using suite::kTokenResume;

inline constexpr int kDefaultWindowTwips = 200;  // top and left without a stored position

struct WindowPlace {
    int topTwips, leftTwips;
};

class HandOver {
public:
    // `appFolder`: the program folder, absolute, with a trailing separator
    HandOver(std::string appFolder, Ui& ui);

    const std::string& appFolder() const { return appFolder_; }
    std::filesystem::path workPath(const char* name) const;
    void enterAppFolder() const;  // the program folder becomes the current one, if it can

    // The work folder, taken before anything else (see wf::WorkFolderLock). Held: our own stale
    // temporary files are removed. Busy or Failed: said in a message, the program ends (false)
    // and no file has been touched. A read-only folder without a lock file is worked in
    // unlocked, after a message: nothing can be written there, so nothing can interleave.
    bool claimWorkFolder();
    const wf::WorkFolderLock* workLock() const { return lock_.get(); }

    // Starts the sibling `program` of the program folder, the work folder's lock given up just
    // before; taken again when the start fails (when another program took it meanwhile, this
    // one ends).
    bool startSibling(const char* program, const std::vector<std::string>& args);
    // the program ends as soon as the running handler returns
    void end();
    bool ended() const { return ended_; }

    WindowPlace readWindowPlace();  // top.dat, when the window is created
    // top.dat: where the window is now, the lines kept for the siblings as they were read
    void keepWindowPlace(wf::FileSet& set);

    // the hand-overs: a command line other than the suite's tokens goes to the start program;
    // closing goes on to the later stage (wif.dat marked first; false, said, when either fails);
    // the way back goes to the text stage. All but a refused closing end the program.
    void toStartProgram();
    bool toLaterStage();
    void toTextStage();

    // "Start convert": the contours for the later stage in internal units, the bridge table,
    // the stamp (what the hand-over was made from; `stv2b` the shapes state written with it)
    // and c3.dat (the scale, `c3`) last of all
    void writeConversion(engine::Model& m, bool connectionOn, const Presets& presets, double outputScale,
                         const std::string& c3, const std::string& stv2b, wf::FileSet& set);

private:
    std::string appFolder_;
    Ui& ui_;
    std::unique_ptr<wf::WorkFolderLock> lock_;
    bool ended_ = false;
    TopDat topDat_;
    std::int32_t currentObject_ = 0;  // the object announced last in workrl.dat
};

}  // namespace shapes
