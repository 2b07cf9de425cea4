// Sweeps: what a variable means, the grid's order, and that every point is
// the flight the window would fly for those cells, whatever the threads do.

#include "app/sweep.h"
#include "app/workspace.h"
#include "data/tables.h"
#include "sim/summary.h"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using skarvel::app::ParseSweepVariable;
using skarvel::app::Sweep;
using skarvel::app::SweepError;
using skarvel::app::SweepGrid;
using skarvel::app::SweepRow;
using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace in = skarvel::data::input;

std::string Values(const std::string& spec) {
    std::string text;
    for (const std::string& v : ParseSweepVariable(spec).values) {
        text += v + " ";
    }
    return text;
}

std::string Refusal(const std::string& spec) {
    try {
        ParseSweepVariable(spec);
    } catch (const SweepError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(SweepVariables, ValuesAsTypedAndRefusals) {
    // TO is included within half a step; the decimals of FROM and STEP.
    EXPECT_EQ(Values("上下角=0:1:0.25"), "0.00 0.25 0.50 0.75 1.00 ");
    EXPECT_EQ(Values("初速=10:0:-5"), "10 5 0 ");
    EXPECT_EQ(Values("初速=0:10:3"), "0 3 6 9 ");
    EXPECT_EQ(Values("初速=0:11:3"), "0 3 6 9 12 ");
    EXPECT_EQ(Values("迎角=-0.3:0.3:0.1"), "-0.3 -0.2 -0.1 0.0 0.1 0.2 0.3 ");
    EXPECT_EQ(Values("初速=1e2"), "1e2 ");
    const auto cell = ParseSweepVariable("胴体/重心位置=50");
    EXPECT_TRUE(cell.design);
    EXPECT_EQ(cell.column, data::design::Fuselage);
    EXPECT_EQ(cell.row, data::design::CgPosition);

    EXPECT_EQ(Refusal("速さ=1"),
              "速さ: no input-data row or design cell (COLUMN/ROW) of that name");
    EXPECT_EQ(Refusal("翼/展開長=1"), "翼/展開長: no design column \"翼\"");
    EXPECT_EQ(Refusal("主翼/形式=1"), "主翼/形式: not a design cell that takes a number");
    EXPECT_EQ(Refusal("初速=1:2:0"), "初速: the step is 0");
    EXPECT_EQ(Refusal("初速=1:2:-1"), "初速: the step leads away from TO");
    EXPECT_EQ(Refusal("初速=1:2"), "初速: a range is FROM:TO:STEP, not \"1:2\"");
    EXPECT_EQ(Refusal("初速=x"), "初速: the value \"x\" is not a number");
    EXPECT_EQ(Refusal("初速=0:1e8:1"), "初速: 100000001 values, more than 10000000");
    EXPECT_EQ(Refusal("初速=0:1:1e-300"), "初速: too many values (more than 10000000)");
    EXPECT_EQ(Refusal("初速=-1e308:1e308:1e307"), "初速: the range from FROM to TO overflows");
    EXPECT_EQ(Refusal("初速=0:1.7e308:1e308"), "初速: the range's last value overflows");
    EXPECT_EQ(Refusal("初速"), "\"初速\": a variable is NAME=FROM:TO:STEP or NAME=VALUE");

    // The grid: the last variable fastest, no cell twice, at most 10^7 points.
    const SweepGrid grid({ParseSweepVariable("初速=1:2:1"), ParseSweepVariable("高度=5:7:1")});
    EXPECT_EQ(grid.size(), 6u);
    EXPECT_EQ(grid.valuesOf(4), (std::vector<std::string>{"2", "6"}));
    EXPECT_THROW(SweepGrid({ParseSweepVariable("初速=1"), ParseSweepVariable("初速=2")}),
                 SweepError);
    EXPECT_THROW(
        SweepGrid({ParseSweepVariable("初速=0:9999:1"), ParseSweepVariable("高度=0:9999:1")}),
        SweepError);
}

// The count a window shows for a refused range, when it can be told.
TEST(SweepVariables, TooManyValuesTellTheirCount) {
    for (const auto& [spec, count] :
         {std::pair{"初速=0:1e8:1", "100000001"}, std::pair{"初速=0:1:1e-300", ""}}) {
        try {
            skarvel::app::SweepValueCount(spec);
            ADD_FAILURE() << spec;
        } catch (const SweepError& e) {
            EXPECT_EQ(e.reason(), SweepError::Reason::TooMany);
            EXPECT_EQ(e.part(), count);
        }
    }
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// 10^7 values cost no memory until a point asks for its own.
TEST(SweepVariables, ValuesAreMadeWhenAskedFor) {
    const std::size_t before = ResidentBytes();
    const auto v = ParseSweepVariable("初速=0:0.9999999:0.0000001");
    EXPECT_LT(ResidentBytes() - before, 8u << 20);
    ASSERT_EQ(v.values.size(), 10'000'000u);
    EXPECT_EQ(v.values[0], "0.0000000");
    EXPECT_EQ(v.values[1234567], "0.1234567");
    EXPECT_EQ(v.values[9'999'999], "0.9999999");
}

bool SameBits(const std::optional<skarvel::sim::FlightSummary>& a,
              const std::optional<skarvel::sim::FlightSummary>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    const auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
    return bits(a->airborneTime) == bits(b->airborneTime) &&
           bits(a->maxAltitude) == bits(b->maxAltitude) &&
           bits(a->landingDistance) == bits(b->landingDistance) && a->straight == b->straight &&
           bits(a->turnRadius) == bits(b->turnRadius) && bits(a->speed) == bits(b->speed) &&
           bits(a->sinkRate) == bits(b->sinkRate);
}

// Every row a sweep still gives, until it is finished.
std::vector<SweepRow> RestOfRows(Sweep& sweep) {
    std::vector<SweepRow> rows;
    while (!sweep.finished()) {
        for (SweepRow& r : sweep.takeRows(std::chrono::milliseconds(50))) {
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

// Every point equals the workspace's own flight of those cells, bit for bit,
// on one worker or two, and the shards together are the whole. A minimum
// drag of 0 flies on the design-based laws, each worker on its own copy.
TEST(Sweep, PointsAreTheWindowsFlightsInGridOrder) {
    Workspace ws;
    ws.editCell(skarvel::app::TableId::Input, in::kValueColumn, in::Altitude, "5");
    const SweepGrid grid({ParseSweepVariable("胴体/重心位置=50:60:10"),
                          ParseSweepVariable("サーマル半径=0:20:20"),
                          ParseSweepVariable("最小抗力係数=0:0.05:0.05")});
    std::vector<SweepRow> whole;
    for (const int workers : {1, 2}) {
        Sweep sweep(ws.sweeps().base(), grid, {workers});
        std::vector<SweepRow> rows = RestOfRows(sweep);
        ASSERT_EQ(rows.size(), grid.size());
        for (std::size_t k = 0; k < rows.size(); ++k) {
            EXPECT_EQ(rows[k].point, k);
            if (workers == 2) {
                EXPECT_TRUE(SameBits(rows[k].summary, whole[k].summary)) << k;
            }
        }
        whole = std::move(rows);
    }
    // サーマル半径 0 fails every flight.
    EXPECT_FALSE(whole[0].summary);
    EXPECT_TRUE(whole[2].summary);
    // The user's way: the design cell typed (Enter converts), then the input
    // cells, then a run from the input data.
    for (std::size_t k = 0; k < whole.size(); ++k) {
        Workspace window;
        const auto values = grid.valuesOf(k);
        const auto type = [&window](skarvel::app::TableId t, int column, int row,
                                    const std::string& text) {
            window.editCell(t, column, row, text);
        };
        type(skarvel::app::TableId::Input, in::kValueColumn, in::Altitude, "5");
        type(skarvel::app::TableId::Design, data::design::Fuselage, data::design::CgPosition,
             values[0]);
        window.convertToInput();
        type(skarvel::app::TableId::Input, in::kValueColumn, in::ThermalRadius, values[1]);
        type(skarvel::app::TableId::Input, in::kValueColumn, in::MinDrag, values[2]);
        window.runFromInput();
        const auto& rows = window.history().rows();
        ASSERT_EQ(rows.size(), 1u);
        if (!whole[k].summary) {
            EXPECT_FALSE(rows[0].hasInputs()) << k;
        } else {
            EXPECT_TRUE(SameBits(whole[k].summary,
                                 skarvel::sim::Summarize(window.record(), window.statistics())))
                << k;
        }
        // A point chosen in the sweep's results flies the same.
        Workspace chosen;
        chosen.editCell(skarvel::app::TableId::Input, in::kValueColumn, in::Altitude, "5");
        ASSERT_TRUE(chosen.sweeps().flyPoint(grid, k));
        EXPECT_EQ(chosen.history().rows()[0].cells, rows[0].cells) << k;
    }

    Sweep shard(ws.sweeps().base(), grid, {2, 1, 3});
    std::vector<std::size_t> points;
    while (!shard.finished()) {
        for (const SweepRow& r : shard.takeRows(std::chrono::milliseconds(50))) {
            points.push_back(r.point);
            EXPECT_TRUE(SameBits(r.summary, whole[r.point].summary));
        }
    }
    EXPECT_EQ(points, (std::vector<std::size_t>{1, 4, 7}));
}

// One worker and two give the same bits over a grid of design-based
// flights large enough that workers sharing anything a flight writes (the
// model, its laws' caches) would show in some row.
TEST(Sweep, OneWorkerOrTwoFlyTheSameBits) {
    Workspace ws;
    ws.editCell(skarvel::app::TableId::Input, in::kValueColumn, in::Altitude, "3");
    ws.editCell(skarvel::app::TableId::Input, in::kValueColumn, in::MinDrag, "0");
    const SweepGrid grid(
        {ParseSweepVariable("胴体/重心位置=20:34:1"), ParseSweepVariable("主翼/上反角=0:18:2")});
    ASSERT_EQ(grid.size(), 150u);
    std::vector<SweepRow> one;
    for (const int workers : {1, 2}) {
        Sweep sweep(ws.sweeps().base(), grid, {workers});
        std::vector<SweepRow> rows = RestOfRows(sweep);
        ASSERT_EQ(rows.size(), grid.size());
        if (workers == 2) {
            int differ = 0;
            for (std::size_t k = 0; k < rows.size(); ++k) {
                differ += SameBits(rows[k].summary, one[k].summary) ? 0 : 1;
            }
            EXPECT_EQ(differ, 0);
        }
        one = std::move(rows);
    }
}

TEST(Sweep, CancelledRowsEndWithoutAGap) {
    Workspace ws;
    const SweepGrid grid({ParseSweepVariable("初速=100:200:0.01")});
    Sweep sweep(ws.sweeps().base(), grid, {2});
    std::vector<SweepRow> rows = sweep.takeRows(std::chrono::milliseconds(2000));
    ASSERT_FALSE(rows.empty());
    sweep.cancel();
    for (SweepRow& r : RestOfRows(sweep)) {
        rows.push_back(std::move(r));
    }
    EXPECT_LT(rows.size(), grid.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].point, k);
    }
    EXPECT_EQ(sweep.progress().total, grid.size());
}

// A reader that stops taking rows stops the workers a window ahead of it,
// and a sweep ended then does not wait for them.
TEST(Sweep, WorkersWaitForTheReader) {
    Workspace ws;
    const SweepGrid grid({ParseSweepVariable("初速=100:101:0.01")});
    skarvel::app::SweepOptions options{2};
    options.window = 3;
    Sweep sweep(ws.sweeps().base(), grid, options);
    // Waits for `done` points (on a loaded machine, under a sanitizer, as
    // long as it takes), then a while longer: no worker goes beyond them.
    const auto reach = [&sweep](std::size_t done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sweep.progress().done < done && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return sweep.progress().done;
    };
    EXPECT_EQ(reach(3), 3u);
    EXPECT_EQ(sweep.takeRows().size(), 3u);
    EXPECT_EQ(reach(6), 6u);
}

// When the system refuses threads, the sweep flies on those that started;
// without any it fails at once.
TEST(Sweep, RefusedWorkerThreads) {
    Workspace ws;
    const SweepGrid grid({ParseSweepVariable("初速=100:100.1:0.01")});
    int started = 0;
    skarvel::app::SweepOptions options{3};
    options.startThread = [&started](std::function<void()> work) {
        if (started == 1) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        ++started;
        return std::jthread(std::move(work));
    };
    {
        Sweep sweep(ws.sweeps().base(), grid, options);
        EXPECT_EQ(sweep.workers(), 1);
        EXPECT_EQ(sweep.workersWanted(), 3);
        EXPECT_FALSE(sweep.workerFailure().empty());
        EXPECT_EQ(RestOfRows(sweep).size(), grid.size());
    }
    EXPECT_THROW(Sweep(ws.sweeps().base(), grid, options), std::runtime_error);
}

// A fault of the program in one point (here a logic error) is no "Error"
// row: it ends the sweep after the rows before it, and the caller gets it.
TEST(Sweep, AProgramFaultEndsTheSweep) {
    Workspace ws;
    const SweepGrid grid({ParseSweepVariable("初速=100:100.2:0.01")});
    for (const int workers : {1, 2}) {
        skarvel::app::SweepOptions options{workers};
        options.flyPoint = [](const auto& base, const auto& g, std::size_t point, auto& record) {
            if (point == 5) {
                throw std::logic_error("point 5");
            }
            return skarvel::app::FlySweepPoint(base, g, point, record);
        };
        Sweep sweep(ws.sweeps().base(), grid, options);
        std::vector<SweepRow> rows = RestOfRows(sweep);
        ASSERT_EQ(rows.size(), 5u) << workers;
        EXPECT_TRUE(rows.back().summary);
        ASSERT_TRUE(sweep.fault());
        EXPECT_THROW(std::rethrow_exception(sweep.fault()), std::logic_error);
    }
}

TEST(Sweep, CsvAndTheBestPoint) {
    SweepRow flown{3, {"1.5", "x,\"y\""}, skarvel::sim::FlightSummary{}};
    flown.summary->airborneTime = 0.1;
    flown.summary->straight = true;
    const SweepRow failed{4, {"2", "z"}, std::nullopt};
    EXPECT_EQ(skarvel::app::SweepCsvLine(flown), "3,1.5,\"x,\"\"y\"\"\",0.1,0,0,直線,0,0,\n");
    EXPECT_EQ(skarvel::app::SweepCsvLine(failed), "4,2,z,,,,,,,Error\n");
    // A figure named with or without its unit.
    using skarvel::app::SummaryFigure;
    EXPECT_EQ(skarvel::app::SummaryFigureNamed("滞空時間(s)"), SummaryFigure::AirborneTime);
    EXPECT_EQ(skarvel::app::SummaryFigureNamed("旋回半径"), SummaryFigure::TurnRadius);
    EXPECT_FALSE(skarvel::app::SummaryFigureNamed("高さ"));
    // A straight flight's radius is the largest; an error row is never best.
    SweepRow turning = flown;
    turning.summary->straight = false;
    turning.summary->turnRadius = 1e9;
    EXPECT_TRUE(skarvel::app::BetterRow(flown, turning, SummaryFigure::TurnRadius));
    EXPECT_TRUE(skarvel::app::BetterRow(turning, failed, SummaryFigure::SinkRate));
    EXPECT_FALSE(skarvel::app::BetterRow(failed, turning, SummaryFigure::SinkRate));
}

} // namespace
