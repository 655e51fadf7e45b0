// "Start convert", and the program folder as users have it: odd names, a full disk, siblings
// that cannot run.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

using namespace shapes;
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
    c.s->controls().Check2.set(1);  // with the bar
    c.s->controls().Texth.set(" 780");
    c.s->controls().Textv.set(" 780");
    c.t.write("workm.dat", "old");
    c.s->startConvert();
    EXPECT_TRUE(c.ui.messages.empty()) << c.texts().front();
    ASSERT_EQ(c.ui.started.size(), 1u);
    EXPECT_EQ(c.ui.started[0].program, c.s->appFolder() + "STV3.EXE");
    EXPECT_EQ(c.ui.started[0].arguments, Lines{"stvt"});
    EXPECT_TRUE(c.ui.terminated);
    EXPECT_FALSE(c.s->zoom().wheelHooked());

    EXPECT_EQ(c.lines("c3.dat")[0], " .508");  // the sample letters are 101.6 mm high
    const auto rl = c.lines("workrl.dat");
    EXPECT_EQ(rl.back(), "s");
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "a"), std::count(rl.begin(), rl.end(), "e"));
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "n"), 3);  // one per letter
    const auto m = c.lines("workm.dat");
    EXPECT_EQ(m.size(), 2 + 6 * wf::parseNumber(m[0]) + 5 * wf::parseNumber(m[1]));
    EXPECT_EQ(c.lines("hl.dat").size(), 1 + 5 * 6u);  // the sample "ABC": A and both counters of B hang by two
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
        {"too large", true, [](Converting& c) { c.s->controls().Textv.set(" 780.5"); },
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
        c.s->startConvert();
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
    c.s->startConvert();
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
    c.s->startConvert();
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
        EXPECT_EQ(c.s->model().letterCount, 3);  // the letters are read all the same
        if (!readOnly) {  // fill what is left but a little
            std::ofstream fill(work / "filler", std::ios::binary);
            const std::string block(1024, 'x');
            for (int i = 0; i < 64 && fill; ++i) fill.write(block.data(), block.size()), fill.flush();
            fill.close();
            fs::resize_file(work / "filler", fs::file_size(work / "filler") - 2048);
        }
        c.s->startConvert();
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

namespace {

// the bytes and the mode of each named work file
using Snapshot = std::map<std::string, std::pair<std::string, fs::perms>>;
Snapshot snapshot(const TempFolder& t, std::initializer_list<const char*> names) {
    Snapshot v;
    for (const char* n : names) v[n] = {t.read(n), fs::symlink_status(t.work(n)).permissions()};
    return v;
}
// the names whose bytes or mode differ
std::string changed(const Snapshot& before, const Snapshot& after) {
    std::string names;
    for (const auto& [name, was] : before) {
        const auto now = after.find(name);
        if (now == after.end() || now->second.first != was.first) names += name + " (bytes) ";
        if (now != after.end() && now->second.second != was.second) names += name + " (mode) ";
    }
    return names;
}

// Runs `body` as the user nobody in a child process when this one is the superuser (whom no
// permission holds back), else as it is. Returns what the body found wrong, empty when nothing.
std::string asAnotherUser(const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string found = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0
                                ? body()
                                : "cannot become nobody";
        if (found.empty()) found = "ok";
        (void)!::write(out[1], found.data(), found.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string found;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) found.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return found == "ok" ? "" : found.empty() ? "the child died" : found;
}

// The saved state, presets and window place of a user, in th.dat, top.dat and stv2b.dat.
void writeUserState(const TempFolder& t) {
    t.write("th.dat", crlf({"line one", " .0508", " 5000", " .1", " .05"}));
    t.write("top.dat", crlf({" 1500", " 3000", "line three", "line four"}));
    SavedState saved;
    saved.smallHeight = saved.bigHeight = 50.8;
    writeStv2b(t.path(), saved);
}

// Resumes on the folder and starts the conversion; what differs from the user's state.
std::string resumeAndConvert(const fs::path& dir, bool expectRefusal) {
    std::string found;
    const auto expect = [&found](bool ok, const char* what) {
        if (!ok) found += std::string(what) + "; ";
    };
    HeadlessUi ui;
    Session s(dir, "stvt3", ui);
    const WindowPlace place = s.load();
    s.activate();
    expect(place.topTwips == 1500 && place.leftTwips == 3000, "top.dat not read");
    expect(s.presets().minArcLength == 0.0508 && s.presets().maxArcRadius == 5000, "th.dat not read");
    expect(s.model().smallHeight == 50.8, "stv2b.dat not read");
    expect(ui.messages.empty(), "a message at the start");
    s.startConvert();
    if (expectRefusal) {
        expect(ui.messages.size() == 1 && ui.messages[0].text == kFileAccessError, "no \"File access error !\"");
        expect(ui.started.empty(), "the later stage started");
    } else {
        expect(ui.messages.empty() && ui.started.size() == 1, "not handed over");
    }
    return found;
}

}  // namespace

// Work files the user may read but not write (read-only by their mode, or
// another user's) are read at the start, and "Start convert" replaces none of them: "File access
// error !", the later stage not started, every byte and mode as it was. Files the user may
// write keep their mode when they are replaced.
TEST(StartConvert, ReadOnlyWorkFilesAreReadAndNeverReplaced) {
    const auto ro = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    {
        SCOPED_TRACE("read-only by mode");
        Converting c(true, false);
        writeUserState(c.t);
        for (const char* n : {"th.dat", "top.dat", "stv2b.dat"}) fs::permissions(c.t.work(n), ro);
        const Snapshot before = snapshot(c.t, {"th.dat", "top.dat", "stv2b.dat"});
        EXPECT_EQ(resumeAndConvert(c.t.path(), true), "");
        EXPECT_EQ(changed(before, snapshot(c.t, {"th.dat", "top.dat", "stv2b.dat"})), "");
    }
    {
        SCOPED_TRACE("another user's");
        Converting c(true, false);
        writeUserState(c.t);  // ours, 0644; the folder open to everyone
        fs::permissions(c.t.path() / "workfiles", fs::perms::all);
        const Snapshot before = snapshot(c.t, {"th.dat", "top.dat", "stv2b.dat"});
        EXPECT_EQ(asAnotherUser([&] { return resumeAndConvert(c.t.path(), true); }), "");
        EXPECT_EQ(changed(before, snapshot(c.t, {"th.dat", "top.dat", "stv2b.dat"})), "");
    }
    {
        SCOPED_TRACE("writable, mode 0640");
        Converting c(true, false);
        writeUserState(c.t);
        const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        for (const char* n : {"th.dat", "top.dat", "stv2b.dat", "c3.dat"}) {
            if (!c.t.exists(n)) c.t.write(n, "old\r\n");
            fs::permissions(c.t.work(n), mode);
        }
        EXPECT_EQ(resumeAndConvert(c.t.path(), false), "");
        for (const char* n : {"th.dat", "top.dat", "stv2b.dat", "c3.dat"}) {
            EXPECT_EQ(fs::status(c.t.work(n)).permissions(), mode) << n;
        }
        EXPECT_EQ(c.lines("th.dat")[0], "line one");
        EXPECT_EQ(c.lines("top.dat")[2], "line three");
    }
}

// A work file that is a symbolic link is neither read through the link nor
// replaced: its defaults are used, "Start convert" says "File access error !", and the link and
// the file it points to stay as they were.
TEST(StartConvert, SymbolicLinksAreNeitherReadNorReplaced) {
    Converting c(true, false);
    TempFolder elsewhere;
    writeUserState(elsewhere);
    for (const char* n : {"th.dat", "stv2b.dat"}) fs::create_symlink(elsewhere.work(n), c.t.work(n));
    const Snapshot before = snapshot(elsewhere, {"th.dat", "stv2b.dat"});
    HeadlessUi ui;
    Session s(c.t.path(), "stvt3", ui);
    s.load();
    s.activate();
    EXPECT_EQ(s.presets().maxArcRadius, 8890);  // the defaults, not the linked files
    EXPECT_EQ(s.model().smallHeight, 101.6);
    s.startConvert();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kFileAccessError);
    EXPECT_TRUE(ui.started.empty());
    for (const char* n : {"th.dat", "stv2b.dat"}) {
        EXPECT_TRUE(fs::is_symlink(c.t.work(n))) << n;
        EXPECT_EQ(fs::read_symlink(c.t.work(n)), elsewhere.work(n)) << n;
    }
    EXPECT_EQ(changed(before, snapshot(elsewhere, {"th.dat", "stv2b.dat"})), "");
    EXPECT_FALSE(c.t.exists("c3.dat"));  // nothing of the hand-over
}
