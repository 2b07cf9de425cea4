// skarvel-cli: the flight core without a window. Tab-separated UTF-8 on
// stdout, one-line errors on stderr; exit 0 on success, 1 when the flight
// ended in "Error" or the design computation failed, 2 on bad usage, a file
// that cannot be read or written, or standard output that cannot be written.

#include "app/advice.h"
#include "app/fit.h"
#include "app/measured.h"
#include "app/modules.h"
#include "app/optimise.h"
#include "app/sweep.h"
#include "app/trajectory_surface.h"
#include "app/workspace.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "picture/medium.h"
#include "picture/pattern_file.h"
#include "picture/recording_canvas.h"
#include "sim/analysis_text.h"
#include "sim/text_export.h"
#include "view/pattern.h"
#include "view/sketch.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace sim = skarvel::sim;
namespace view = skarvel::view;
namespace picture = skarvel::picture;
using skarvel::app::Option;

constexpr int kOk = 0;
constexpr int kFlightError = 1;
constexpr int kUsage = 2;
// The most workers a sweep takes: far more threads than any machine's cores
// only cost memory.
constexpr int kMaxJobs = 256;

const char* const kUsageText =
    "usage: skarvel-cli fly [INPUT.kxs] [--design DESIGN.kx] [--export FILE.txt|-]\n"
    "                       [--save-input FILE.kxs] [--save-design FILE.kx]\n"
    "                       [--marker I | --marker-time T] [--set NAME=VALUE ...]\n"
    "                       [--trajectory FILE.svg|.emf|.wmf [--size WxH] [--angles A,B]\n"
    "                        [--no-ground] [--verticals] [--no-cursor-ground]]\n"
    "                       [--measured FILE.csv|.tsv [--measured-unit mm|cm|m]]\n"
    "       skarvel-cli estimate [INPUT.kxs] [--design DESIGN.kx] [--save-input FILE.kxs]\n"
    "                       [--save-design FILE.kx]\n"
    "       skarvel-cli analyse [INPUT.kxs] [--design DESIGN.kx] [--polar]\n"
    "                       [--set NAME=VALUE ...]\n"
    "       skarvel-cli advise [INPUT.kxs] [--design DESIGN.kx] [--set NAME=VALUE ...]\n"
    "       skarvel-cli optimise [INPUT.kxs] [--design DESIGN.kx]\n"
    "                       (--maximise FIGURE | --minimise FIGURE) --vary NAME=FROM:TO ...\n"
    "                       [--require stable|unstalled|margin>=X ...] [-j N] [--seed S]\n"
    "                       [--budget EVALS] [--out BEST.kx|BEST.kxs]\n"
    "       skarvel-cli fit [INPUT.kxs] [--design DESIGN.kx] --measured FILE\n"
    "                       [--measured-unit mm|cm|m] --vary NAME[=FROM:TO] ...\n"
    "       skarvel-cli sweep [INPUT.kxs] [--design DESIGN.kx] --vary NAME=FROM:TO:STEP ...\n"
    "                       [-j N | --jobs N] [--shard I/N] [--out FILE.csv|-]\n"
    "                       [--best FIGURE] [--quiet]\n"
    "       skarvel-cli design DESIGN.kx [--save-input FILE.kxs] [--save-design FILE.kx]\n"
    "                       [--sketch FILE.svg|.emf|.wmf [--size WxH]]\n"
    "                       [--pattern FILE.pdf|.svg|.emf|.wmf [--paper A4|A3|B5|Letter]\n"
    "                        [--copies N]]\n"
    "       skarvel-cli help | --help | -h   (this text)\n"
    "       skarvel-cli --version\n"
    "An option's value may be attached: --out=FILE, --jobs=N, -jN.\n"
    "--export - writes the flight text (CP932, CR LF) to standard output instead of\n"
    "the history lines.\n"
    "--trajectory writes the trajectory view as the window shows it after the flight\n"
    "and a fit: WxH in pixels (560x400), view angles A (-180..180) and B (0..90)\n"
    "(0,20), the flight cursor at the marker (sample 0).\n"
    "--marker I (a sample, limited to the flight) or --marker-time T (the sample\n"
    "nearest to T seconds) prints the marker table's rows after the history lines.\n"
    "--measured reads a track (CSV or TSV: t, x, optional y, h or z; units in the\n"
    "header, e.g. \"x [cm]\", else --measured-unit, else m) and prints after the\n"
    "history lines: measured N RMS MAX (the points used, RMS and largest distance\n"
    "in m from the flight, outliers left out); rows that cannot be read are named\n"
    "on standard error and left out.\n"
    "fit adjusts the --vary cells (within FROM..TO when given) so that the flight\n"
    "follows the measured track (least squares, a robust loss): fit NAME VALUE\n"
    "STDERR per cell, then rms BEFORE AFTER (m); warnings when the track does not\n"
    "determine a value or the flight cannot follow it.\n"
    "--sketch writes the design sketch as the window shows it: WxH in pixels (300x200).\n"
    "--set NAME=VALUE (fly, analyse, advise) writes a value into an input-data row\n"
    "(its caption) or a design cell (COLUMN/ROW, needs --design) before the flight\n"
    "or the analysis, as sweep does for a point.\n"
    "sweep flies every point of the grid (the last --vary varying fastest) on -j\n"
    "workers (1..256, default: every core) and writes CSV; --shard I/N keeps the\n"
    "points whose index mod N is I; --best prints the best point's line (largest\n"
    "FIGURE, least 沈下率); Ctrl-C ends it with the finished rows written (exit 130).\n"
    "--pattern takes a name before the extension that does not start with \"-\";\n"
    "--paper and --copies need --pattern; --copies N (1..100) puts N of every piece\n"
    "on the pattern's sheets, for a class.\n"
    "analyse prints the steady glide (trim), the static margin and the modes about\n"
    "it, where the launch settles when flown in still air from 1000 m for up to\n"
    "600 s (settles glide|cycle|divergence|ground) and every steady glide found\n"
    "(equilibrium); --polar adds the glide polar over the tail setting. Exit 1 when\n"
    "the glide does not trim.\n"
    "advise prints for each setting a builder changes (centre of gravity, tail\n"
    "setting, dihedral, fin) the range where the glider trims unstalled with every\n"
    "mode decaying, the best glide ratio's value and what ends the range:\n"
    "setting NAME CURRENT LOW HIGH BEST LOWLIMIT HIGHLIMIT (and ballast G_AT_LOW\n"
    "G_AT_HIGH G_AT_BEST for a design's centre of gravity). Exit 1 when the tables\n"
    "as they are do not trim.\n"
    "optimise finds the values of the --vary cells (each within FROM..TO) that give\n"
    "the largest or least FIGURE (a history figure of the flight, glide-ratio, sink\n"
    "or settled-sink) under the requirements, in at most EVALS evaluations (200):\n"
    "best, start, a value line per cell and evaluations; the same for a seed\n"
    "whatever -j is. Ctrl-C stops with the best so far (exit 130); exit 1 when no\n"
    "point meets the requirements.\n";

// An RMS distance after a fit above which the flight does not follow the
// track (a tracked video is good to a few millimetres).
constexpr double kFitMismatch = 0.1; // m

// Everything for standard output is gathered here and written at the end, so
// that a failed write is seen and reported with its reason.
std::string out;

struct Options {
    std::string command;
    std::optional<std::string> input;
    std::optional<std::string> exportFile;
    std::optional<std::string> saveInput;
    std::optional<std::string> design;
    std::optional<std::string> saveDesign;
    // The trajectory picture and how it is drawn.
    std::optional<std::string> trajectory;
    int width = 560;
    int height = 400;
    int angleA = 0;
    int angleB = 20;
    // The design sketch picture.
    std::optional<std::string> sketch;
    // The marker: a sample, or the sample nearest to a time.
    std::optional<int> marker;
    std::optional<double> markerTime;
    bool groundTrack = true;
    bool spanVerticals = false;
    bool cursorGround = true;
    bool polar = false;
    // Sweeps and settings.
    std::vector<std::string> vary;
    std::vector<std::string> settings;
    int jobs = 0;
    std::size_t shard = 0;
    std::size_t shards = 1;
    std::optional<std::string> outFile;
    std::optional<std::string> best;
    bool quiet = false;
    // The optimiser.
    std::optional<std::string> measured;
    std::optional<double> measuredUnit;
    std::optional<std::string> maximise;
    std::optional<std::string> minimise;
    std::vector<std::string> require;
    std::uint64_t seed = 1;
    int budget = 200;
    // The cutting pattern.
    std::optional<std::string> pattern;
    view::PaperSize paper = view::PaperSize::A4;
    int copies = 1;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

constexpr std::pair<int, int> kAnyInt{std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()};

// A whole decimal integer (an optional minus sign, then digits) in
// min..max; nothing else. An argument is one shell word, so it takes no blanks
// and no plus sign, unlike a number typed into a box.
std::optional<int> ParseInt(std::string_view text, int min, int max) {
    if (text.find_first_not_of("-0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> value = data::ParseInteger(text);
    if (!value || *value < min || *value > max) {
        return std::nullopt;
    }
    return value;
}

// Two integers around `separator`, as "800x600" or "-30,20".
std::optional<std::pair<int, int>> ParsePair(const std::string& text, char separator, int min,
                                             int max) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto first = ParseInt(std::string_view(text).substr(0, at), min, max);
    const auto second = ParseInt(std::string_view(text).substr(at + 1), min, max);
    if (!first || !second) {
        return std::nullopt;
    }
    return std::pair{*first, *second};
}

void ParseSize(Options& o, const std::string& size) {
    const auto wh = ParsePair(size, 'x', 1, 10000);
    if (!wh) {
        throw UsageError("--size needs WxH, two whole numbers 1..10000, not \"" +
                         data::QuotedName(size) + "\"");
    }
    o.width = wh->first;
    o.height = wh->second;
}

// The picture files the CLI writes: SVG, or the metafiles office programs read.
bool IsPictureFile(const std::string& path) {
    const auto medium = picture::MediumOf(path);
    return medium && picture::IsVector(*medium);
}

// Draws a picture of width x height on the canvas its file's medium asks for
// (a name IsPictureFile accepted) and writes the file safely.
void WritePicture(const std::string& path, int width, int height,
                  const std::function<void(view::Canvas&)>& draw) {
    const auto drawn = picture::VectorPictureFor(*picture::MediumOf(path), width, height);
    draw(drawn->canvas());
    data::WriteFileBytes(path, drawn->finish());
}

// The sketch picture of the design command and its size.
void ParseSketchOptions(Options& o, const std::optional<std::string>& size) {
    if (!o.sketch) {
        if (size) {
            throw UsageError("--size needs --sketch");
        }
        return;
    }
    if (!IsPictureFile(*o.sketch)) {
        throw UsageError("\"" + data::QuotedName(*o.sketch) +
                         "\": the sketch must be an .svg, .emf or .wmf file");
    }
    o.width = 300;
    o.height = 200;
    if (size) {
        ParseSize(o, *size);
    }
}

// The picture options are checked here, so that a mistake costs no flight.
void ParsePictureOptions(Options& o, const std::optional<std::string>& size,
                         const std::optional<std::string>& angles,
                         const std::optional<std::string>& marker,
                         const std::optional<std::string>& markerTime, bool anySwitch) {
    if (marker && markerTime) {
        throw UsageError("--marker and --marker-time exclude each other");
    }
    if ((marker || markerTime) && o.exportFile && *o.exportFile == "-") {
        throw UsageError("--export - leaves no room on standard output for the marker rows");
    }
    if (marker) {
        const auto i = ParseInt(*marker, kAnyInt.first, kAnyInt.second);
        if (!i) {
            throw UsageError("--marker needs a whole number, not \"" + data::QuotedName(*marker) +
                             "\"");
        }
        o.marker = *i;
    }
    if (markerTime) {
        double t = 0;
        if (!data::TryParseRealStrict(*markerTime, t)) {
            throw UsageError("--marker-time needs a number of seconds, not \"" +
                             data::QuotedName(*markerTime) + "\"");
        }
        o.markerTime = t;
    }
    if (!o.trajectory) {
        if (size || angles || anySwitch) {
            throw UsageError("--size, --angles, --no-ground, --verticals and "
                             "--no-cursor-ground need --trajectory");
        }
        return;
    }
    if (!IsPictureFile(*o.trajectory)) {
        throw UsageError("\"" + data::QuotedName(*o.trajectory) +
                         "\": the trajectory picture must be an .svg, .emf or .wmf file");
    }
    if (size) {
        ParseSize(o, *size);
    }
    if (angles) {
        const auto ab = ParsePair(*angles, ',', kAnyInt.first, kAnyInt.second);
        if (!ab) {
            throw UsageError("--angles needs A,B, two whole numbers, not \"" +
                             data::QuotedName(*angles) + "\"");
        }
        o.angleA = ab->first;
        o.angleB = ab->second;
    }
}

Options ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError("no command given");
    }
    Options o;
    std::optional<std::string> size;
    std::optional<std::string> angles;
    std::optional<std::string> marker;
    std::optional<std::string> markerTime;
    std::optional<std::string> jobs;
    std::optional<std::string> shard;
    std::optional<std::string> paper;
    std::optional<std::string> copies;
    bool anySwitch = false;
    o.command = args[0];
    if (o.command == "help" || o.command == "--help" || o.command == "-h") {
        o.command = "help";
        return o;
    }
    if (o.command == "--version") {
        o.command = "version";
        return o;
    }
    if (o.command != "fly" && o.command != "estimate" && o.command != "design" &&
        o.command != "analyse" && o.command != "advise" && o.command != "sweep" &&
        o.command != "optimise" && o.command != "fit") {
        throw UsageError("unknown command \"" + data::QuotedName(o.command) + "\"");
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string a = args[i];
        // As getopt takes them, a value may come in the option's own word:
        // "--name=VALUE", and "-jN" for the one short option with a value.
        std::optional<std::string> attached;
        if (a.rfind("--", 0) == 0) {
            if (const std::size_t equals = a.find('='); equals != std::string::npos) {
                attached = a.substr(equals + 1);
                a.resize(equals);
            }
        } else if (a.size() > 2 && a.rfind("-j", 0) == 0) {
            attached = a.substr(2);
            a.resize(2);
        }
        // The option's value, attached or the next argument; a file name must
        // not be empty, or it would become a hidden file named by its
        // extension alone.
        auto value = [&](std::optional<std::string>& slot, bool fileName = true) {
            if (!attached && i + 1 >= args.size()) {
                throw UsageError(data::QuotedName(a) + " needs " +
                                 (fileName ? "a file name" : "a value"));
            }
            if (slot) {
                throw UsageError(data::QuotedName(a) + " given twice");
            }
            const std::string& text = attached ? *attached : args[i + 1];
            if (fileName && text.empty()) {
                throw UsageError(data::QuotedName(a) + " needs a file name, not an empty one");
            }
            slot = text;
            if (attached) {
                attached.reset();
            } else {
                ++i;
            }
        };
        if (a == "--help" || a == "-h") {
            if (attached) {
                throw UsageError(data::QuotedName(a) + " takes no value");
            }
            o.command = "help";
            return o;
        }
        const bool fly = o.command == "fly";
        if (a == "--export" && fly) {
            value(o.exportFile);
        } else if (a == "--trajectory" && fly) {
            value(o.trajectory);
        } else if (a == "--size" && (fly || o.command == "design")) {
            value(size, false);
        } else if (a == "--angles" && fly) {
            value(angles, false);
        } else if (a == "--measured" && (fly || o.command == "fit")) {
            value(o.measured);
        } else if (a == "--measured-unit" && (fly || o.command == "fit")) {
            std::optional<std::string> unit;
            value(unit, false);
            o.measuredUnit = skarvel::app::LengthUnit(*unit);
            if (!o.measuredUnit) {
                throw UsageError("--measured-unit takes mm, cm or m, not \"" +
                                 data::QuotedName(*unit) + "\"");
            }
        } else if (a == "--marker" && fly) {
            value(marker, false);
        } else if (a == "--marker-time" && fly) {
            value(markerTime, false);
        } else if (a == "--no-ground" && fly) {
            o.groundTrack = false;
            anySwitch = true;
        } else if (a == "--verticals" && fly) {
            o.spanVerticals = true;
            anySwitch = true;
        } else if (a == "--no-cursor-ground" && fly) {
            o.cursorGround = false;
            anySwitch = true;
        } else if ((a == "--vary" &&
                    (o.command == "sweep" || o.command == "optimise" || o.command == "fit")) ||
                   (a == "--set" && (fly || o.command == "analyse" || o.command == "advise"))) {
            std::optional<std::string> spec;
            value(spec, false);
            (a == "--set" ? o.settings : o.vary).push_back(*spec);
        } else if ((a == "-j" || a == "--jobs") &&
                   (o.command == "sweep" || o.command == "optimise")) {
            value(jobs, false);
            const auto n = ParseInt(*jobs, 1, kMaxJobs);
            if (!n) {
                throw UsageError(a + " needs a number of workers 1.." + std::to_string(kMaxJobs) +
                                 ", not \"" + data::QuotedName(*jobs) + "\"");
            }
            o.jobs = *n;
        } else if (a == "--shard" && o.command == "sweep") {
            value(shard, false);
            const auto in = ParsePair(*shard, '/', 0, std::numeric_limits<int>::max());
            if (!in || in->second < 1 || in->first >= in->second) {
                throw UsageError("--shard needs I/N with 0 <= I < N, not \"" +
                                 data::QuotedName(*shard) + "\"");
            }
            o.shard = static_cast<std::size_t>(in->first);
            o.shards = static_cast<std::size_t>(in->second);
        } else if (a == "--out" && (o.command == "sweep" || o.command == "optimise")) {
            value(o.outFile);
            if (o.command == "optimise" && data::LowerExtension(*o.outFile) != ".kx" &&
                data::LowerExtension(*o.outFile) != ".kxs") {
                throw UsageError(
                    "optimise --out writes a design (.kx) or input data (.kxs), not \"" +
                    data::QuotedName(*o.outFile) + "\"");
            }
        } else if ((a == "--maximise" || a == "--minimise") && o.command == "optimise") {
            value(a == "--maximise" ? o.maximise : o.minimise, false);
        } else if (a == "--require" && o.command == "optimise") {
            std::optional<std::string> r;
            value(r, false);
            o.require.push_back(*r);
        } else if (a == "--seed" && o.command == "optimise") {
            std::optional<std::string> seed;
            value(seed, false);
            const auto n = ParseInt(*seed, 0, std::numeric_limits<int>::max());
            if (!n) {
                throw UsageError("--seed needs a whole number 0 or more, not \"" +
                                 data::QuotedName(*seed) + "\"");
            }
            o.seed = static_cast<std::uint64_t>(*n);
        } else if (a == "--budget" && o.command == "optimise") {
            std::optional<std::string> budget;
            value(budget, false);
            const auto n = ParseInt(*budget, 1, 1000000);
            if (!n) {
                throw UsageError("--budget needs a number of evaluations 1..1000000, not \"" +
                                 data::QuotedName(*budget) + "\"");
            }
            o.budget = *n;
        } else if (a == "--best" && o.command == "sweep") {
            value(o.best, false);
            if (!skarvel::app::SummaryFigureNamed(*o.best)) {
                throw UsageError("--best needs one of the six figures (滞空時間, 最大高度, "
                                 "着地距離, 旋回半径, 速度, 沈下率), not \"" +
                                 data::QuotedName(*o.best) + "\"");
            }
        } else if (a == "--quiet" && o.command == "sweep") {
            o.quiet = true;
        } else if (a == "--polar" && o.command == "analyse") {
            o.polar = true;
        } else if (a == "--pattern" && o.command == "design") {
            value(o.pattern);
            const auto medium = picture::MediumOf(*o.pattern);
            if (!medium || !picture::IsPatternMedium(*medium)) {
                throw UsageError("\"" + data::QuotedName(*o.pattern) +
                                 "\": the pattern must be a .pdf, .svg, .emf or .wmf file");
            }
            // A name of the extension alone would be a hidden file, and one
            // led by a dash reads as an option to the next program.
            const std::string_view name = data::LastPathComponent(*o.pattern);
            if (name.size() == picture::ExtensionOf(*medium).size() || name[0] == '-') {
                throw UsageError("\"" + data::QuotedName(*o.pattern) +
                                 "\": the pattern needs a file name before the extension "
                                 "that does not start with \"-\"");
            }
        } else if (a == "--paper" && o.command == "design") {
            value(paper, false);
            const auto size = view::PaperSizeFromName(*paper);
            if (!size) {
                throw UsageError("--paper needs A4, A3, B5 or Letter, not \"" +
                                 data::QuotedName(*paper) + "\"");
            }
            o.paper = *size;
        } else if (a == "--copies" && o.command == "design") {
            value(copies, false);
            const auto n = ParseInt(*copies, 1, view::kMaxPatternCopies);
            if (!n) {
                throw UsageError("--copies needs a number of copies 1.." +
                                 std::to_string(view::kMaxPatternCopies) + ", not \"" +
                                 data::QuotedName(*copies) + "\"");
            }
            o.copies = *n;
        } else if (a == "--sketch" && o.command == "design") {
            value(o.sketch);
        } else if (a == "--save-input") {
            value(o.saveInput);
        } else if (a == "--save-design") {
            value(o.saveDesign);
        } else if (a == "--design" && o.command != "design") {
            value(o.design);
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            throw UsageError("unknown option \"" + data::QuotedName(a) + "\"");
        } else if (a.empty()) {
            throw UsageError("an empty file name");
        } else if (!o.input) {
            o.input = a;
        } else {
            throw UsageError("more than one input file: \"" + data::QuotedName(a) + "\"");
        }
        if (attached) {
            throw UsageError(data::QuotedName(a) + " takes no value");
        }
    }
    if (o.command == "design") {
        if (!o.input) {
            throw UsageError("design needs a design file");
        }
        o.design = o.input;
        o.input.reset();
        if (paper && !o.pattern) {
            throw UsageError("--paper needs --pattern");
        }
        if (copies && !o.pattern) {
            throw UsageError("--copies needs --pattern");
        }
        ParseSketchOptions(o, size);
        return o;
    }
    if (o.command == "sweep" && o.vary.empty()) {
        throw UsageError("sweep needs at least one --vary NAME=FROM:TO:STEP");
    }
    ParsePictureOptions(o, size, angles, marker, markerTime, anySwitch);
    return o;
}

// A design file the program refuses is a file it cannot read.
class RefusedFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void OpenDesign(Workspace& ws, const std::string& path) {
    const auto result = ws.files().openDesignFile(path);
    // One line on stderr: the message's line breaks become spaces.
    std::string message;
    data::ForEachLine(result.message, [&](std::string_view line) {
        if (!message.empty()) {
            message += ' ';
        }
        message += line;
    });
    if (result.status == data::DesignReadStatus::NotADesignFile) {
        throw RefusedFile(message);
    }
    if (!message.empty()) {
        std::cerr << "skarvel-cli: " << message << '\n';
    }
}

void PrintTable(const data::Table& t, int firstValue, int lastValue, int unit) {
    for (int r = 1; r < t.rowCount(); ++r) {
        out += t.cell(0, r);
        for (int c = firstValue; c <= lastValue; ++c) {
            out += '\t';
            out += t.cell(c, r);
        }
        out += '\t';
        out += t.cell(unit, r);
        out += '\n';
    }
}

// A line of the history as the list copies it, without its CR LF.
void PrintHistoryLine(std::string text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
    }
    out += text;
    out += '\n';
}

// Writes what was gathered for standard output; false with errno set when
// that fails (a full disk, a closed descriptor).
bool FlushOutput() {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, out.data() + done, out.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    out.clear();
    return true;
}

// Shift-JIS cannot hold every character: the file is written all the same,
// with "?" for them, and the user is told which ones.
void WarnUnsavable(const std::vector<std::string>& characters, const std::string& file) {
    if (characters.empty()) {
        return;
    }
    std::string list;
    for (const std::string& c : characters) {
        list += c;
    }
    std::cerr << "skarvel-cli: warning: " << data::QuotedName(file)
              << ": these characters cannot be saved and are written as \"?\": " << list << '\n';
}

// Today as the pattern's pages show it.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// The PDF writer, from its module: loaded only when a PDF is written.
std::unique_ptr<picture::PageDocument> LoadedPdfDocument(int unitsPerMm) {
    using Make = picture::PageDocument* (*)(int);
    const auto make =
        reinterpret_cast<Make>(skarvel::app::ModuleSymbol("skarvel-pdf", "skarvel_pdf_document"));
    return std::unique_ptr<picture::PageDocument>(make(unitsPerMm));
}

// The cutting pattern in its file's medium; a design without one is refused with
// its reason and nothing is written (false).
bool WritePattern(const Workspace& ws, const std::string& path, view::PaperSize paper, int copies) {
    view::PatternLayout layout;
    try {
        layout = ws.pattern().layOut(view::PaperDimensions(paper), view::kPatternMargin, Today(),
                                     copies);
    } catch (const view::PatternError& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n';
        return false;
    }
    const picture::Medium medium = *picture::MediumOf(path); // checked with the options
    for (const std::string& name :
         picture::WritePattern(layout, path, medium, LoadedPdfDocument).removed) {
        std::cerr << "skarvel-cli: removed \"" << data::QuotedName(name)
                  << "\", a page of an earlier pattern under this name\n";
    }
    return true;
}

// Set by Ctrl-C while a sweep runs.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

// What was gathered and `text` go to standard output now. What cannot be
// written is dropped, so that the error is reported once.
void WriteOut(std::string_view text) {
    out += text;
    if (!FlushOutput()) {
        const int error = errno;
        out.clear();
        throw std::runtime_error(std::string("cannot write to standard output: ") +
                                 std::strerror(error));
    }
}

// Design cells can be set only when a design was opened.
std::vector<skarvel::app::SweepVariable> ParseVariables(const std::vector<std::string>& specs,
                                                        bool haveDesign) {
    std::vector<skarvel::app::SweepVariable> variables;
    for (const std::string& spec : specs) {
        variables.push_back(skarvel::app::ParseSweepVariable(spec));
        if (variables.back().design && !haveDesign) {
            throw UsageError(variables.back().name + ": a design cell needs --design");
        }
    }
    return variables;
}

// Ctrl-C ends the run where it is; a script's background job starts with
// it ignored, and so it stays. Restores the previous action when destroyed.
class InterruptCatcher {
  public:
    InterruptCatcher() {
        ::sigaction(SIGINT, nullptr, &previous_);
        catching_ = (previous_.sa_flags & SA_SIGINFO) != 0 || previous_.sa_handler != SIG_IGN;
        if (catching_) {
            struct sigaction action {};
            action.sa_handler = OnInterrupt;
            sigemptyset(&action.sa_mask);
            ::sigaction(SIGINT, &action, nullptr);
        }
    }
    ~InterruptCatcher() {
        if (catching_) {
            ::sigaction(SIGINT, &previous_, nullptr);
        }
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

  private:
    struct sigaction previous_ {};
    bool catching_ = false;
};

int RunFit(const Options& o, Workspace& ws) {
    using namespace skarvel::app;
    if (!o.measured) {
        throw UsageError("fit needs --measured FILE");
    }
    std::vector<FitVariable> variables;
    try {
        for (const std::string& v : o.vary) {
            variables.push_back(ParseFitVariable(v));
        }
    } catch (const MeasuredError& e) {
        throw UsageError(e.what());
    }
    if (variables.empty()) {
        throw UsageError("fit needs at least one --vary NAME[=FROM:TO]");
    }
    const MeasuredTrack track = ReadMeasuredTrack(*o.measured, o.measuredUnit);
    for (const std::string& skipped : track.skipped) {
        std::cerr << "skarvel-cli: " << data::QuotedName(*o.measured) << ": left out: " << skipped
                  << '\n';
    }
    const FitResult result = FitTrack(ws.sweeps().base(), variables, track, OpenFitSolver());
    out += FitText(result);
    if (!result.determined) {
        std::cerr << "skarvel-cli: warning: the track does not determine every value (the "
                     "covariance is singular): no standard errors\n";
    }
    if (!result.after) {
        std::cerr << "skarvel-cli: the flight failed at the fitted values\n";
        return kFlightError;
    }
    if (result.after->rms > kFitMismatch) {
        std::cerr << "skarvel-cli: warning: the flight does not follow the track (RMS "
                  << result.after->rms << " m after the fit)\n";
    }
    return kOk;
}

int RunOptimise(const Options& o, Workspace& ws) {
    using namespace skarvel::app;
    OptimiseOptions options;
    try {
        if (o.maximise.has_value() == o.minimise.has_value()) {
            throw UsageError("optimise needs one of --maximise FIGURE and --minimise FIGURE");
        }
        options.figure = ParseOptimiseFigure(o.maximise ? *o.maximise : *o.minimise);
        options.maximise = o.maximise.has_value();
        for (const std::string& v : o.vary) {
            options.variables.push_back(ParseOptimiseVariable(v));
        }
        for (const std::string& r : o.require) {
            options.requirements.push_back(ParseRequirement(r));
        }
    } catch (const OptimiseError& e) {
        throw UsageError(e.what());
    }
    if (options.variables.empty()) {
        throw UsageError("optimise needs at least one --vary NAME=FROM:TO");
    }
    options.jobs = o.jobs > 0 ? static_cast<unsigned>(o.jobs)
                              : std::max(1U, std::thread::hardware_concurrency());
    options.seed = o.seed;
    options.budget = o.budget;
    const LocalSearch search = OpenLocalSearch();
    const InterruptCatcher catcher;
    const bool bar = ::isatty(STDERR_FILENO) == 1;
    std::atomic<bool> stop{false};
    const auto started = std::chrono::steady_clock::now();
    const auto progress = [&](const OptimiseProgress& p) {
        if (interrupted != 0) {
            stop = true;
        }
        if (bar) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            const double left = elapsed / p.evaluations * (options.budget - p.evaluations);
            char line[160];
            std::snprintf(line, sizeof line, "\r%d/%d evaluations  best %s  %.0f s left   ",
                          p.evaluations, options.budget,
                          p.best ? OptimiseValueText(*p.best).c_str() : "-", std::max(0.0, left));
            std::cerr << line << std::flush;
        }
    };
    const OptimiseResult result = Optimise(ws.sweeps().base(), options, search, &stop, progress);
    if (bar) {
        std::cerr << '\n';
    }
    out += OptimiseText(options, result);
    if (result.best && o.outFile) {
        std::vector<std::string> settings;
        for (std::size_t i = 0; i < options.variables.size(); ++i) {
            settings.push_back(options.variables[i].name + "=" +
                               OptimiseValueText(result.values[i]));
        }
        ws.sweeps().applySettings(settings);
        if (data::LowerExtension(*o.outFile) == ".kx") {
            ws.files().saveDesignFile(*o.outFile);
        } else {
            ws.files().saveInputFile(*o.outFile);
        }
    }
    if (interrupted != 0) {
        return 130;
    }
    return result.best ? kOk : kFlightError;
}

int RunSweep(const Options& o, Workspace& ws, skarvel::app::SweepGrid grid) {
    using namespace skarvel::app;
    const std::optional<SummaryFigure> figure = o.best ? SummaryFigureNamed(*o.best) : std::nullopt;
    const bool toStdout = !o.outFile || *o.outFile == "-";
    std::optional<data::SafeFileWriter> file;
    if (!toStdout) {
        file.emplace(*o.outFile);
    }
    // A failed write to the file ends the sweep; the lines before it stay.
    std::exception_ptr fileError;
    const auto emit = [&](std::string_view text) {
        if (!file) {
            WriteOut(text);
            return;
        }
        try {
            file->write(text);
        } catch (const std::exception&) {
            fileError = std::current_exception();
        }
    };
    std::optional<InterruptCatcher> catcher(std::in_place);
    const bool bar = !o.quiet && ::isatty(STDERR_FILENO) == 1;
    std::optional<SweepRow> best;
    std::exception_ptr fault; // a fault of the program ended the sweep
    {
        Sweep sweep(ws.sweeps().base(), std::move(grid), SweepOptions{o.jobs, o.shard, o.shards});
        if (sweep.workers() < sweep.workersWanted()) {
            std::cerr << "skarvel-cli: warning: only " << sweep.workers() << " of "
                      << sweep.workersWanted() << " workers could start (" << sweep.workerFailure()
                      << "); the sweep goes on with them\n";
        }
        emit(SweepCsvHeader(sweep.grid()));
        while (!fileError) {
            if (interrupted != 0) {
                sweep.cancel();
            }
            std::string chunk;
            for (SweepRow& row : sweep.takeRows(std::chrono::milliseconds(100))) {
                chunk += SweepCsvLine(row);
                // A failed point is never the best, not even the only one.
                if (figure && row.summary && (!best || BetterRow(row, *best, *figure))) {
                    best = std::move(row);
                }
            }
            if (!chunk.empty()) {
                emit(chunk);
            }
            const SweepProgress p = sweep.progress();
            if (bar) {
                char line[160];
                std::snprintf(
                    line, sizeof line, "\r%zu/%zu points  %.1f/s  %s left   ", p.done, p.total,
                    p.pointsPerSecond,
                    p.secondsLeft
                        ? (std::to_string(static_cast<long long>(std::ceil(*p.secondsLeft))) + " s")
                              .c_str()
                        : "?");
                std::cerr << line << std::flush;
            }
            if (sweep.finished()) {
                break;
            }
        }
        fault = sweep.fault();
    }
    catcher.reset();
    if (bar) {
        std::cerr << '\n';
    }
    if (file) {
        // The rows finished so far, in order, also after Ctrl-C or a failed
        // write; that write's error is the one reported.
        try {
            file->commit();
        } catch (const std::exception&) {
            if (!fileError) {
                throw;
            }
        }
        if (fileError) {
            std::rethrow_exception(fileError);
        }
    }
    if (fault) {
        std::rethrow_exception(fault); // after the rows before it were written
    }
    if (figure && !best) {
        std::cerr << "skarvel-cli: no best point: every point flown ended in \"Error\"\n";
    } else if (best) {
        if (toStdout) {
            std::cerr << "best: " << SweepCsvLine(*best);
        } else {
            WriteOut(SweepCsvLine(*best));
        }
    }
    return interrupted != 0 ? 130 : kOk;
}

int Run(const Options& o) {
    if (o.command == "help") {
        out += kUsageText;
        return kOk;
    }
    if (o.command == "version") {
        out += "skarvel-cli " SKARVEL_VERSION "\n";
        return kOk;
    }
    // Made before the workspace that draws on it, gone after it.
    std::optional<skarvel::app::PictureSurface<picture::RecordingCanvas>> surface;
    Workspace ws;
    if (o.design) {
        OpenDesign(ws, *o.design);
        if (!ws.designComputed()) {
            std::cerr << "skarvel-cli: the design computation failed part way: "
                         "a flight on the design-based laws ends in \"Error\"\n";
        }
    }
    if (o.input) {
        ws.files().openInputFile(*o.input);
    }
    // The settings and the grid are checked before any flight.
    ParseVariables(o.settings, o.design.has_value());
    std::optional<skarvel::app::SweepGrid> grid;
    if (o.command == "sweep") {
        grid.emplace(ParseVariables(o.vary, o.design.has_value()));
    }
    if (!o.settings.empty()) {
        ws.sweeps().applySettings(o.settings);
    }
    int status = kOk;
    if (o.command == "design") {
        if (!ws.designComputed()) {
            status = kFlightError;
        }
        namespace cd = data::computed;
        PrintTable(ws.tables().computed, cd::Wing, cd::Whole, cd::Unit);
        PrintTable(ws.tables().input, data::input::kValueColumn, data::input::kValueColumn,
                   data::input::kUnitColumn);
        if (o.pattern && !WritePattern(ws, *o.pattern, o.paper, o.copies)) {
            status = kFlightError;
        }
        if (o.sketch) {
            // Drawn from what the computation left, failed or not.
            WritePicture(*o.sketch, o.width, o.height, [&](view::Canvas& canvas) {
                view::DrawDesignSketch(canvas, o.width, o.height, ws.aircraft(),
                                       ws.files().sketchEnabled());
            });
        }
    } else if (o.command == "fly") {
        // The window's start-up picture: the flight drawn on a view of that
        // size and angles, then fitted, with the cursor at the marker.
        if (o.trajectory) {
            // The options first: with no surface yet they draw nothing.
            ws.setOption(Option::GroundTrack, o.groundTrack);
            ws.setOption(Option::SpanVerticals, o.spanVerticals);
            ws.setOption(Option::CursorGround, o.cursorGround);
            surface.emplace(o.width, o.height);
            ws.viewport().setSurface(&*surface);
            ws.viewport().prepare(o.width, o.height, o.angleA, o.angleB);
        }
        // A measured track is read before the flight: a file that cannot be
        // read is said before anything is flown.
        std::optional<skarvel::app::MeasuredTrack> track;
        if (o.measured) {
            track = skarvel::app::ReadMeasuredTrack(*o.measured, o.measuredUnit);
            for (const std::string& skipped : track->skipped) {
                std::cerr << "skarvel-cli: " << data::QuotedName(*o.measured)
                          << ": left out: " << skipped << '\n';
            }
        }
        ws.runFromInput();
        const auto& history = ws.history();
        const bool toStdout = o.exportFile && *o.exportFile == "-";
        if (!toStdout) {
            PrintHistoryLine(history.captionText(false));
            PrintHistoryLine(history.rowText(0, false));
        }
        if (track && !toStdout) {
            out += skarvel::app::MeasuredLine(skarvel::app::CompareTrack(*track, ws.record()));
        }
        if (!history.rows().empty() && !history.rows().front().hasInputs()) {
            status = kFlightError;
        }
        if (toStdout) {
            // The same bytes as the exported file.
            out += data::Cp932Text(sim::FlightTextLines(ws.record()));
        } else if (o.exportFile) {
            ws.files().exportFlightText(*o.exportFile);
        }
        if (o.marker || o.markerTime) {
            ws.marker().markSample(o.marker ? *o.marker : ws.marker().sampleAtTime(*o.markerTime));
            out += '\n';
            PrintTable(ws.tables().marker, data::marker::kValueColumn, data::marker::kValueColumn,
                       data::marker::kUnitColumn);
        }
        if (surface) {
            // A failed flight still leaves a picture of what the record holds.
            ws.viewport().fitToTrajectory();
            WritePicture(*o.trajectory, o.width, o.height,
                         [&](view::Canvas& canvas) { surface->shown().replay(canvas); });
        }
    } else if (o.command == "sweep") {
        status = RunSweep(o, ws, std::move(*grid));
    } else if (o.command == "optimise") {
        status = RunOptimise(o, ws);
    } else if (o.command == "fit") {
        status = RunFit(o, ws);
    } else if (o.command == "advise") {
        const skarvel::app::Advice advice =
            skarvel::app::Advise(ws.sweeps().base(), o.design.has_value());
        out += skarvel::app::AdviceText(advice);
        if (!advice.currentTrims) {
            status = kFlightError;
        }
    } else if (o.command == "analyse") {
        const sim::StabilityAnalysis analysis = ws.analysis().stability();
        out += sim::StabilityText(analysis);
        out += sim::SettleText(ws.analysis().settling());
        if (o.polar) {
            out += sim::PolarText(ws.analysis().polar());
        }
        if (!analysis.trim) {
            status = kFlightError;
        }
    } else {
        ws.estimate();
        PrintTable(ws.tables().parameter, data::param::kValueColumn, data::param::kValueColumn,
                   data::param::kUnitColumn);
    }
    if (o.saveInput) {
        WarnUnsavable(ws.files().unsavableInputCharacters(), *o.saveInput);
        ws.files().saveInputFile(*o.saveInput);
    }
    if (o.saveDesign) {
        WarnUnsavable(ws.files().unsavableDesignCharacters(*o.saveDesign), *o.saveDesign);
        ws.files().saveDesignFile(*o.saveDesign);
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // A reader that went away (sweep | head) is a failed write reported with
    // exit status 2, not a death by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = kUsage;
    try {
        status = Run(ParseArguments(args));
    } catch (const UsageError& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n' << kUsageText;
    } catch (const std::exception& e) {
        // Unreadable, refused or unwritable files and anything unforeseen.
        std::cerr << "skarvel-cli: " << e.what() << '\n';
    }
    // What was printed before an error still goes out.
    if (!FlushOutput()) {
        std::cerr << "skarvel-cli: cannot write to standard output: " << std::strerror(errno)
                  << '\n';
        return kUsage;
    }
    return status;
}
