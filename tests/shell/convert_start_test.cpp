// "Start convert", and the program folder as users have it: odd names, a full disk, siblings
// that cannot run.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "shell/session.h"
#include "shell/workfile_io.h"
#include "support/temp_folder.h"

using namespace shell;
using namespace testsupport;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

// the sample letters "ABC" in a folder of their own, with the later stage beside them; the
// session is loaded and activated on `start`
struct Converting {
    TempFolder t;
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    explicit Converting(bool withLaterStage = true, bool startNow = true) {
        t.copySample("tground.dat");
        if (withLaterStage) t.addProgram("STV3.EXE");
        if (startNow) start(t.path());
    }
    void start(const fs::path& dir) {
        s = std::make_unique<Session>(dir, "stvt", ui);
        s->load();
        s->activate();
    }
    Lines lines(const char* name) const { return wf::splitLines(t.read(name)); }
    Lines texts() const {
        Lines v;
        for (const Message& m : ui.messages) v.push_back(m.title + "|" + m.text);
        return v;
    }
};

// a small file system of its own at `at`, as long as the object lives
struct SmallDisk {
    fs::path at;
    bool mounted;
    SmallDisk(const fs::path& where, const char* options) : at(where) {
        fs::create_directories(at);
        mounted = mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk() {
        if (mounted) umount2(at.c_str(), MNT_DETACH);
    }
};

}  // namespace

// Every hand-over file written in internal units (letter height 200), the later stage started
// with the fresh-start token and the program ended; 780 is still within the size limit.
TEST(StartConvert, WritesEveryHandOverFileAndStartsTheLaterStage) {
    Converting c;
    c.s->controls.Check2.set(1);  // with the bar
    c.s->controls.Texth.set(" 780");
    c.s->controls.Textv.set(" 780");
    c.t.write("workm.dat", "old");
    c.s->clickBild2();
    EXPECT_TRUE(c.ui.messages.empty()) << c.texts().front();
    ASSERT_EQ(c.ui.started.size(), 1u);
    EXPECT_EQ(c.ui.started[0].program, c.s->appFolder() + "STV3.EXE");
    EXPECT_EQ(c.ui.started[0].arguments, Lines{"stvt"});
    EXPECT_TRUE(c.ui.terminated);
    EXPECT_FALSE(c.s->wheelHookInstalled);

    EXPECT_EQ(c.lines("c3.dat")[0], " .508");  // the sample letters are 101.6 mm high
    const auto rl = c.lines("workrl.dat");
    EXPECT_EQ(rl.back(), "s");
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "a"), std::count(rl.begin(), rl.end(), "e"));
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "n"), 3);  // one per letter
    const auto m = c.lines("workm.dat");
    EXPECT_EQ(m.size(), 2 + 6 * wf::parseNumber(m[0]) + 5 * wf::parseNumber(m[1]));
    EXPECT_EQ(c.lines("hl.dat").size(), 1 + 5 * 3u);  // the sample's three bridges
    EXPECT_EQ(c.lines("stv2b.dat").size(), std::size_t(kStv2bLines));
    EXPECT_EQ(c.lines("orgdim.dat")[0], "1");
    EXPECT_FALSE(c.lines("top.dat").empty());
}

// Failures never start the later stage on a missing or partial hand-over. Past the size check
// the program ends with the state saved for the resume.
TEST(StartConvert, FailuresNeverStartTheLaterStageOnAPartialHandOver) {
    const struct {
        const char* what;
        bool laterStage;
        void (*spoil)(Converting&);
        const char* message;
        bool ends, contoursWritten;
    } cases[] = {
        {"too large", true, [](Converting& c) { c.s->controls.Textv.set(" 780.5"); },
         "Contour dimensions too large !| Please change the dimensions. Maximum height or width = 780. ", false, false},
        {"workrl.dat taken", true, [](Converting& c) { fs::create_directories(c.t.work("workrl.dat") / "x"); },
         "Error|File access error !", true, false},
        {"letters unreadable", true, [](Converting& c) { c.t.write("tground.dat", ""); },
         "Error|File access error !", true, false},
        {"later stage cannot run", false, [](Converting& c) { std::ofstream(c.t.path() / "STV3.EXE") << "not a program"; },
         "Ende|STV3.EXE not found !", true, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Converting c(k.laterStage);
        k.spoil(c);
        c.s->clickBild2();
        EXPECT_EQ(c.texts(), Lines{k.message});
        EXPECT_TRUE(c.ui.started.empty());
        EXPECT_EQ(c.ui.terminated, k.ends);
        EXPECT_EQ(fs::is_regular_file(c.t.work("workrl.dat")), k.contoursWritten);
        if (k.contoursWritten) { EXPECT_EQ(c.lines("workrl.dat").back(), "s"); }
        EXPECT_EQ(c.t.exists("stv2b.dat") ? c.lines("stv2b.dat").size() : 0u, k.ends ? std::size_t(kStv2bLines) : 0u);
    }
}

// Blanks, quotes and letters beyond ASCII in the folder name reach the later stage intact.
TEST(Faults, AFolderWithBlanksQuotesAndLettersBeyondAscii) {
    Converting c(true, false);
    const fs::path dir = c.t.path() / "Schilder 'Größe' \"Ä\" ø";
    fs::create_directories(dir / "workfiles");
    fs::copy_file(c.t.work("tground.dat"), dir / "workfiles" / "tground.dat");
    fs::copy_file(c.t.path() / "STV3.EXE", dir / "STV3.EXE");
    c.start(dir);
    c.s->clickBild2();
    EXPECT_TRUE(c.ui.messages.empty()) << c.texts().front();
    ASSERT_EQ(c.ui.started.size(), 1u);
    EXPECT_EQ(c.ui.started[0].program, dir.string() + "/STV3.EXE");
    EXPECT_EQ(wf::splitLines(wf::readFile(dir / "workfiles" / "workrl.dat")).back(), "s");
    EXPECT_FALSE(c.t.exists("workrl.dat"));
}

// No workfiles/ at all: a file error, and the program ends.
TEST(Faults, AMissingWorkFolder) {
    Converting c(true, false);
    fs::remove_all(c.t.path() / "workfiles");
    c.start(c.t.path());
    c.ui.messages.clear();
    c.s->clickBild2();
    EXPECT_EQ(c.texts(), Lines{"Error|File access error !"});
    EXPECT_TRUE(c.ui.started.empty());
    EXPECT_TRUE(c.ui.terminated);
}

// A work folder with almost no room left, or mounted read-only (permissions do not hold back a
// superuser): the conversion fails; each file is the old one or a new one, whole, and no
// temporary file is left behind. Needs the right to mount; skipped where that is not given.
TEST(Faults, AFullOrReadOnlyDiskLeavesEveryWorkFileOldOrNewWhole) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "full");
        Converting c(true, false);
        const fs::path work = c.t.path() / "workfiles";
        const SmallDisk disk(work, readOnly ? "size=64k" : "size=24k");
        if (!disk.mounted) GTEST_SKIP() << "no tmpfs can be mounted here";
        c.t.copySample("tground.dat");
        c.t.write("c3.dat", crlf({" 9", "old"}));
        if (readOnly) { ASSERT_EQ(mount("tmpfs", work.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0); }
        c.start(c.t.path());
        EXPECT_EQ(c.s->model.letterCount, 3);  // the letters are read all the same
        if (!readOnly) {  // fill what is left but a little
            std::ofstream fill(work / "filler", std::ios::binary);
            const std::string block(1024, 'x');
            for (int i = 0; i < 64 && fill; ++i) fill.write(block.data(), block.size()), fill.flush();
            fill.close();
            fs::resize_file(work / "filler", fs::file_size(work / "filler") - 2048);
        }
        c.s->clickBild2();
        EXPECT_EQ(c.texts().back(), "Error|File access error !");
        if (!readOnly) { EXPECT_EQ(c.ui.messages.size(), 1u); }
        EXPECT_TRUE(c.ui.started.empty());
        for (const auto& e : fs::directory_iterator(work)) {
            const std::string name = e.path().filename().string();
            EXPECT_NE(name.front(), '.') << name;
            if (name == "workrl.dat") { EXPECT_EQ(c.lines("workrl.dat").back(), "s"); }
            if (name == "stv2b.dat") { EXPECT_EQ(c.lines("stv2b.dat").size(), std::size_t(kStv2bLines)); }
        }
        const std::string c3 = c.t.read("c3.dat");
        EXPECT_TRUE(c3 == crlf({" 9", "old"}) || wf::splitLines(c3).size() == 6u) << c3;
        if (readOnly) { EXPECT_FALSE(c.t.exists("workrl.dat")); }
    }
}
