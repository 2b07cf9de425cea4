// skarvel-cli: the flight core without a window. Tab-separated UTF-8 on
// stdout, one-line errors on stderr; exit 0 on success, 1 when the flight
// ended in "Error" or the design computation failed, 2 on bad usage, a file
// that cannot be read or written, or standard output that cannot be written.

#include "app/workspace.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "sim/text_export.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using skarvel::app::Workspace;
namespace data = skarvel::data;
namespace sim = skarvel::sim;

constexpr int kOk = 0;
constexpr int kFlightError = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: skarvel-cli fly [INPUT.kxs] [--design DESIGN.kx] [--export FILE.txt|-]\n"
    "                       [--save-input FILE.kxs] [--save-design FILE.kx]\n"
    "       skarvel-cli estimate [INPUT.kxs] [--design DESIGN.kx] [--save-input FILE.kxs]\n"
    "                       [--save-design FILE.kx]\n"
    "       skarvel-cli design DESIGN.kx [--save-input FILE.kxs] [--save-design FILE.kx]\n"
    "--export - writes the flight text (CP932, CR LF) to standard output instead of\n"
    "the history lines.\n";

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
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

Options ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError("no command given");
    }
    Options o;
    o.command = args[0];
    if (o.command != "fly" && o.command != "estimate" && o.command != "design") {
        throw UsageError("unknown command \"" + data::QuotedName(o.command) + "\"");
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::optional<std::string>& slot) {
            if (i + 1 >= args.size()) {
                throw UsageError(data::QuotedName(a) + " needs a file name");
            }
            if (slot) {
                throw UsageError(data::QuotedName(a) + " given twice");
            }
            slot = args[++i];
        };
        if (a == "--export" && o.command == "fly") {
            value(o.exportFile);
        } else if (a == "--save-input") {
            value(o.saveInput);
        } else if (a == "--save-design") {
            value(o.saveDesign);
        } else if (a == "--design" && o.command != "design") {
            value(o.design);
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            throw UsageError("unknown option \"" + data::QuotedName(a) + "\"");
        } else if (!o.input) {
            o.input = a;
        } else {
            throw UsageError("more than one input file: \"" + data::QuotedName(a) + "\"");
        }
    }
    if (o.command == "design") {
        if (!o.input) {
            throw UsageError("design needs a design file");
        }
        o.design = o.input;
        o.input.reset();
    }
    return o;
}

// A design file the program refuses is a file it cannot read.
class RefusedFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void OpenDesign(Workspace& ws, const std::string& path) {
    const auto result = ws.openDesignFile(path);
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

int Run(const Options& o) {
    Workspace ws;
    if (o.design) {
        OpenDesign(ws, *o.design);
        if (!ws.designComputed()) {
            std::cerr << "skarvel-cli: the design computation failed part way: "
                         "a flight on the design-based laws ends in \"Error\"\n";
        }
    }
    if (o.input) {
        ws.openInputFile(*o.input);
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
    } else if (o.command == "fly") {
        ws.runFromInput();
        const auto& history = ws.history();
        const bool toStdout = o.exportFile && *o.exportFile == "-";
        if (!toStdout) {
            PrintHistoryLine(history.captionText(false));
            PrintHistoryLine(history.rowText(0, false));
        }
        if (!history.rows().empty() && !history.rows().front().hasInputs()) {
            status = kFlightError;
        }
        if (toStdout) {
            // The same bytes as the exported file.
            out += data::Cp932Text(sim::FlightTextLines(ws.record()));
        } else if (o.exportFile) {
            ws.exportFlightText(*o.exportFile);
        }
    } else {
        ws.estimate();
        PrintTable(ws.tables().parameter, data::param::kValueColumn, data::param::kValueColumn,
                   data::param::kUnitColumn);
    }
    if (o.saveInput) {
        WarnUnsavable(ws.unsavableInputCharacters(), *o.saveInput);
        ws.saveInputFile(*o.saveInput);
    }
    if (o.saveDesign) {
        WarnUnsavable(ws.unsavableDesignCharacters(*o.saveDesign), *o.saveDesign);
        ws.saveDesignFile(*o.saveDesign);
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
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
