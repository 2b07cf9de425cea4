// The main window's state and commands, driven without a display.

#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/input_file.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "picture/recording_canvas.h"
#include "sim/text_export.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using skarvel::app::FlightView;
using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace in = skarvel::data::input;
namespace par = skarvel::data::param;

using skarvel::test::TempDir;

// Makes a folder the current one for the scope of a test.
class CurrentDir {
  public:
    explicit CurrentDir(const fs::path& dir) : saved_(fs::current_path()) { fs::current_path(dir); }
    ~CurrentDir() { fs::current_path(saved_); }

  private:
    fs::path saved_;
};

std::string ReadBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Cells(const data::Table& t) {
    std::vector<std::string> cells;
    for (int r = 0; r < t.rowCount(); ++r) {
        for (int c = 0; c < t.columnCount(); ++c) {
            cells.push_back(t.cell(c, r));
        }
    }
    return cells;
}

std::string Input(const Workspace& ws, int row) {
    return ws.tables().input.cell(in::kValueColumn, row);
}
void SetInput(Workspace& ws, int row, std::string text) {
    ws.editCell(skarvel::app::TableId::Input, in::kValueColumn, row, std::move(text));
}

// An input-data file holding the default rows with some values replaced.
void WriteInputFile(const fs::path& path, std::vector<std::pair<int, std::string>> values) {
    Workspace ws;
    for (auto& [row, text] : values) {
        SetInput(ws, row, text);
    }
    data::WriteCp932Lines(path.string(), data::InputFileLines(ws.tables().input));
}

// The parameter values the estimate gives for the default input data.
std::vector<std::string> DefaultParameters() {
    Workspace ws;
    ws.estimate();
    return Cells(ws.tables().parameter);
}

// Calls back into the workspace from the once-per-second event processing.
class Meddler : public FlightView {
  public:
    explicit Meddler(Workspace& ws) : ws_(ws) {}
    void secondElapsed() override {
        ++calls;
        sawBusy = sawBusy || ws_.busy();
        accepted = accepted || ws_.runFromInput() || ws_.runFromParameters() ||
                   ws_.historyCommands().rerun(0);
        if (calls == stopAt) {
            ws_.requestStop();
        }
    }
    int calls = 0;
    int stopAt = -1;
    bool sawBusy = false;
    bool accepted = false;

  private:
    Workspace& ws_;
};

TEST(WorkspaceRuns, StartUpFliesTheDefaultsAndNumbersRunsNewestFirst) {
    TempDir tmp;
    CurrentDir cwd(tmp.path());
    Workspace ws;
    EXPECT_EQ(ws.files().caption(), "Skarvel");
    EXPECT_TRUE(ws.history().rows().empty());
    EXPECT_EQ(ws.tables().parameter.cell(par::kValueColumn, par::S), "");

    // Without a start-up file the defaults fly; the row records what flew.
    ws.files().loadStartupInput({});
    ws.runFromInput();
    ASSERT_EQ(ws.history().rows().size(), 1u);
    const auto& row = ws.history().rows()[0];
    EXPECT_EQ(row.caption, "1");
    EXPECT_EQ(ws.files().caption(), "Skarvel");
    EXPECT_EQ(ws.dialogFiles().inputSave, "Skarvel.kxs");
    EXPECT_EQ(ws.tables().parameter.cell(par::kValueColumn, par::S), "45");
    ASSERT_TRUE(row.hasInputs());
    for (int r = 1; r < in::kRows; ++r) {
        EXPECT_EQ(row.cells[static_cast<std::size_t>(5 + r)], Input(ws, r));
    }
    EXPECT_GT(ws.record().lastIndex, 10);
    EXPECT_EQ(ws.record().sample(ws.record().lastIndex).z, 0.0);

    EXPECT_TRUE(ws.runFromInput());
    EXPECT_TRUE(ws.runFromInput());
    ASSERT_EQ(ws.history().rows().size(), 3u);
    EXPECT_EQ(ws.history().rows()[0].caption, "3");
    EXPECT_EQ(ws.history().rows()[1].caption, "2");
    EXPECT_EQ(ws.history().rows()[2].caption, "1");
    EXPECT_EQ(ws.history().rows()[0].cells, ws.history().rows()[2].cells);
}

TEST(WorkspaceRuns, RequestsDuringARunAreDroppedAndStopEndsAtAWholeSecond) {
    Workspace ws;
    ws.runFromInput();
    SetInput(ws, in::Altitude, "30");
    const auto inputs = Cells(ws.tables().input);

    Meddler meddler(ws);
    ws.setFlightView(&meddler);
    EXPECT_TRUE(ws.runFromInput());
    EXPECT_TRUE(meddler.sawBusy);
    EXPECT_FALSE(meddler.accepted);
    EXPECT_FALSE(ws.busy());
    ASSERT_EQ(ws.history().rows().size(), 2u);
    EXPECT_EQ(ws.history().rows()[0].caption, "2");
    EXPECT_EQ(Cells(ws.tables().input), inputs);
    // Events are processed once per simulated second of the flight.
    const double flown = ws.record().sample(ws.record().lastIndex).t;
    ASSERT_GT(flown, 1.0);
    EXPECT_EQ(meddler.calls, static_cast<int>(std::floor(flown)));

    // A stop asked for during the third second's events ends the flight there.
    SetInput(ws, in::Altitude, "500");
    Meddler stopper(ws);
    stopper.stopAt = 3;
    ws.setFlightView(&stopper);
    ws.runFromInput();
    EXPECT_EQ(stopper.calls, 3);
    const auto& rec = ws.record();
    const int n = rec.lastIndex;
    EXPECT_NEAR(rec.sample(n).t, 3.0, 1e-9);
    EXPECT_NEAR(rec.sample(n - 1).t, 3.0, 1e-9);
    EXPECT_LT(rec.sample(n).z, 0.0);
    EXPECT_EQ(ws.history().rows()[0].cells[0], "3");

    // The next run starts with the stop flag cleared.
    ws.setFlightView(nullptr);
    ws.runFromInput();
    EXPECT_GT(ws.record().sample(ws.record().lastIndex).t, 4.0);
}

bool HasNanOrInf(const std::vector<std::string>& cells) {
    for (std::string text : cells) {
        for (char& ch : text) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(WorkspaceRuns, FailedFlightsLeaveAnErrorRow) {
    Workspace ws;
    ws.runFromInput();
    // A thermal radius of 0 fails even without a thermal.
    SetInput(ws, in::ThermalRadius, "0");
    EXPECT_TRUE(ws.runFromInput());
    ASSERT_EQ(ws.history().rows().size(), 2u);
    const auto& error = ws.history().rows()[0];
    EXPECT_EQ(error.caption, "2");
    EXPECT_EQ(error.cells, std::vector<std::string>{"Error"});
    EXPECT_FALSE(ws.busy());
    EXPECT_FALSE(HasNanOrInf(Cells(ws.tables().input)));
    EXPECT_FALSE(HasNanOrInf(Cells(ws.tables().parameter)));
    EXPECT_FALSE(HasNanOrInf(Cells(ws.tables().marker)));

    // An error row has no inputs to restore.
    SetInput(ws, in::ThermalRadius, "20");
    const auto inputs = Cells(ws.tables().input);
    EXPECT_FALSE(ws.historyCommands().rerun(0));
    EXPECT_EQ(Cells(ws.tables().input), inputs);
    EXPECT_EQ(ws.history().rows().size(), 2u);
    EXPECT_EQ(ws.history().counter(), 2);

    // Without a mass the estimate stops and the flight cannot be computed.
    Workspace massless;
    SetInput(massless, in::Mass, "0");
    massless.runFromInput();
    ASSERT_EQ(massless.history().rows().size(), 1u);
    EXPECT_EQ(massless.history().rows()[0].caption, "1");
    EXPECT_EQ(massless.history().rows()[0].cells, std::vector<std::string>{"Error"});
    EXPECT_FALSE(HasNanOrInf(Cells(massless.tables().parameter)));

    // After a good run a failed estimate ends the run as an "Error" row
    // without flying: the record keeps the good flight.
    ASSERT_TRUE(ws.runFromInput());
    ASSERT_TRUE(ws.history().rows()[0].hasInputs());
    const int n = ws.record().lastIndex;
    const double landed = ws.record().sample(n).x;
    SetInput(ws, in::Mass, "0");
    ws.runFromInput();
    EXPECT_EQ(ws.history().rows()[0].cells, std::vector<std::string>{"Error"});
    EXPECT_EQ(ws.record().lastIndex, n);
    EXPECT_EQ(ws.record().sample(n).x, landed);
}

TEST(WorkspaceRuns, AFailedFlightShowsWhatItFlewInEveryView) {
    Workspace ws;
    skarvel::app::PictureSurface<skarvel::picture::RecordingCanvas> surface(400, 300);
    ws.viewport().setSurface(&surface);
    ws.viewport().prepare(400, 300);
    ws.runFromInput();
    const int n = ws.record().lastIndex;
    ws.marker().setTrackPosition(n / 2);
    ws.marker().showMarkerSample(n); // the mouse over a chart
    // What the picture shows: the calls since the whole area was last filled.
    const auto shownCalls = [&surface] {
        const std::vector<std::string> lines = surface.shown().lines();
        std::size_t calls = lines.size();
        for (std::size_t i = lines.size(); i-- > 0;) {
            if (lines[i].rfind("fill 0,0 400,300", 0) == 0) {
                calls = lines.size() - i;
                break;
            }
        }
        return calls;
    };
    const std::size_t flown = shownCalls();
    // The charts' points: each 50 ms sample once, those the run could not
    // report (1e308 fails before its first) given after it.
    struct ChartPoints : FlightView {
        std::vector<int> indices;
        void flightStarting() override { indices.clear(); }
        void stepDrawn(const skarvel::sim::FlightRecord&, int index, double) override {
            indices.push_back(index);
        }
    } charts;
    ws.setFlightView(&charts);
    for (const char* speed : {"1e30", "1e308"}) {
        SetInput(ws, in::LaunchSpeed, speed);
        ws.runFromInput();
        ASSERT_EQ(ws.history().rows()[0].cells, std::vector<std::string>{"Error"}) << speed;
        EXPECT_EQ(ws.history().selected(), 0);
        std::vector<int> every;
        for (int k = 0; k <= ws.record().lastIndex; k += 5) {
            every.push_back(k);
        }
        EXPECT_EQ(charts.indices, every) << speed;
        // The track bar and the marker keep within the failed flight's samples,
        // and the picture shows that flight, also once the cursor moves.
        const int failed = ws.record().lastIndex;
        EXPECT_LT(failed, n) << speed;
        EXPECT_EQ(ws.marker().trackMax(), failed) << speed;
        EXPECT_LE(ws.marker().trackPosition(), failed) << speed;
        EXPECT_LE(ws.marker().markerSample(), failed) << speed;
        ws.viewport().showCursorAt(ws.marker().trackPosition());
        EXPECT_LT(shownCalls(), flown / 10) << speed;
    }
    ws.setFlightView(nullptr);
}

TEST(WorkspaceRuns, RunFromParametersUsesTheEditedTable) {
    Workspace ws;
    ws.runFromInput();
    const auto first = ws.history().rows()[0].cells;
    auto& p = ws.tables().parameter;
    ASSERT_EQ(p.cell(par::kValueColumn, par::CD0), "0.05");
    ws.editCell(skarvel::app::TableId::Parameter, par::kValueColumn, par::CD0, "0.5");
    EXPECT_TRUE(ws.runFromParameters());
    EXPECT_EQ(p.cell(par::kValueColumn, par::CD0), "0.5");
    EXPECT_EQ(ws.inputSet().CD0, 0.5);
    const auto edited = ws.history().rows()[0].cells;
    EXPECT_NE(edited[0], first[0]);
    EXPECT_NE(edited[2], first[2]);

    EXPECT_TRUE(ws.runFromInput());
    EXPECT_EQ(p.cell(par::kValueColumn, par::CD0), "0.05");
    EXPECT_EQ(ws.history().rows()[0].cells, first);

    // A launch below the ground integrates nothing: the last flight stays.
    const int n = ws.record().lastIndex;
    const double t = ws.record().sample(n).t;
    SetInput(ws, in::Altitude, "-5");
    ws.runFromInput();
    EXPECT_EQ(ws.record().lastIndex, n);
    EXPECT_EQ(ws.record().sample(n).t, t);
}

TEST(WorkspaceHistory, RerunsRestoreInputsAndAddNoRow) {
    // The list's own rules (limit, numbering, error rows) are the history's
    // tests; here: a re-run flies a row's inputs again without a new row.
    Workspace ws;
    const auto& rows = ws.history().rows();
    ws.runFromInput();
    const int firstLast = ws.record().lastIndex;
    const double firstT = ws.record().sample(firstLast).t;

    SetInput(ws, in::WindSpeed, "3");
    SetInput(ws, in::LaunchSpeed, "100");
    SetInput(ws, in::Altitude, "5");
    ws.runFromInput();
    ASSERT_NE(ws.record().sample(ws.record().lastIndex).t, firstT);

    EXPECT_TRUE(ws.historyCommands().rerun(1));
    for (int r = 1; r < in::kRows; ++r) {
        EXPECT_EQ(Input(ws, r), in::kDefaults[r]);
    }
    EXPECT_EQ(Cells(ws.tables().parameter), DefaultParameters());
    EXPECT_EQ(ws.record().lastIndex, firstLast);
    EXPECT_EQ(ws.record().sample(firstLast).t, firstT);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "2");
    EXPECT_EQ(ws.history().counter(), 2);
    // The mark is gone afterwards: an ordinary run adds its row again.
    ws.runFromInput();
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_FALSE(ws.historyCommands().rerun(3));
    EXPECT_FALSE(ws.historyCommands().rerun(-1));
}

TEST(WorkspaceFiles, SaveReadAndRoundTripInputData) {
    TempDir tmp;
    Workspace ws;
    SetInput(ws, in::WindSpeed, "1.5");
    SetInput(ws, in::Altitude, "12");
    SetInput(ws, in::Mass, "5.25");
    const std::string name = ws.files().saveInputFile((tmp / "set").string());
    EXPECT_EQ(name, (tmp / "set.kxs").string());
    EXPECT_EQ(ws.files().caption(), "Skarvel - " + name);
    EXPECT_EQ(ws.dialogFiles().inputOpen, name);
    EXPECT_EQ(ws.dialogFiles().inputSave, name);

    EXPECT_EQ(ws.files().saveInputFile((tmp / "set.dat").string()), (tmp / "set.dat").string());
    EXPECT_TRUE(fs::exists(tmp / "set.dat"));
    // A dot in a folder name is no extension.
    fs::create_directory(tmp / "v1.2");
    EXPECT_EQ(ws.files().saveInputFile((tmp / "v1.2" / "plain").string()),
              (tmp / "v1.2" / "plain.kxs").string());
    {
        CurrentDir cwd(tmp.path());
        ws.files().saveInputFile("relative");
        EXPECT_EQ(ws.files().caption(),
                  "Skarvel - " + (fs::current_path() / "relative.kxs").string());
    }

    // Reading restores the table, refreshes the parameters and flies nothing.
    Workspace other;
    other.files().openInputFile(name);
    EXPECT_EQ(Cells(other.tables().input), Cells(ws.tables().input));
    EXPECT_EQ(other.files().caption(), "Skarvel - " + name);
    EXPECT_EQ(other.dialogFiles().inputOpen, name);
    EXPECT_EQ(other.dialogFiles().inputSave, name);
    EXPECT_TRUE(other.history().rows().empty());
    ws.estimate();
    EXPECT_EQ(Cells(other.tables().parameter), Cells(ws.tables().parameter));
    EXPECT_EQ(other.tables().parameter.cell(par::kValueColumn, par::mass), "5.25");

    // Files that cannot be read change nothing.
    const auto inputs = Cells(other.tables().input);
    const auto parameters = Cells(other.tables().parameter);
    const std::string caption = other.files().caption();
    fs::create_directory(tmp / "folder.kxs");
    std::vector<std::string> bad = {(tmp / "missing.kxs").string(), (tmp / "folder.kxs").string()};
    if (::geteuid() != 0) {
        fs::copy_file(name, tmp / "locked.kxs");
        fs::permissions(tmp / "locked.kxs", fs::perms::none);
        bad.push_back((tmp / "locked.kxs").string());
    }
    for (const auto& path : bad) {
        EXPECT_THROW(other.files().openInputFile(path), data::FileError) << path;
        EXPECT_EQ(Cells(other.tables().input), inputs) << path;
        EXPECT_EQ(Cells(other.tables().parameter), parameters) << path;
        EXPECT_EQ(other.files().caption(), caption) << path;
    }
    EXPECT_THROW(other.files().saveInputFile((tmp / "no-such-folder" / "x.kxs").string()),
                 data::FileError);
    // A path without a file name gets no extension that would name a hidden file.
    EXPECT_THROW(other.files().saveInputFile(tmp.path().string() + "/"), data::FileError);
    EXPECT_FALSE(fs::exists(tmp / ".kxs"));
}

TEST(WorkspaceFiles, DroppedFilesReadOnlyAFirstInputDataFile) {
    TempDir tmp;
    WriteInputFile(tmp / "a.kxs", {{in::WindSpeed, "1"}});
    WriteInputFile(tmp / "b.kxs", {{in::WindSpeed, "2"}});
    WriteInputFile(tmp / "design.kx", {{in::WindSpeed, "7"}});
    WriteInputFile(tmp / "CAPS.KXS", {{in::WindSpeed, "4"}});
    fs::create_directory(tmp / "dir.kxs");

    Workspace ws;
    const auto untouched = Cells(ws.tables().input);
    for (const auto& drop : std::vector<std::vector<fs::path>>{{tmp / "design.kx"},
                                                               {tmp / "design.kx", tmp / "a.kxs"},
                                                               {tmp / "dir.kxs"},
                                                               {tmp / "missing.kxs"},
                                                               {}}) {
        std::vector<std::string> names(drop.begin(), drop.end());
        EXPECT_FALSE(ws.files().dropFiles(names));
        EXPECT_EQ(Cells(ws.tables().input), untouched);
        EXPECT_EQ(ws.files().caption(), "Skarvel");
    }

    EXPECT_TRUE(ws.files().dropFiles({(tmp / "a.kxs").string(), (tmp / "b.kxs").string()}));
    EXPECT_EQ(Input(ws, in::WindSpeed), "1");
    EXPECT_EQ(ws.files().caption(), "Skarvel - " + (tmp / "a.kxs").string());
    EXPECT_EQ(ws.dialogFiles().inputOpen, (tmp / "a.kxs").string());
    EXPECT_EQ(ws.dialogFiles().inputSave, (tmp / "a.kxs").string());
    EXPECT_FALSE(ws.tables().parameter.cell(par::kValueColumn, par::S).empty());
    EXPECT_TRUE(ws.history().rows().empty());

    EXPECT_TRUE(ws.files().dropFiles({(tmp / "CAPS.KXS").string()}));
    EXPECT_EQ(Input(ws, in::WindSpeed), "4");
}

TEST(WorkspaceFiles, FlightTextExport) {
    // The format is the flight text's own; here: the name the file gets and
    // that it holds the last flight.
    TempDir tmp;
    Workspace ws;
    ws.runFromInput();
    const std::string name = ws.files().exportFlightText((tmp / "flight").string());
    EXPECT_EQ(name, (tmp / "flight.txt").string());
    const std::string bytes = ReadBytes(name);
    skarvel::sim::WriteFlightText((tmp / "expected.txt").string(), ws.record());
    EXPECT_EQ(bytes, ReadBytes(tmp / "expected.txt"));
    EXPECT_EQ(ws.files().exportFlightText((tmp / "flight.csv").string()),
              (tmp / "flight.csv").string());
    EXPECT_EQ(ReadBytes(tmp / "flight.csv"), bytes);
}

class WorkspaceStartUp : public ::testing::Test {
  protected:
    TempDir tmp;
    CurrentDir cwd{tmp.path()};
    fs::path here() const { return fs::current_path(); }
};

TEST_F(WorkspaceStartUp, ArgumentFileFolderAndDefaults) {
    WriteInputFile(here() / "Skarvel.kxs", {{in::WindSpeed, "5"}});
    WriteInputFile(here() / "X.KXS", {{in::WindSpeed, "2"}});
    WriteInputFile(here() / "design.kx", {{in::WindSpeed, "7"}});

    // An input-data file named first is read, whatever the case of its extension.
    Workspace upper;
    const std::string x = (here() / "X.KXS").string();
    upper.files().loadStartupInput({x});
    EXPECT_EQ(Input(upper, in::WindSpeed), "2");
    EXPECT_EQ(upper.files().caption(), "Skarvel - " + x);
    EXPECT_EQ(upper.dialogFiles().inputOpen, x);
    EXPECT_EQ(upper.dialogFiles().inputSave, x);

    // A design file as argument: the title-named file of the current folder.
    for (const std::string& arg : {std::string("design.kx"), std::string("missing.kxs")}) {
        Workspace ws;
        ws.files().loadStartupInput({arg});
        EXPECT_EQ(Input(ws, in::WindSpeed), "5") << arg;
        EXPECT_EQ(ws.files().caption(), "Skarvel - " + (here() / "Skarvel.kxs").string()) << arg;
        EXPECT_EQ(ws.dialogFiles().inputOpen, "Skarvel.kxs") << arg;
    }

    // A folder as argument becomes the current folder.
    fs::create_directory("sub");
    WriteInputFile(here() / "sub" / "Skarvel.kxs", {{in::WindSpeed, "6"}});
    const fs::path sub = here() / "sub";
    Workspace folder;
    folder.files().loadStartupInput({"sub"});
    folder.runFromInput();
    EXPECT_TRUE(fs::equivalent(fs::current_path(), sub));
    EXPECT_EQ(Input(folder, in::WindSpeed), "6");
    EXPECT_EQ(folder.files().caption(),
              "Skarvel - " + (fs::current_path() / "Skarvel.kxs").string());
    ASSERT_EQ(folder.history().rows().size(), 1u);
    EXPECT_EQ(folder.history().rows()[0].cells[6 + in::WindSpeed - 1], "6");
}

TEST_F(WorkspaceStartUp, FileBesideTheProgramGivesSilentDefaults) {
    fs::create_directories(here() / "prog");
    fs::create_directories(here() / "work");
    WriteInputFile(here() / "prog" / "skarvel.kxs", {{in::WindSpeed, "4"}, {in::Mass, "6"}});
    const std::string program = (here() / "prog" / "skarvel").string();
    fs::current_path(here() / "work");

    Workspace ws(program);
    ws.files().loadStartupInput({});
    ws.runFromInput();
    EXPECT_EQ(Input(ws, in::WindSpeed), "4");
    EXPECT_EQ(ws.tables().parameter.cell(par::kValueColumn, par::mass), "6");
    EXPECT_EQ(ws.files().caption(), "Skarvel");
    EXPECT_EQ(ws.dialogFiles().inputOpen, "Skarvel.kxs");
    EXPECT_EQ(ws.dialogFiles().inputSave, "Skarvel.kxs");
    ASSERT_EQ(ws.history().rows().size(), 1u);
    EXPECT_EQ(ws.history().rows()[0].cells[6 + in::WindSpeed - 1], "4");

    // The title-named file of the current folder comes first.
    WriteInputFile(fs::current_path() / "Skarvel.kxs", {{in::WindSpeed, "5"}});
    Workspace second(program);
    second.files().loadStartupInput({});
    EXPECT_EQ(Input(second, in::WindSpeed), "5");
    EXPECT_EQ(second.files().caption(),
              "Skarvel - " + (fs::current_path() / "Skarvel.kxs").string());

    // Without start-up loading nothing is looked for.
    Workspace plain(program);
    plain.runFromInput();
    EXPECT_EQ(Input(plain, in::WindSpeed), "0");
    EXPECT_EQ(plain.files().caption(), "Skarvel");
}

TEST(WorkspaceReset, RestoresTheTablesButNotHistoryOrCaption) {
    TempDir tmp;
    Workspace ws;
    ws.runFromInput();
    ws.files().saveInputFile((tmp / "kept.kxs").string());
    const std::string caption = ws.files().caption();
    SetInput(ws, in::WindSpeed, "9");
    SetInput(ws, in::Mass, "");
    ws.editCell(skarvel::app::TableId::Parameter, par::kValueColumn, par::CD0, "0.3");
    ws.editCell(skarvel::app::TableId::Marker, 1, 1, "12");
    ws.setComment("メモ");
    ws.runFromParameters();
    const auto history = ws.history().rows();

    ws.resetTables();
    for (int r = 1; r < in::kRows; ++r) {
        EXPECT_EQ(Input(ws, r), in::kDefaults[r]);
    }
    EXPECT_EQ(Cells(ws.tables().parameter), DefaultParameters());
    EXPECT_EQ(ws.tables().marker.cell(1, 1), "");
    EXPECT_EQ(ws.tables().design.cell(data::design::MainWing, data::design::PaperThickness),
              "0.630");
    EXPECT_EQ(ws.comment(), "");
    EXPECT_EQ(ws.files().caption(), caption);
    ASSERT_EQ(ws.history().rows().size(), history.size());
    for (std::size_t i = 0; i < history.size(); ++i) {
        EXPECT_EQ(ws.history().rows()[i].caption, history[i].caption);
        EXPECT_EQ(ws.history().rows()[i].cells, history[i].cells);
    }
}

} // namespace

namespace {

// Laws that fail as a program fault would, not as arithmetic.
struct BrokenLaws : skarvel::sim::DesignAeroLaws {
    struct Evaluation : skarvel::sim::AeroEvaluation {
        double wingMaxLift(double) override { throw std::logic_error("broken law"); }
        double tailMaxLift(double) override { return 0; }
        double flightDragCoefficient(double, double) override { return 0; }
        double stallPitchMoment(double, double) override { return 0; }
    };
    std::unique_ptr<skarvel::sim::AeroEvaluation> startEvaluation() const override {
        return std::make_unique<Evaluation>();
    }
};

// Plays the user during a flight: types into a cell and tries file commands.
class BusyUser : public FlightView {
  public:
    BusyUser(Workspace& ws, std::string file) : ws_(ws), file_(std::move(file)) {}
    void secondElapsed() override {
        SetInput(ws_, in::WindSpeed, "9");
        accepted =
            accepted || ws_.files().openInputFile(file_) || ws_.files().dropFiles({file_}) ||
            !ws_.files().saveInputFile(file_).empty() ||
            !ws_.files().exportFlightText(file_).empty() || ws_.resetTables() ||
            ws_.historyCommands().clear() || ws_.historyCommands().sort(1) ||
            ws_.files().openDesignFile(file_).status != data::DesignReadStatus::NotADesignFile;
    }
    bool accepted = false;

  private:
    Workspace& ws_;
    std::string file_;
};

} // namespace

TEST(WorkspaceRuns, ARunRecordsWhatItFlewAndRefusesFileCommands) {
    TempDir dir;
    const std::string file = dir.file("other.kxs");
    WriteInputFile(file, {{in::Altitude, "77"}});
    const std::string before = ReadBytes(file);
    Workspace ws;
    SetInput(ws, in::Altitude, "30");
    BusyUser user(ws, file);
    ws.setFlightView(&user);
    ws.runFromInput();
    EXPECT_FALSE(user.accepted);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(Input(ws, in::Altitude), "30");
    // The row holds the wind the flight loaded; the table what was typed.
    ASSERT_EQ(ws.history().rows().size(), 1u);
    EXPECT_EQ(ws.history().rows()[0].cells[6 + in::WindSpeed - 1], "0");
    EXPECT_EQ(Input(ws, in::WindSpeed), "9");
}

TEST(WorkspaceRuns, OnlyArithmeticFailuresBecomeErrorRows) {
    Workspace ws;
    ws.runFromInput();
    BrokenLaws laws;
    ws.setDesignLaws(&laws);
    ws.editCell(skarvel::app::TableId::Parameter, par::kValueColumn, par::CD0, "0");
    EXPECT_THROW(ws.runFromParameters(), std::logic_error);
    EXPECT_FALSE(ws.busy());
    EXPECT_EQ(ws.history().rows().size(), 1u);
    EXPECT_TRUE(ws.runFromInput()); // not stuck busy
}

TEST(WorkspaceRuns, AFailedDesignDoesNotFly) {
    Workspace ws;
    EXPECT_EQ(ws.designFailure(), "");
    // A failed computation is said, naming the part, until one succeeds.
    namespace dz = skarvel::data::design;
    for (const auto& [column, part] :
         {std::pair{dz::Fuselage, "胴体"}, std::pair{dz::MainWing, "主翼"}}) {
        ws.editCell(skarvel::app::TableId::Design, column, dz::Span, "0");
        ASSERT_FALSE(ws.computeDesign());
        EXPECT_EQ(ws.designFailure(), std::string("設計の再計算に失敗しました（") + part +
                                          "）。KXデータ、設計スケッチと入力データは前回の計算の"
                                          "ままです。");
    }
    ws.editCell(skarvel::app::TableId::Design, dz::Fuselage, dz::Span, "150");
    ws.editCell(skarvel::app::TableId::Design, dz::MainWing, dz::Span, "170");
    ASSERT_TRUE(ws.computeDesign());
    EXPECT_EQ(ws.designFailure(), "");
    ws.editCell(skarvel::app::TableId::Design, dz::MainWing, dz::Span, "0");
    ASSERT_FALSE(ws.computeDesign());
    ws.estimate();
    ws.editCell(skarvel::app::TableId::Parameter, par::kValueColumn, par::CD0, "0");
    ws.runFromParameters();
    ASSERT_EQ(ws.history().rows().size(), 1u);
    EXPECT_EQ(ws.history().rows()[0].cells, std::vector<std::string>{"Error"});
    // The simple laws need no design.
    ws.editCell(skarvel::app::TableId::Parameter, par::kValueColumn, par::CD0, "0.05");
    ws.runFromParameters();
    EXPECT_TRUE(ws.history().rows()[0].hasInputs());
}

TEST(WorkspaceFiles, UnsavableCharactersAreNamedBeforeASave) {
    Workspace ws;
    SetInput(ws, in::WindSpeed, "€1𠮷€");
    ws.setComment("ﾋﾉｷ①髙");
    EXPECT_EQ(ws.files().unsavableInputCharacters(), (std::vector<std::string>{"€", "𠮷"}));
    EXPECT_TRUE(ws.files().unsavableDesignCharacters("glider").empty());
    // The file's own name goes into a design file as the glider's name.
    EXPECT_EQ(ws.files().unsavableDesignCharacters("glider€.kx"), std::vector<std::string>{"€"});
}

// The analysis works on a copy of the tables; flying from the trim writes the
// launch rows and flies as Enter in the input data would, from the table's
// altitude and heading.
TEST(WorkspaceAnalysis, FlyFromTheTrimOrAnExcitedMode) {
    Workspace ws;
    SetInput(ws, in::Altitude, "20");
    SetInput(ws, in::Heading, "30");
    const auto inputs = Cells(ws.tables().input);
    const skarvel::sim::StabilityAnalysis analysis = ws.analysis().stability();
    ASSERT_TRUE(analysis.trim);
    EXPECT_EQ(Cells(ws.tables().input), inputs);
    EXPECT_FALSE(ws.analysis().flyFromTrim(analysis.modes.size()));
    EXPECT_TRUE(ws.history().rows().empty());

    EXPECT_TRUE(ws.analysis().flyFromTrim());
    ASSERT_EQ(ws.history().rows().size(), 1u);
    EXPECT_NE(Input(ws, in::LaunchSpeed),
              inputs[static_cast<std::size_t>(in::LaunchSpeed) * 3 + 1]);
    EXPECT_EQ(Input(ws, in::Altitude), "20");
    EXPECT_EQ(Input(ws, in::Heading), "30");
    // Launched in the steady glide, the glider stays in it.
    const auto speed = [&ws](int k) {
        const auto& s = ws.record().sample(k);
        return std::hypot(s.u, s.v, s.w);
    };
    ASSERT_GT(ws.record().lastIndex, 1000);
    EXPECT_NEAR(speed(1000), analysis.trim->V, 1e-6);
    EXPECT_TRUE(ws.analysis().flyFromTrim(0));
    EXPECT_GT(std::fabs(speed(100) - analysis.trim->V), 1e-3);

    SetInput(ws, in::Mass, "0");
    EXPECT_FALSE(ws.analysis().flyFromTrim());
    EXPECT_EQ(ws.history().rows().size(), 2u);
}

TEST(FileCommands, CommentKeptWithCrLfShownWithLineFeeds) {
    EXPECT_EQ(skarvel::app::CommentShown("a\r\nb\rc\r\n"), "a\nb\rc\n");
    EXPECT_EQ(skarvel::app::CommentKept("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(skarvel::app::CommentKept(skarvel::app::CommentShown("x\r\ny")), "x\r\ny");
}
