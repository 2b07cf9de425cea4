// skarvel-cli run as a separate program: its output, files and exit codes.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "common/run_command.h"
#include "common/split.h"
#include "data/codec.h"
#include "data/design_file.h"
#include "data/input_file.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "picture/svg_canvas.h"
#include "sim/analysis_text.h"
#include "view/sketch.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace in = skarvel::data::input;
namespace par = skarvel::data::param;

using skarvel::test::TempDir;

std::string ReadBytes(const fs::path& path) {
    return data::ReadFileBytes(path.string());
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char ch : text) {
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return quoted + "'";
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program with the given (already quoted) arguments in `folder`.
Result RunCli(const std::string& args, const TempDir& folder) {
    const std::string errFile = folder / ".stderr";
    const std::string command = "cd " + Quote(folder.path().string()) + " && " +
                                Quote(SKARVEL_CLI) + " " + args + " 2>" + Quote(errFile);
    const skarvel::test::CommandResult run = skarvel::test::RunCommand(command);
    Result r;
    r.status = run.status;
    r.out = run.out;
    r.err = ReadBytes(errFile);
    fs::remove(errFile);
    return r;
}

using skarvel::test::Split;

// A shell command line run in `folder`; the program is $CLI there.
skarvel::test::CommandResult RunShell(const std::string& line, const TempDir& folder) {
    return skarvel::test::RunCommand("cd " + Quote(folder.path().string()) +
                                     " && CLI=" + Quote(SKARVEL_CLI) + " && " + line);
}

// Output lines; every line, the last included, must end in a bare "\n".
std::vector<std::string> Lines(const std::string& out) {
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_TRUE(!out.empty() && out.back() == '\n');
    if (out.empty()) {
        return {};
    }
    return Split(out.substr(0, out.size() - 1), '\n');
}

void WriteInputFile(const std::string& path, std::vector<std::pair<int, std::string>> values) {
    Workspace ws;
    for (auto& [row, text] : values) {
        ws.editCell(skarvel::app::TableId::Input, in::kValueColumn, row, text);
    }
    data::WriteCp932Lines(path, data::InputFileLines(ws.tables().input));
}

std::string WithoutCrLf(std::string text) {
    EXPECT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    text.resize(text.size() - 2);
    return text;
}

// The rows of a table as the program prints them: caption, values, unit.
std::vector<std::string> TableLines(const data::Table& t, int firstValue, int lastValue, int unit) {
    std::vector<std::string> lines;
    for (int r = 1; r < t.rowCount(); ++r) {
        std::string line = t.cell(0, r);
        for (int c = firstValue; c <= lastValue; ++c) {
            line += '\t' + t.cell(c, r);
        }
        lines.push_back(line + '\t' + t.cell(unit, r));
    }
    return lines;
}

TEST(Cli, FlyPrintsTheHistoryCaptionsAndTheNewRow) {
    TempDir tmp;
    // Default files are never looked for.
    WriteInputFile(tmp / "Skarvel.kxs", {{in::WindSpeed, "5"}});
    const Result r = RunCli("fly", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The texts are those of the history list, with "\n" for its CR LF.
    Workspace ws;
    ws.runFromInput();
    const std::string row = WithoutCrLf(ws.history().copyText(false));
    ws.historyCommands().select(-1);
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{WithoutCrLf(ws.history().copyText(false)), row}));
}

TEST(Cli, EstimatePrintsTheParameterTable) {
    TempDir tmp;
    const Result r = RunCli("estimate", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[0], "S\t45\tcm^2");
    EXPECT_EQ(lines[par::Cm0 - 1], "Cm0\t0\t");
    Workspace ws;
    ws.estimate();
    EXPECT_EQ(lines, TableLines(ws.tables().parameter, par::kValueColumn, par::kValueColumn,
                                par::kUnitColumn));
}

TEST(Cli, InputFileExportAndSavedInputData) {
    TempDir tmp;
    WriteInputFile(tmp / "IN.kxs", {{in::WindSpeed, "2"}, {in::Altitude, "10"}, {in::Mass, "6"}});

    Result r = RunCli("fly IN.kxs --export flight.txt --save-input " + Quote(tmp / "saved"), tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    const auto row = Split(lines[1], '\t');
    ASSERT_EQ(row.size(), 44u);
    EXPECT_EQ(row[6 + in::WindSpeed], "2");
    EXPECT_EQ(row[6 + in::Altitude], "10");
    EXPECT_EQ(row[6 + in::Mass], "6");

    // The exported flight is that one: it ends at the airborne time the row shows.
    const auto text = data::SplitLines(ReadBytes(tmp / "flight.txt"));
    ASSERT_GE(text.size(), 3u);
    EXPECT_NEAR(std::stod(Split(text.back(), '\t').at(1)), std::stod(row[1]), 1e-3);

    // The input data written back, its extension added, is the file read.
    EXPECT_EQ(ReadBytes(tmp / "saved.kxs"), ReadBytes(tmp / "IN.kxs"));
    r = RunCli("estimate " + Quote(tmp / "IN.kxs") + " --save-input other.kxs", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out)[par::mass - 1], "mass\t6\tg");
    EXPECT_EQ(ReadBytes(tmp / "other.kxs"), ReadBytes(tmp / "IN.kxs"));
}

TEST(Cli, StandardOutput) {
    TempDir tmp;
    // The flight text on standard output is the exported file, byte for byte.
    const Result text = RunCli("fly --export -", tmp);
    EXPECT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(RunCli("fly --export flight.txt", tmp).status, 0);
    EXPECT_EQ(text.out, ReadBytes(tmp / "flight.txt"));
    EXPECT_GT(text.out.size(), 100000u);

    const Result full = RunCli("fly >/dev/full", tmp);
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "skarvel-cli: cannot write to standard output: No space left on device\n");
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(Cli, TrajectoryPictureIsTheWindowsDrawing) {
    TempDir tmp;
    Result r = RunCli("fly --trajectory T.SVG", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u);
    const std::string svg = ReadBytes(tmp / "T.SVG");
    // What the window shows after its start-up flight and fit.
    {
        Workspace ws;
        skarvel::app::PictureSurface<skarvel::picture::SvgCanvas> surface(560, 400);
        ws.viewport().setSurface(&surface);
        ws.viewport().prepare(560, 400);
        ws.runFromInput();
        ws.viewport().fitToTrajectory();
        EXPECT_EQ(svg, surface.shown().document());
        ws.viewport().setSurface(nullptr);
    }
    EXPECT_GT(Count(svg, "stroke=\"#F0F0F0\""), 500u);
    EXPECT_EQ(Count(svg, "<polyline "), 0u);

    // The ground track goes; the cursor's line to the ground stays, unless it
    // goes too.
    ASSERT_EQ(RunCli("fly --trajectory g.svg --no-ground", tmp).status, 0);
    EXPECT_EQ(Count(ReadBytes(tmp / "g.svg"), "stroke=\"#F0F0F0\""), 2u); // line and circle
    ASSERT_EQ(RunCli("fly --trajectory g.svg --no-ground --no-cursor-ground", tmp).status, 0);
    EXPECT_EQ(Count(ReadBytes(tmp / "g.svg"), "stroke=\"#F0F0F0\""), 0u);
    ASSERT_EQ(RunCli("fly --trajectory v.svg --verticals", tmp).status, 0);
    EXPECT_GT(Count(ReadBytes(tmp / "v.svg"), "<polyline "), 100u);

    // Size, angles (limited) and the marker (limited to the flight) change it.
    ASSERT_EQ(RunCli("fly --trajectory s.svg --size 800x600", tmp).status, 0);
    EXPECT_EQ(data::SplitLines(ReadBytes(tmp / "s.svg"))[1],
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"600\" "
              "viewBox=\"0 0 800 600\">");
    ASSERT_EQ(RunCli("fly --trajectory a.svg --angles 500,-7", tmp).status, 0);
    ASSERT_EQ(RunCli("fly --trajectory b.svg --angles 180,0", tmp).status, 0);
    EXPECT_EQ(ReadBytes(tmp / "a.svg"), ReadBytes(tmp / "b.svg"));
    EXPECT_NE(ReadBytes(tmp / "a.svg"), svg);
    ASSERT_EQ(RunCli("fly --trajectory m.svg --marker -5", tmp).status, 0);
    EXPECT_EQ(ReadBytes(tmp / "m.svg"), svg);
    ASSERT_EQ(RunCli("fly --trajectory m.svg --marker 1000", tmp).status, 0);
    EXPECT_NE(ReadBytes(tmp / "m.svg"), svg);
}

TEST(Cli, FailedFlightExitsWithOne) {
    TempDir tmp;
    WriteInputFile(tmp / "calm.kxs", {{in::ThermalRadius, "0"}});
    const Result r = RunCli("fly calm.kxs --trajectory calm.svg", tmp);
    EXPECT_EQ(r.status, 1) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "1\tError");
    // The picture of what the record holds is written all the same.
    EXPECT_EQ(Count(ReadBytes(tmp / "calm.svg"), "<rect "), 1u);
}

// A measured track: its line after the history lines, the rows left out on
// standard error, a track that cannot be read refused before any flight.
TEST(Cli, FlyAgainstAMeasuredTrack) {
    TempDir tmp;
    skarvel::data::WriteFileBytes(tmp / "track.tsv", "t\tx [cm]\th [cm]\n0\t0\t200\n"
                                                     "1\t400\t500\nbad\t1\t1\n");
    const Result r = RunCli("fly --measured track.tsv", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].rfind("measured\t2\t", 0), 0u) << lines[2];
    EXPECT_EQ(r.err,
              "skarvel-cli: track.tsv: left out: line 4, column t: \"bad\" is not a number\n");
    skarvel::data::WriteFileBytes(tmp / "bad.csv", "t,x,y\n0,0,0\n");
    const Result refused = RunCli("fly --measured bad.csv", tmp);
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_EQ(RunCli("fly --measured track.tsv --measured-unit ft", tmp).status, 2);
}

// A flight's own export is a track: the fit finds its launch speed again
// from tables that say otherwise, and a track no flight follows is said.
TEST(Cli, FitALaunchSpeedToTheFlightsOwnTrack) {
    TempDir tmp;
    ASSERT_EQ(RunCli("fly --export flight.txt", tmp).status, 0);
    WriteInputFile(tmp / "fast.kxs", {{in::LaunchSpeed, "170"}});
    const Result r = RunCli("fit fast.kxs --measured flight.txt --vary 初速=100:200", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    const auto fit = Split(lines[0], '\t');
    ASSERT_EQ(fit.size(), 4u);
    EXPECT_EQ(fit[0] + fit[1], "fit初速");
    EXPECT_NEAR(std::stod(fit[2]), 150, 1e-3);
    EXPECT_EQ(lines[1].rfind("rms\t", 0), 0u);
    skarvel::data::WriteFileBytes(tmp / "odd.csv", "t,x,h\n0,0,2\n2,6,2\n4,12,5\n");
    const Result odd = RunCli("fit --measured odd.csv --vary 初速", tmp);
    EXPECT_NE(odd.err.find("does not follow the track"), std::string::npos) << odd.err;
    EXPECT_EQ(RunCli("fit --vary 初速", tmp).status, 2); // no track
}

// The shipped example track: the default glider launched at 140 km/h and 75
// degrees, filmed; the fit finds both from the default tables.
TEST(Cli, TheExampleTrackFitsItsLaunch) {
    TempDir tmp;
    const Result r =
        RunCli("fit --measured " + Quote(std::string(SKARVEL_EXAMPLES) + "/measured-default.csv") +
                   " --vary 初速 --vary 上下角",
               tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(std::stod(Split(lines[0], '\t')[2]), 140, 0.01);
    EXPECT_NEAR(std::stod(Split(lines[1], '\t')[2]), 75, 0.01);
}

// The analysis lines are the core's; here: the command, its input, --polar
// and the exit status.
TEST(Cli, AnalyseTheInputData) {
    TempDir tmp;
    Workspace ws;
    const Result plain = RunCli("analyse", tmp);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, skarvel::sim::StabilityText(ws.analysis().stability()) +
                             skarvel::sim::SettleText(ws.analysis().settling()));
    const Result polar = RunCli("analyse --polar", tmp);
    EXPECT_EQ(polar.out, plain.out + skarvel::sim::PolarText(ws.analysis().polar()));
    // --set writes a cell before the analysis.
    ws.sweeps().applySettings({"水平尾翼取付角=-1"});
    EXPECT_EQ(RunCli("analyse --set 水平尾翼取付角=-1", tmp).out,
              skarvel::sim::StabilityText(ws.analysis().stability()) +
                  skarvel::sim::SettleText(ws.analysis().settling()));

    WriteInputFile(tmp / "heavy.kxs", {{in::Mass, "0"}});
    const Result none = RunCli("analyse heavy.kxs", tmp);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(Lines(none.out)[0], "trim\tnone");
    EXPECT_EQ(RunCli("analyse --trajectory x.svg", tmp).status, 2);
}

// The sweep's points are the core's test; here: the command line, the CSV
// file, --best, and four shards through GNU parallel joined into the whole.
TEST(Cli, SweepToCsvAndShards) {
    TempDir tmp;
    const std::string vary = "--vary サーマル半径=0:20:20 --vary 上下角=40:80:20 ";
    const Result whole = RunCli("sweep " + vary + "-j 1 --out whole.csv --best 滞空時間", tmp);
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::string csv = ReadBytes(tmp / "whole.csv");
    const auto lines = Lines(csv);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "point,サーマル半径,上下角,滞空時間(s),最大高度(m),着地距離(m),"
                        "旋回半径(m),速度(m/s),沈下率(m/s),status");
    EXPECT_EQ(Split(lines[1], ',')[9], "Error");
    // --best: the longest flight's line after the sweep.
    EXPECT_EQ(whole.out.substr(0, 2), "5,") << whole.out;

    const auto parts = RunShell("parallel --will-cite \"$CLI\" sweep " + vary +
                                    "--quiet --shard {}/4 --out part{}.csv ::: 0 1 2 3 && "
                                    "(head -n 1 part0.csv; tail -q -n +2 part*.csv "
                                    "| sort -t, -k1,1n) > joined.csv",
                                tmp);
    EXPECT_EQ(parts.status, 0);
    EXPECT_EQ(ReadBytes(tmp / "joined.csv"), csv);

    // The option forms of getopt: a value attached to its option.
    const Result attached =
        RunCli("sweep --vary=サーマル半径=0:20:20 --vary 上下角=40:80:20 -j1 --out=same.csv", tmp);
    ASSERT_EQ(attached.status, 0) << attached.err;
    EXPECT_EQ(ReadBytes(tmp / "same.csv"), csv);
    EXPECT_EQ(RunCli("sweep " + vary + "--jobs=2 --out - --quiet", tmp).out, csv);
}

// Only failed points: no best line, but a word why.
TEST(Cli, SweepWithoutABestPoint) {
    TempDir tmp;
    const Result r = RunCli("sweep --vary サーマル半径=0 --best 滞空時間", tmp);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Lines(r.out).size(), 2u);
    EXPECT_EQ(r.err, "skarvel-cli: no best point: every point flown ended in \"Error\"\n");
}

// A reader that goes away ends the sweep with one message and exit status 2.
TEST(Cli, SweepIntoAClosedPipe) {
    TempDir tmp;
    const auto r = RunShell("{ \"$CLI\" sweep --vary 初速=100:200:0.01 2>err; echo $? >status; } "
                            "| head -n 2 >/dev/null; cat status err",
                            tmp);
    EXPECT_EQ(r.out, "2\nskarvel-cli: cannot write to standard output: Broken pipe\n");
}

// A file that cannot grow (a full disk) keeps the lines written before.
TEST(Cli, SweepOutKeepsItsLinesOnAFailedWrite) {
    TempDir tmp;
    const auto r = RunShell("trap '' XFSZ; ulimit -f 16; \"$CLI\" sweep --vary 初速=100:101:0.01 "
                            "-j1 --quiet --out part.csv 2>err; echo $?; cat err",
                            tmp);
    EXPECT_EQ(r.out.substr(0, 2), "2\n") << r.out;
    EXPECT_NE(r.out.find("File too large"), std::string::npos) << r.out;
    const auto lines = Lines(ReadBytes(tmp / "part.csv")); // each whole
    ASSERT_GT(lines.size(), 10u);
    EXPECT_LT(lines.size(), 102u);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        ASSERT_EQ(Split(lines[k], ',')[0], std::to_string(k - 1));
    }
}

// Ctrl-C ends a sweep with the rows finished so far, whole and in order
// (a background job of a script, which starts with Ctrl-C ignored, flies on).
TEST(Cli, InterruptedSweepKeepsItsRows) {
    TempDir tmp;
    const auto ignored = RunShell("\"$CLI\" sweep --vary 初速=100:102:0.01 -j1 --out all.csv & "
                                  "sleep 0.3; kill -INT $!; wait $!",
                                  tmp);
    EXPECT_EQ(ignored.status, 0);
    EXPECT_EQ(Lines(ReadBytes(tmp / "all.csv")).size(), 202u);
    // Interrupted once the first row is out.
    const auto r = RunShell("mkfifo rows; env --default-signal=INT \"$CLI\" sweep "
                            "--vary 初速=100:200:0.001 2>/dev/null >rows & "
                            "{ read -r head; read -r row; kill -INT $!; printf '%s\\n%s\\n' "
                            "\"$head\" \"$row\"; cat; } <rows >big.csv; wait $!",
                            tmp);
    EXPECT_EQ(r.status, 130);
    const auto lines = Lines(ReadBytes(tmp / "big.csv"));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_LT(lines.size(), 100002u);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const auto fields = Split(lines[k], ',');
        ASSERT_EQ(fields.size(), 9u) << k;
        EXPECT_EQ(fields[0], std::to_string(k - 1));
    }
}

// The pattern's geometry is the picture layer's test; here: the PDF's
// pages, paper and text layer as a PDF reader sees them, and a design
// without a pattern.
TEST(Cli, CuttingPatternAsPdf) {
    TempDir tmp;
    const std::string design = Quote(std::string(SKARVEL_EXAMPLES) + "/twin-fin.kx");
    // Written on the offscreen platform whatever the environment asks for:
    // here a display platform without a display.
    const auto r = RunShell("QT_QPA_PLATFORM=xcb DISPLAY= WAYLAND_DISPLAY= $CLI design " + design +
                                " --pattern p.pdf --paper A3 2>err.txt",
                            tmp);
    ASSERT_EQ(r.status, 0) << ReadBytes(tmp / "err.txt");
    EXPECT_EQ(ReadBytes(tmp / "err.txt"), "");
    EXPECT_NE(r.out.find("主翼面積"), std::string::npos); // the tables, as without a pattern
    const auto info = RunShell("pdfinfo p.pdf && pdftotext p.pdf -", tmp);
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("842 x 1191 pts (A3)"), std::string::npos) << info.out;
    for (const char* name : {"主翼", "水平尾翼", "垂直尾翼", "胴体", "1/1"}) {
        EXPECT_NE(info.out.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(RunCli("design " + design + " --pattern p.png", tmp).status, 2);
    // Bad usage: an extension alone (a hidden file), a name led by a dash,
    // --paper twice or without --pattern, copies that are no count.
    for (const std::string args :
         {"--pattern q.pdf --paper A5", "--pattern .svg", "--pattern=-q.pdf",
          "--pattern q.pdf --paper A3 --paper=A4", "--paper A3", "--pattern q.pdf --copies 0",
          "--pattern q.pdf --copies=2x", "--pattern q.pdf --copies 101", "--copies 2"}) {
        const Result bad = RunCli("design " + design + " " + args, tmp);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_EQ(bad.out, "") << args;
    }
    EXPECT_NE(RunCli("design " + design + " --pattern q.pdf --copies 0", tmp)
                  .err.find("--copies needs a number of copies 1..100, not \"0\""),
              std::string::npos);
    EXPECT_FALSE(fs::exists(tmp / ".svg"));
    EXPECT_FALSE(fs::exists(tmp / "-q.pdf"));
    EXPECT_FALSE(fs::exists(tmp / "q.pdf"));

    // A design whose tail has no span: the reason, exit 1, no file.
    data::Tables t;
    data::ResetTables(t);
    t.design.setCell(data::design::HorizontalTail, data::design::Span, "0");
    data::WriteDesignFile(tmp / "flat.kx", t.design, "", "");
    const Result none = RunCli("design flat.kx --pattern none.svg", tmp);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("水平尾翼の展開長が0以下のため、型紙を作れません"), std::string::npos)
        << none.err;
    EXPECT_FALSE(fs::exists(tmp / "none.svg"));
}

TEST(Cli, BadUsageAndUnreadableFiles) {
    TempDir tmp;
    WriteInputFile(tmp / "ok.kxs", {});
    fs::create_directory(tmp.path() / "folder.kxs");

    Result r = RunCli("fly " + Quote(tmp / "missing.kxs"), tmp);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.kxs"), std::string::npos) << r.err;

    for (const std::string args : {"",
                                   "glide",
                                   "fly --bogus",
                                   "fly --export",
                                   "estimate --export x.txt",
                                   "fly ok.kxs ok.kxs",
                                   "fly folder.kxs",
                                   "estimate missing.kxs",
                                   "estimate --trajectory x.svg",
                                   "fly --trajectory x.png",
                                   "fly --verticals",
                                   "fly --size 800x600",
                                   "fly --trajectory x.svg --size 800",
                                   "fly --trajectory x.svg --size 0x600",
                                   "fly --trajectory x.svg --size 800x+6",
                                   "fly --trajectory x.svg --angles 10",
                                   "fly --trajectory x.svg --angles 1,2,3",
                                   "fly --trajectory x.svg --marker 1.5",
                                   "fly --trajectory x.svg --marker",
                                   "fly --export=",
                                   "fly --no-ground=1",
                                   "estimate --help=1",
                                   "sweep --vary 初速=1 -j257",
                                   "sweep --vary 初速=1 -j 1 --jobs=2",
                                   "sweep --vary 初速=1 --shard 0/2 --shard 1/2"}) {
        r = RunCli(args, tmp);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    EXPECT_FALSE(fs::exists(tmp.path() / "x.txt"));
    EXPECT_FALSE(fs::exists(tmp.path() / "x.svg"));

    r = RunCli("estimate --save-input " + Quote(tmp / "no-such-folder/x.kxs"), tmp);
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

TEST(Cli, HelpAndVersion) {
    TempDir tmp;
    const Result help = RunCli("--help", tmp);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: skarvel-cli fly ", 0), 0u) << help.out;
    for (const std::string args : {"-h", "help", "fly --help", "design -h"}) {
        const Result r = RunCli(args, tmp);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out, help.out) << args;
        EXPECT_EQ(r.err, "") << args;
    }
    // Bad usage shows the same text, on standard error.
    const Result bad = RunCli("glide", tmp);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "skarvel-cli: unknown command \"glide\"\n" + help.out);

    const Result version = RunCli("--version", tmp);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "skarvel-cli " SKARVEL_VERSION "\n");
    EXPECT_EQ(version.err, "");
}

TEST(Cli, EmptyFileNamesAreRefused) {
    TempDir tmp;
    data::WriteFileBytes(tmp / "d.kx", ReadBytes(std::string(SKARVEL_EXAMPLES) + "/default.kx"));
    for (const std::string option :
         {"fly --export", "fly --trajectory", "fly --save-input", "estimate --save-design",
          "design d.kx --sketch", "design d.kx --save-input", "fly --design"}) {
        const Result r = RunCli(option + " ''", tmp);
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_EQ(r.out, "") << option;
        const std::string name = option.substr(option.rfind(' ') + 1);
        EXPECT_EQ(r.err.rfind("skarvel-cli: " + name + " needs a file name, not an empty one\n", 0),
                  0u)
            << r.err;
    }
    const Result r = RunCli("fly ''", tmp);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("skarvel-cli: an empty file name\n", 0), 0u) << r.err;
    // Nothing was written: no hidden .txt, .kxs, .kx or .svg.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(tmp.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"d.kx"});
}

} // namespace

TEST(Cli, DesignFilesAndTheDesignCommand) {
    TempDir tmp;
    const std::string example = std::string(SKARVEL_EXAMPLES) + "/default.kx";
    const Result design = RunCli("design " + Quote(example), tmp);
    EXPECT_EQ(design.status, 0) << design.err;
    // The computed-data table (caption, five values, unit), then the input data.
    const auto lines = Lines(design.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(24 + 37));
    EXPECT_EQ(lines[24], "風速\t0\tm/s");
    Workspace ws;
    ws.files().openDesignFile(example);
    auto expected = TableLines(ws.tables().computed, data::computed::Wing, data::computed::Whole,
                               data::computed::Unit);
    for (const std::string& line :
         TableLines(ws.tables().input, in::kValueColumn, in::kValueColumn, in::kUnitColumn)) {
        expected.push_back(line);
    }
    EXPECT_EQ(lines, expected);

    // estimate (and fly) take the design before the input data.
    const Result est = RunCli("estimate --design " + Quote(example) + " --save-design out", tmp);
    EXPECT_EQ(est.status, 0) << est.err;
    EXPECT_EQ(Lines(est.out)[par::mass - 1], "mass\t" + Split(lines[0], '\t').at(5) + "\tg");
    EXPECT_TRUE(fs::exists(tmp / "out.kx"));

    // A file that is no design file is refused like an unreadable one.
    data::WriteFileBytes(tmp / "bad.kx", "\"key\",\"value\"\r\n");
    const Result bad = RunCli("design bad.kx", tmp);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("bad.kx は KXファイルではありません。"), std::string::npos) << bad.err;
    EXPECT_EQ(RunCli("design", tmp).status, 2);
    EXPECT_EQ(RunCli("design missing.kx", tmp).status, 2);
}

TEST(Cli, AFailedDesignAndUnsavableCharactersAreReported) {
    TempDir tmp;
    // A byte that is no Shift-JIS character reads as U+FFFD, which cannot go back.
    data::WriteFileBytes(tmp / "flat.kx",
                         data::EncodeCp932("\"プログラム\",\"Tarnifold Ver0.4\"\r\n"
                                           "\"主翼展開長\",\"0\"\r\n\"コメント\",\"1") +
                             "\x80\"\r\n");
    const Result r = RunCli("design flat.kx --save-design out.kx", tmp);
    EXPECT_EQ(r.status, 1);
    const auto err = Split(r.err, '\n');
    ASSERT_EQ(err.size(), 3u) << r.err; // two lines and the final line feed
    EXPECT_NE(err[0].find("design computation failed"), std::string::npos) << r.err;
    EXPECT_NE(err[1].find("out.kx"), std::string::npos) << r.err;
    EXPECT_TRUE(err[1].ends_with(": \uFFFD")) << r.err;
    // Written all the same, with "?" for what Shift-JIS cannot hold.
    EXPECT_NE(ReadBytes(tmp / "out.kx").find("\"1?\""), std::string::npos);
}

TEST(Cli, MarkerRows) {
    TempDir tmp;
    const Result r = RunCli("fly --marker-time 0.075", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    // After the history lines, a blank line and the marker table at that time.
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u + 1 + 24);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "ポイントNo\t7\t");
    Workspace ws;
    ws.runFromInput();
    ws.marker().markSample(ws.marker().sampleAtTime(0.075));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              TableLines(ws.tables().marker, data::marker::kValueColumn, data::marker::kValueColumn,
                         data::marker::kUnitColumn));
    // A sample beyond the flight marks its end.
    const auto end = Lines(RunCli("fly --marker 99999", tmp).out);
    ASSERT_EQ(end.size(), 27u);
    EXPECT_EQ(end[3], "ポイントNo\t" + std::to_string(ws.record().lastIndex) + "\t");
    for (const std::string args :
         {"fly --marker 1 --marker-time 2", "fly --marker-time x", "fly --marker 1 --export -"}) {
        EXPECT_EQ(RunCli(args, tmp).status, 2) << args;
    }
}

TEST(Cli, MetafilePictures) {
    TempDir tmp;
    const std::string example = std::string(SKARVEL_EXAMPLES) + "/default.kx";
    ASSERT_EQ(RunCli("fly --trajectory t.emf", tmp).status, 0);
    ASSERT_EQ(RunCli("design " + Quote(example) + " --sketch s.wmf", tmp).status, 0);
    EXPECT_EQ(ReadBytes(tmp / "t.emf").substr(40, 4), " EMF");
    EXPECT_EQ(ReadBytes(tmp / "s.wmf").substr(0, 4), "\xD7\xCD\xC6\x9A");
}

// Every sample design flies for some seconds and is sketched as the window
// sketches it.
TEST(Cli, SampleDesignsFlyAndSketch) {
    TempDir tmp;
    for (const char* name : {"default", "two-stage", "twin-fin", "v-tail-sine"}) {
        const std::string path = std::string(SKARVEL_EXAMPLES) + "/" + name + ".kx";
        Result r = RunCli("fly --design " + Quote(path), tmp);
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(r.err, "") << name;
        EXPECT_GT(data::ParseRealStrict(Split(Lines(r.out)[1], '\t')[1]), 10.0) << name;

        r = RunCli("design " + Quote(path) + " --sketch " + name + ".svg", tmp);
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        Workspace ws;
        ws.files().openDesignFile(path);
        skarvel::picture::SvgCanvas canvas(300, 200);
        EXPECT_TRUE(skarvel::view::DrawDesignSketch(canvas, 300, 200, ws.aircraft(), true)) << name;
        EXPECT_EQ(ReadBytes(tmp / (std::string(name) + ".svg")), canvas.document()) << name;
    }

    data::WriteFileBytes(tmp / "d.kx", ReadBytes(std::string(SKARVEL_EXAMPLES) + "/default.kx"));
    ASSERT_EQ(RunCli("design d.kx --sketch big.SVG --size 600x400", tmp).status, 0);
    EXPECT_EQ(data::SplitLines(ReadBytes(tmp / "big.SVG"))[1],
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"600\" height=\"400\" "
              "viewBox=\"0 0 600 400\">");
    for (const std::string args :
         {"design d.kx --sketch x.png", "design d.kx --size 300x200", "fly --sketch x.svg",
          "estimate --sketch x.svg", "design d.kx --sketch x.svg --size 0x200",
          "design d.kx --sketch x.svg --angles 1,2", "design d.kx --sketch"}) {
        const Result r = RunCli(args, tmp);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_FALSE(fs::exists(tmp / "x.svg"));
}
