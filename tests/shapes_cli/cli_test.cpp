// The command line's contract: options and their exit statuses, the actions in their fixed
// order whatever order they are given in, the outputs, and the chain to the siblings.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

#include <sstream>

#include "shapes/started.h"
#include "shapes_qt/cli.h"

using namespace testsupport;

namespace {

// A copy of the bundled program folder (letters, wif.dat, stand-ins under every sibling's
// name that record how they were started) below a folder name with blanks and quotes.
struct ProgramCopy {
    TempFolder base{false};
    fs::path dir = base.path() / "program folder 'with' blanks";
    ProgramCopy() {
        fs::create_directories(dir / "workfiles");
        for (const char* p : {"STV1.EXE", "STV1b.EXE", "STV3.EXE", "zodu.exe"}) fs::copy_file(LK_STANDIN, dir / p);
        for (const char* f : {"tground.dat", "wif.dat"})
            fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / f, dir / "workfiles" / f);
    }
    std::string work(const char* name) const { return wf::readFile(dir / "workfiles" / name); }
    std::string log() const {  // the stand-ins run detached: wait (up to 10 s) until one has written
        for (int i = 0; i < 500 && !fs::exists(dir / "workfiles" / "standin.log"); ++i) QThread::msleep(20);
        return work("standin.log");
    }
};

struct CliRun {
    int status;
    std::string out, err;
    QJsonObject report, controls;
};

// the command line with `args` as they are, the executable's folder a folder that does not exist
CliRun run(const QStringList& args) {
    std::ostringstream out, err;
    CliRun r;
    r.status = shapes_qt::runCli(args, "/nonexistent", out, err);
    r.out = out.str();
    r.err = err.str();
    r.report = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    r.controls = r.report["controls"].toObject();
    return r;
}
CliRun run(const ProgramCopy& p, const QStringList& args) {
    return run(QStringList{"--folder", QString::fromStdString(p.dir.string())} + args);
}

}  // namespace

// Each row: the arguments, the exit status, the first line on standard error (a prefix). -h
// prints the usage (from the table that parses: each option with its value's name) and ends
// before anything else is looked at.
TEST(CommandLine, ExitStatusesAndTheirMessages) {
    const struct {
        QStringList args;
        int status;
        const char* err;
        const char* letters = nullptr;  // a test letter file in place of the bundled letters
    } cases[] = {
        {{"--bogus"}, 1, "--bogus: unknown option\nusage: letterkerf-cli "},
        {{"--token"}, 1, "--token: a value is missing"},
        {{"--resume", "--token", "stvt"}, 1, "--resume and --token exclude each other"},
        {{"--cut", "--no-cut"}, 1, "--cut and --no-cut exclude each other"},
        {{"--distance", "2"}, 1, "--distance: PAIR=IN"},
        {{"--distance", "3=0.1"}, 1, "--distance: row 3 of 2"},
        {{"--distance", "1=5.01"}, 1, "--distance: the scroll bar runs from"},
        {{"--shape", "20"}, 1, "--shape: a shape number 0 to 19"},
        {{"--H", "5"}, 1, "--H and --h belong to --shape"},
        {{"--min-length", "0.003"}, 1, "--min-length: 0.004 or 0.002"},
        {{"--cut"}, 1, ""},  // "Cut" is hidden while the connection is off
        {{"--connection", "--connection-slider", "121"}, 1, ""},
        {{"--aperture", "9", "--max-radius", "100", "--report"}, 2, "critical|Abort|Width of apertures b:  .012 inches to  .4 inches !"},
        {{"--shape", "3", "--H", "39", "--h", "6.4", "--knot", "200", "--convert", "--close", "--report"}, 2,
         "critical|Info|Maximum ratio H/h =6. Please change H or h !"},
        // 250 letters 10 inches high: "Start convert" stays in the window, and nothing closes
        {{"--shape", "0", "--h", "10", "--convert", "--close", "--report"}, 2,
         "information|Contour dimensions too large !", "long.dat"},
        {{"--dump", "/no/such/folder/x.json"}, 3, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ProgramCopy p;
        if (c.letters)
            fs::copy_file(fs::path(LK_TEST_DATA) / c.letters, p.dir / "workfiles" / "tground.dat",
                          fs::copy_options::overwrite_existing);
        const CliRun r = run(p, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        if (c.status != 2) continue;  // refused: the actions after it and what writes or starts are skipped
        EXPECT_EQ(r.controls["HScroll1"].toInt(), 0);
        EXPECT_DOUBLE_EQ(r.report["presets"].toObject()["maxArcRadius"].toDouble(), 8890);
        EXPECT_TRUE(r.report["started"].toArray().isEmpty() && !r.report["terminated"].toBool());
        EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "workrl.dat") || fs::exists(p.dir / "workfiles" / "stv2b.dat"));
    }
    EXPECT_EQ(run({"--folder", "/no/such/folder"}).status, 1);
    const CliRun help = run({"--folder", "/no/such/folder", "-h", "--bogus"});
    EXPECT_EQ(std::make_pair(help.status, help.err), std::make_pair(0, std::string()));
    EXPECT_EQ(help.out.rfind("usage: letterkerf-cli ", 0), 0u) << help.out;
    for (const char* option : {"--distance PAIR=IN", "--min-length 0.004|0.002", "--chain", "--help"})
        EXPECT_NE(help.out.find("\n  " + std::string(option) + " "), std::string::npos) << option;
}


// Everything given in reverse order runs in the contract's order: the shape, the knot, the
// distances (rows, then one for all), the aperture, the connection and its values, "Cut",
// the presetting; then the outputs and the hand-over.
TEST(CommandLine, ActionsRunInTheirOrder) {
    ProgramCopy p;
    const fs::path png = p.base.path() / "before.png";
    const CliRun r = run(p, {"--report", "--close", "--png", QString::fromStdString(png.string()), "--convert",
                             "--min-length", "0.002", "--max-radius", "100", "--cut", "--connection-slider", "10",
                             "--baseline-distance", "0.2", "--connection-width", "0.1", "--connection",
                             "--aperture", "0.1", "--all-distances", "0.02", "--distance", "2=-0.0124",
                             "--knot", "200", "--shape", "18", "--H", "6", "--h", "4"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::make_tuple(r.report["shapeNumber"], r.controls["HScroll1"], r.controls["Check4"], r.controls["HScroll2"]),
              std::make_tuple(QJsonValue(18), QJsonValue(200), QJsonValue(1), QJsonValue(10)));
    EXPECT_DOUBLE_EQ(r.report["bigHeight"].toDouble(), 6 * 25.4);
    EXPECT_DOUBLE_EQ(r.report["signDistanceA"].toArray()[2].toDouble(), 0.02);
    EXPECT_EQ(std::make_tuple(r.controls["Text4"], r.controls["Text6"]), std::make_tuple(QJsonValue(" .1"), QJsonValue("0.1")));
    // the slider wrote its own distance: 10 steps of a hundredth of the contour height
    EXPECT_NEAR(r.controls["Text5"].toString().toDouble(), 0.1 * r.controls["Texth"].toString().toDouble(), 0.01);
    EXPECT_DOUBLE_EQ(r.report["presets"].toObject()["maxArcRadius"].toDouble(), 2540);
    EXPECT_DOUBLE_EQ(r.report["presets"].toObject()["minArcLength"].toDouble(), 0.0508);
    EXPECT_TRUE(fs::exists(png));  // drawn before the hand-over
    const QJsonArray started = r.report["started"].toArray();
    ASSERT_EQ(started.size(), 1);  // --close after the hand-over starts nothing more
    EXPECT_EQ(started[0].toObject()["arguments"].toArray()[0].toString(), "stvt");
    EXPECT_EQ(wf::splitLines(p.work("workrl.dat")).back(), "s");

    const CliRun rows = run(p, {"--distance", "1=0.1", "--distance", "2=-0.0124", "--report"});
    EXPECT_DOUBLE_EQ(rows.report["signDistanceA"].toArray()[2].toDouble(), -0.01);  // -2.48 steps, rounded
}

// Relative paths are the caller's, not the program folder's; an output in the work folder (by
// name, through "..", or through a link) is refused before anything is read or written.
// --close --chain really starts the later stage through a folder of any bytes; a foreign token
// hands to zodu.exe instead, and closing does not run after that hand-over.
TEST(CommandLine, PathsAreTheCallersTheWorkFilesNoOutputsAndTheChainRuns) {
    ProgramCopy p;
    const fs::path caller = p.base.path() / "caller";
    fs::create_directories(caller);
    fs::current_path(caller);
    const CliRun r = run({"--folder", "../program folder 'with' blanks", "--dump", "model.json", "--png", "view.png",
                          "--svg", "sign.svg"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* name : {"model.json", "view.png", "sign.svg"}) EXPECT_TRUE(fs::is_regular_file(caller / name)) << name;
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(wf::readFile(caller / "model.json"))).object()["elements"].toArray().size(), 152);
    fs::current_path(p.dir);
    fs::create_symlink(p.dir / "workfiles" / "tground.dat", caller / "letters.json");
    fs::create_symlink(p.dir / "workfiles", caller / "work");
    const std::string letters = p.work("tground.dat");
    for (const auto& [option, path] : {std::pair{"--png", "./workfiles/new.png"}, {"--dump", "workfiles"},
                                       {"--svg", "../caller/../program folder 'with' blanks/workfiles/c3.dat"},
                                       {"--dump", "../caller/letters.json"}, {"--svg", "../caller/work/new.svg"}}) {
        const CliRun refused = run({"--folder", ".", option, path, "--convert"});
        EXPECT_EQ(refused.status, 1) << path;
        EXPECT_NE(refused.err.find("is in the work folder"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(p.work("tground.dat"), letters);
    EXPECT_FALSE(fs::exists(p.dir / "workfiles" / "workrl.dat"));

    const fs::path odd = p.base.path() / "prog \xFF\xFE \"y\"";
    fs::rename(p.dir, odd);
    p.dir = odd;
    std::ostringstream out, err;
    EXPECT_EQ(shapes_qt::runCli(std::vector<std::string>{"--folder", odd.string(), "--close", "--chain"}, "/", out, err), 0)
        << err.str();
    EXPECT_EQ(p.log(), "STV3.EXE stvt\n");
    EXPECT_EQ(p.work("wif.dat"), "1\r\n0\r\n");
    ProgramCopy foreign;
    EXPECT_EQ(run(foreign, {"--token", "STVT", "--chain", "--close"}).status, 0);
    EXPECT_EQ(foreign.log(), "zodu.exe\n");  // closing does not run after the hand-over
}
