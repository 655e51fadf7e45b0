#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "shapes_qt/cli.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// A copy of the bundled program folder (stand-ins and letters) below a folder with blanks.
struct ProgramCopy {
    TempFolder base{false};
    fs::path dir;
    ProgramCopy(bool withWif = true) {
        dir = base.path() / "program folder 'with' blanks";
        fs::create_directories(dir / "workfiles");
        // stand-ins under every sibling's name, the cut stage's too: they record how they were started
        for (const char* p : {"STV1.EXE", "STV1b.EXE", "STV3.EXE", "zodu.exe"}) fs::copy_file(LK_STANDIN, dir / p);
        fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat", dir / "workfiles" / "tground.dat");
        if (withWif) fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / "wif.dat", dir / "workfiles" / "wif.dat");
    }
    std::string log(int expectLines) const {
        // the stand-ins run detached: wait until they have written
        QElapsedTimer t;
        t.start();
        std::string text;
        while (t.elapsed() < 10000) {
            std::error_code ec;
            if (fs::exists(dir / "workfiles" / "standin.log", ec)) {
                text = wf::readFile(dir / "workfiles" / "standin.log");
                if (std::count(text.begin(), text.end(), '\n') >= expectLines) break;
            }
            QThread::msleep(20);
        }
        return text;
    }
};

struct CliRun {
    int status;
    std::string out, err;
    QJsonObject report;
};

CliRun run(const ProgramCopy& p, QStringList args) {
    std::ostringstream out, err;
    args.prepend(QString::fromStdString(p.dir.string()));
    args.prepend("--folder");
    CliRun r;
    r.status = shapes_qt::runCli(args, "/nonexistent", out, err);
    r.out = out.str();
    r.err = err.str();
    r.report = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    return r;
}

}  // namespace

TEST(CommandLine, ReportsTheStartedProgram) {
    ProgramCopy p;
    const CliRun r = run(p, {"--report"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.report["token"].toString(), "stvt");
    EXPECT_EQ(r.report["groundText"].toString(), "ABC");
    EXPECT_EQ(r.report["letterCount"].toInt(), 3);
    EXPECT_EQ(r.report["counts"].toObject()["bridges"].toInt(), 6);
    const QJsonObject c = r.report["controls"].toObject();
    // the letters are stretched to the outline, so the C's overshoot reaches a little above 4 inches
    EXPECT_TRUE(c["Texth"].toString().startsWith(" 4."));
    EXPECT_NEAR(c["Texth"].toString().toDouble(), 4.0, 0.1);
    EXPECT_EQ(c["Text4"].toString(), " .08");
    EXPECT_EQ(r.report["apertureWidthMin"].toDouble(), 0.3048);
    EXPECT_DOUBLE_EQ(r.report["apertureWidthMax"].toDouble(), 10.16);
    EXPECT_TRUE(r.report["messages"].toArray().isEmpty());
    EXPECT_FALSE(r.report["terminated"].toBool());
    EXPECT_EQ(r.report["signDistanceA"].toArray().size(), 257);
}

TEST(CommandLine, ChainsToTheSiblingsThroughAFolderWithBlanks) {
    {
        ProgramCopy p;
        const CliRun r = run(p, {"--close", "--chain", "--report"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(p.log(1), "STV3.EXE stvt\n");
        EXPECT_EQ(wf::readFile(p.dir / "workfiles" / "wif.dat"), "1\r\n0\r\n");
        const QJsonArray started = r.report["started"].toArray();
        ASSERT_EQ(started.size(), 1);
        EXPECT_EQ(started[0].toObject()["program"].toString().toStdString(), (p.dir / "STV3.EXE").string());
        EXPECT_TRUE(r.report["terminated"].toBool());
    }
    {  // a folder whose name is not UTF-8, given as the system's bytes
        ProgramCopy p;
        const fs::path odd = p.base.path() / "prog \xFF\xFE";
        fs::rename(p.dir, odd);
        p.dir = odd;
        std::ostringstream out, err;
        EXPECT_EQ(shapes_qt::runCli(std::vector<std::string>{"--folder", odd.string(), "--close", "--chain"}, "/", out, err), 0)
            << err.str();
        EXPECT_EQ(p.log(1), "STV3.EXE stvt\n");
    }
    {
        ProgramCopy p;
        const CliRun r = run(p, {"--token", "STVT", "--chain", "--close"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(p.log(1), "zodu.exe\n");  // closing does not run after the hand-over
    }
    {
        ProgramCopy p(false);  // no wif.dat: the later stage is not started
        const CliRun r = run(p, {"--close", "--chain", "--report"});
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, "critical|Error|File access error !\n");
        EXPECT_TRUE(r.report["started"].toArray().isEmpty());
        EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "standin.log"));
    }
}

// Closing hands over without "Start convert", yet the work stays: coming back finds the
// shape, its heights and the connection as they were left, with orgdim.dat beside them.
TEST(CommandLine, ClosingKeepsTheWorkForTheWayBack) {
    ProgramCopy p;
    const CliRun left = run(p, {"--shape", "9", "--H", "6", "--h", "4", "--connection", "--close"});
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(wf::readFile(p.dir / "workfiles" / "orgdim.dat"), "1\r\n");
    const CliRun back = run(p, {"--resume", "--report"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.report["shapeNumber"].toInt(), 9);
    EXPECT_DOUBLE_EQ(back.report["bigHeight"].toDouble(), 6 * 25.4);
    EXPECT_EQ(back.report["controls"].toObject()["Check2"].toInt(), 1);
    EXPECT_EQ(back.report["controls"].toObject()["Check5"].toInt(), 1);
}

TEST(CommandLine, RefusesWhatItCannotDo) {
    ProgramCopy p;
    EXPECT_EQ(run(p, {"--bogus"}).status, 1);
    const CliRun help = run(p, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: letterkerf-cli", 0), 0u);
    EXPECT_EQ(run(p, {"--token"}).status, 1);
    EXPECT_EQ(run(p, {"--resume", "--token", "stvt"}).status, 1);
    EXPECT_EQ(run(p, {"--distance", "2"}).status, 1);
    EXPECT_EQ(run(p, {"--distance", "x=0.1"}).status, 1);
    std::ostringstream out, err;
    EXPECT_EQ(shapes_qt::runCli(QStringList{"--folder", "/no/such/folder"}, "/", out, err), 1);

    // --dump writes the model; a dump that cannot be written is a file error
    const fs::path dump = p.dir / "model.json";
    const CliRun d = run(p, {"--dump", QString::fromStdString(dump.string())});
    EXPECT_EQ(d.status, 0);
    const QJsonObject m = QJsonDocument::fromJson(QByteArray::fromStdString(wf::readFile(dump))).object();
    EXPECT_EQ(m["elements"].toArray().size(), 152);
    EXPECT_EQ(m["letterText"].toArray().size(), 3);
    EXPECT_EQ(run(p, {"--dump", "/no/such/folder/x.json"}).status, 3);
}

// --help and -h print the usage on standard output and end well before anything is looked at;
// it names every option of the command line's contract. An unknown option gets the same usage
// on standard error and ends with 1.
TEST(CommandLine, HelpListsEveryOption) {
    const std::vector<std::string> contract = {
        "--folder DIR", "--resume", "--token TEXT", "--fit-in", "--no-fit-in", "--shape N", "--H IN", "--h IN",
        "--knot POS", "--reset-distances", "--distance PAIR=IN", "--all-distances IN", "--remove-empty-space",
        "--connection", "--no-connection", "--connection-width IN", "--baseline-distance IN",
        "--connection-slider N", "--cut", "--no-cut", "--one-object", "--no-one-object", "--aperture IN",
        "--min-length 0.004|0.002", "--max-radius IN", "--answer-no", "--report", "--dump FILE", "--png FILE",
        "--svg FILE", "--convert", "--close", "--chain"};
    std::string usage;
    for (const char* help : {"--help", "-h"}) {
        std::ostringstream out, err;
        EXPECT_EQ(shapes_qt::runCli(QStringList{"--folder", "/no/such/folder", help, "--bogus"}, "/", out, err), 0) << help;
        EXPECT_EQ(err.str(), "") << help;
        EXPECT_EQ(out.str().rfind("usage: letterkerf-cli ", 0), 0u) << help;
        usage = out.str();
    }
    for (const std::string& option : contract) EXPECT_NE(usage.find("\n  " + option + " "), std::string::npos) << option;

    std::ostringstream out, err;
    EXPECT_EQ(shapes_qt::runCli(QStringList{"--bogus", "--help"}, "/", out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "--bogus: unknown option\n" + usage);
}

TEST(CommandLine, ShapeDialogTypedOrRefused) {
    ProgramCopy p;
    const CliRun ok = run(p, {"--shape", "18", "--H", "6", "--h", "4", "--knot", "200", "--report"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.report["shapeNumber"].toInt(), 18);
    EXPECT_DOUBLE_EQ(ok.report["bigHeight"].toDouble(), 6 * 25.4);
    EXPECT_EQ(ok.report["controls"].toObject()["HScroll1"].toInt(), 200);

    const CliRun one = run(p, {"--shape", "0", "--h", "2.5", "--report"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_DOUBLE_EQ(one.report["smallHeight"].toDouble(), 2.5 * 25.4);

    // a refusal prints the message, exits with 2 and skips the actions after it
    const CliRun no = run(p, {"--shape", "3", "--H", "39", "--h", "6.4", "--knot", "200", "--report"});
    EXPECT_EQ(no.status, 2);
    EXPECT_EQ(no.err, "critical|Info|Maximum ratio H/h =6. Please change H or h !\n");
    EXPECT_EQ(no.report["shapeNumber"].toInt(), 0);
    EXPECT_EQ(no.report["controls"].toObject()["HScroll1"].toInt(), 0);

    EXPECT_EQ(run(p, {"--shape", "20"}).status, 1);
    EXPECT_EQ(run(p, {"--H", "5"}).status, 1);
}

TEST(CommandLine, ConnectionOptionsRunInTheirOrder) {
    ProgramCopy p;
    // given in reverse order: the connection is ticked first, then Apply, the slider and Cut
    const CliRun r = run(p, {"--cut", "--connection-slider", "10", "--baseline-distance", "0.2",
                             "--connection-width", "0.1", "--connection", "--report"});
    EXPECT_EQ(r.status, 0) << r.err;
    QJsonObject c = r.report["controls"].toObject();
    EXPECT_EQ(c["Check2"].toInt(), 1);
    EXPECT_EQ(c["Check4"].toInt(), 1);
    EXPECT_EQ(c["Text6"].toString(), "0.1");
    EXPECT_EQ(c["HScroll2"].toInt(), 10);
    // the slider wrote its own distance: 10 steps of a hundredth of the contour height
    EXPECT_NEAR(c["Text5"].toString().toDouble(), 0.1 * c["Texth"].toString().toDouble(), 0.01);
    const QJsonObject n = r.report["counts"].toObject();
    EXPECT_EQ(n["barLines"].toInt(), 8);  // two gaps, each cut into two long edges and two closing lines

    // a width beyond the range is replaced and announced, not refused
    const CliRun wide = run(p, {"--connection", "--connection-width", "9", "--report"});
    EXPECT_EQ(wide.status, 0);
    EXPECT_EQ(wide.report["controls"].toObject()["Text6"].toString(), " 0.008");
    EXPECT_EQ(wide.err.rfind("information|Contour connection|Please change. >Connection width<. Range 0.008 to ", 0), 0u)
        << wide.err;

    // unticking "Create as one object" asks; No keeps both ticked, Yes clears the connection
    const CliRun keep = run(p, {"--connection", "--no-one-object", "--answer-no", "--report"});
    EXPECT_EQ(keep.report["controls"].toObject()["Check2"].toInt(), 1);
    EXPECT_EQ(keep.report["controls"].toObject()["Check5"].toInt(), 1);
    const CliRun drop = run(p, {"--connection", "--no-one-object", "--report"});
    EXPECT_EQ(drop.report["controls"].toObject()["Check2"].toInt(), 0);

    EXPECT_EQ(run(p, {"--cut"}).status, 1);  // "Cut" is hidden while the connection is off
    EXPECT_EQ(run(p, {"--connection-width", "0.1"}).status, 1);
    EXPECT_EQ(run(p, {"--connection", "--connection-slider", "121"}).status, 1);
    EXPECT_EQ(run(p, {"--cut", "--no-cut"}).status, 1);
}

TEST(CommandLine, ConvertHandsOverAfterTheOutputs) {
    ProgramCopy p;
    const fs::path png = p.dir / "before.png";
    const CliRun r = run(p, {"--convert", "--cut", "--connection", "--shape", "4", "--png",
                             QString::fromStdString(png.string()), "--close", "--report"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(png));  // drawn before the model went to internal units
    const QJsonArray started = r.report["started"].toArray();
    ASSERT_EQ(started.size(), 1);  // --close after the hand-over starts nothing more
    EXPECT_EQ(started[0].toObject()["arguments"].toArray()[0].toString(), "stvt");
    EXPECT_TRUE(r.report["terminated"].toBool());
    const auto rl = wf::splitLines(wf::readFile(p.dir / "workfiles" / "workrl.dat"));
    EXPECT_EQ(rl.back(), "s");
    const auto m = wf::splitLines(wf::readFile(p.dir / "workfiles" / "workm.dat"));
    EXPECT_EQ(m[0], " 4");  // two gaps along the arch, two arcs each

    fs::remove(p.dir / "STV3.EXE");
    const CliRun missing = run(p, {"--convert"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "critical|Ende|STV3.EXE not found !\n");
}

TEST(CommandLine, ApertureAndPresettingDialogs) {
    ProgramCopy p;
    const CliRun ok = run(p, {"--max-radius", "100", "--min-length", "0.002", "--aperture", "0.1", "--report"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.report["controls"].toObject()["Text4"].toString(), " .1");
    const QJsonObject presets = ok.report["presets"].toObject();
    EXPECT_DOUBLE_EQ(presets["maxArcRadius"].toDouble(), 2540);
    EXPECT_DOUBLE_EQ(presets["minArcLength"].toDouble(), 0.0508);
    // th.dat keeps them for the next start
    const CliRun again = run(p, {"--report"});
    EXPECT_DOUBLE_EQ(again.report["presets"].toObject()["maxArcRadius"].toDouble(), 2540);

    const CliRun wide = run(p, {"--aperture", "9", "--max-radius", "100"});
    EXPECT_EQ(wide.status, 2);  // refused; the presetting after it is skipped
    EXPECT_EQ(wide.err, "critical|Abort|Width of apertures b:  .012 inches to  .4 inches !\n");
    EXPECT_EQ(run(p, {"--max-radius", "391"}).status, 2);
    EXPECT_EQ(run(p, {"--min-length", "0.003"}).status, 1);
}

TEST(CommandLine, SignDistanceDialog) {
    ProgramCopy p;  // "ABC": two pairs
    const auto distanceA = [](const CliRun& r, int i) { return r.report["signDistanceA"].toArray()[i].toDouble(); };
    // given in reverse: the rows first, then one distance for all
    const CliRun all = run(p, {"--all-distances", "0.02", "--distance", "1=0.1", "--distance", "2=-0.0124", "--report"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_DOUBLE_EQ(distanceA(all, 1), 0.02);
    EXPECT_DOUBLE_EQ(distanceA(all, 2), 0.02);
    const CliRun rows = run(p, {"--distance", "1=0.1", "--distance", "2=-0.0124", "--report"});
    EXPECT_DOUBLE_EQ(distanceA(rows, 1), 0.1);
    EXPECT_DOUBLE_EQ(distanceA(rows, 2), -0.01);  // -2.48 steps of the scroll bar, rounded
    EXPECT_EQ(run(p, {"--distance", "3=0.1"}).status, 1);   // no third row
    EXPECT_EQ(run(p, {"--distance", "1=5.01"}).status, 1);  // beyond the scroll bar

    // removal asks first while distances are set; No keeps them, and Reset answered No too
    const CliRun no = run(p, {"--remove-empty-space", "--reset-distances", "--distance", "1=0.1",
                              "--answer-no", "--report"});
    EXPECT_EQ(no.status, 0) << no.err;
    EXPECT_DOUBLE_EQ(distanceA(no, 1), 0.1);
    EXPECT_DOUBLE_EQ(no.report["signDistanceB"].toArray()[1].toDouble(), 0);
    const CliRun removed = run(p, {"--remove-empty-space", "--distance", "1=0.1", "--report"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_DOUBLE_EQ(distanceA(removed, 1), 0);
    EXPECT_LT(removed.report["signDistanceB"].toArray()[1].toDouble(), 0);  // closed up
    EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "kon1.tmp"));
}

// A refusal skips everything that writes a work file or starts a program; a letter file that
// breaks the operations ends with the fault message and exit 3, never with a crash; a typed
// text keeps to one line.
TEST(CommandLine, RefusalsAndFaultsLeaveTheFolderAsItWas) {
    ProgramCopy p;
    const CliRun refused = run(p, {"--shape", "3", "--H", "39", "--h", "6.4", "--convert", "--close", "--report"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.report["started"].toArray().isEmpty());
    EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "workrl.dat"));
    EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "stv2b.dat"));

    const CliRun typed = run(p, {"--connection", "--connection-width", "0.1\n2", "--convert"});
    EXPECT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(wf::splitLines(wf::readFile(p.dir / "workfiles" / "stv2b.dat"))[523], "0.12");

    std::string ground = wf::readFile(p.dir / "workfiles" / "tground.dat");
    const std::size_t count = ground.find("\r\n", ground.find("\r\n") + 2) + 2;  // line 3
    ground.replace(count, ground.find("\r\n", count) - count, "-3");
    wf::replaceFile(p.dir / "workfiles" / "tground.dat", ground);
    const CliRun negative = run(p, {"--connection", "--cut", "--report"});
    EXPECT_EQ(negative.status, 3);
    EXPECT_EQ(negative.report["letterCount"].toInt(), 0);
}

// --folder, --dump, --png and --svg given relative are the caller's paths, not
// the program folder's (which the start-up enters); an output that would land in the work
// folder (by name, through "..", or through a link) is refused with status 1 before anything
// is read or written.
TEST(CommandLine, PathsAreTheCallersAndTheWorkFilesAreNoOutputs) {
    ProgramCopy p;
    const fs::path caller = p.base.path() / "caller";
    fs::create_directories(caller);
    fs::current_path(caller);
    std::ostringstream out, err;
    const int status = shapes_qt::runCli(QStringList{"--folder", "../program folder 'with' blanks", "--dump", "model.json", "--png",
                                    "view.png", "--svg", "sign.svg", "--report"},
                                   "/nonexistent", out, err);
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object()["letterCount"].toInt(), 3);
    for (const char* name : {"model.json", "view.png", "sign.svg"}) {
        EXPECT_TRUE(fs::is_regular_file(caller / name)) << name;
        EXPECT_FALSE(fs::exists(p.dir / name)) << name;
    }

    // the fault as it was found: called from the program folder, --dump workfiles/tground.dat
    fs::current_path(p.dir);
    const std::string letters = wf::readFile(p.dir / "workfiles" / "tground.dat");
    fs::create_symlink(p.dir / "workfiles" / "tground.dat", caller / "letters.json");
    fs::create_symlink(p.dir / "workfiles", caller / "work");
    const auto workNames = [&] {
        std::set<std::string> v;
        for (const auto& e : fs::directory_iterator(p.dir / "workfiles")) v.insert(e.path().filename().string());
        return v;
    };
    const auto before = workNames();
    const std::pair<const char*, const char*> refused[] = {
        {"--dump", "workfiles/tground.dat"}, {"--png", "./workfiles/new.png"}, {"--svg", "../caller/../program folder 'with' blanks/workfiles/c3.dat"},
        {"--dump", "workfiles"}, {"--dump", "../caller/letters.json"}, {"--svg", "../caller/work/new.svg"}};
    for (const auto& [option, path] : refused) {
        SCOPED_TRACE(std::string(option) + " " + path);
        std::ostringstream o, e;
        EXPECT_EQ(shapes_qt::runCli(QStringList{"--folder", ".", option, path, "--convert"}, "/nonexistent", o, e), 1);
        EXPECT_NE(e.str().find("is in the work folder"), std::string::npos) << e.str();
    }
    EXPECT_EQ(wf::readFile(p.dir / "workfiles" / "tground.dat"), letters);
    EXPECT_EQ(workNames(), before);
    // a link to a file elsewhere is the user's: its target is written, the link stays
    std::ofstream(caller / "target.json") << "old";
    fs::create_symlink(caller / "target.json", caller / "linked.json");
    std::ostringstream o, e;
    EXPECT_EQ(shapes_qt::runCli(QStringList{"--folder", ".", "--dump", "../caller/linked.json"}, "/nonexistent", o, e), 0) << e.str();
    EXPECT_TRUE(fs::is_symlink(caller / "linked.json"));
    EXPECT_GT(fs::file_size(caller / "target.json"), 100u);
}

// While another program works in the folder, the command line says so in one
// line on standard error, exits with 3 and touches no file: no output, no hand-over, no start.
TEST(CommandLine, ASecondProgramOnTheFolderSaysSoAndTouchesNoFile) {
    ProgramCopy p(false);  // not even wif.dat
    wf::WorkFolderLock first(p.dir / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto contents = [&] {
        std::map<std::string, std::string> v;
        for (const auto& e : fs::directory_iterator(p.dir / "workfiles"))
            v[e.path().filename().string()] = wf::readFile(e.path());
        return v;
    };
    const auto before = contents();
    const fs::path dump = p.base.path() / "model.json";
    const CliRun r = run(p, {"--convert", "--close", "--chain", "--connection", "--dump",
                             QString::fromStdString(dump.string()), "--report"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, std::string("critical|Error|") + wf::kWorkFolderBusy + "\n");
    EXPECT_TRUE(r.report["started"].toArray().isEmpty());
    EXPECT_TRUE(r.report["terminated"].toBool());
    EXPECT_FALSE(fs::exists(dump));
    EXPECT_EQ(contents(), before);  // not even the probed files (top.dat, th.dat, workfile.dcc)
    first.release();
    EXPECT_EQ(run(p, {"--dump", QString::fromStdString(dump.string())}).status, 0);
}
