// skarvel-cli: the flight core without a window. Tab-separated UTF-8 on
// stdout, one-line errors on stderr; exit 0 on success, 1 when the flight
// ended in "Error", 2 on bad usage or a file that cannot be read or written.

#include "app/workspace.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using skarvel::app::Workspace;
namespace data = skarvel::data;

constexpr int kOk = 0;
constexpr int kFlightError = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: skarvel-cli fly [INPUT.kxs] [--design DESIGN.kx] [--export FILE.txt]\n"
    "                       [--save-input FILE.kxs] [--save-design FILE.kx]\n"
    "       skarvel-cli estimate [INPUT.kxs] [--design DESIGN.kx] [--save-input FILE.kxs]\n"
    "                       [--save-design FILE.kx]\n"
    "       skarvel-cli design DESIGN.kx [--save-input FILE.kxs] [--save-design FILE.kx]\n";

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
        throw UsageError("unknown command \"" + o.command + "\"");
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::optional<std::string>& slot) {
            if (i + 1 >= args.size()) {
                throw UsageError(a + " needs a file name");
            }
            if (slot) {
                throw UsageError(a + " given twice");
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
            throw UsageError("unknown option \"" + a + "\"");
        } else if (!o.input) {
            o.input = a;
        } else {
            throw UsageError("more than one input file: \"" + a + "\"");
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
    for (std::size_t i = 0; i < result.message.size(); ++i) {
        if (result.message.compare(i, 2, "\r\n") == 0) {
            message += ' ';
            ++i;
        } else {
            message += result.message[i];
        }
    }
    if (result.status == data::DesignReadStatus::NotADesignFile) {
        throw RefusedFile(message);
    }
    if (!message.empty()) {
        std::cerr << "skarvel-cli: " << message << '\n';
    }
}

void PrintTable(const data::Table& t, int firstValue, int lastValue, int unit) {
    for (int r = 1; r < t.rowCount(); ++r) {
        std::cout << t.cell(0, r);
        for (int c = firstValue; c <= lastValue; ++c) {
            std::cout << '\t' << t.cell(c, r);
        }
        std::cout << '\t' << t.cell(unit, r) << '\n';
    }
}

// A line of the history as the list copies it, without its CR LF.
std::string WithoutLineEnd(std::string text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
    }
    return text;
}

int Run(const Options& o) {
    Workspace ws;
    if (o.design) {
        OpenDesign(ws, *o.design);
    }
    if (o.input) {
        ws.openInputFile(*o.input);
    }
    int status = kOk;
    if (o.command == "design") {
        PrintTable(ws.tables().computed, 1, 5, 6);
        PrintTable(ws.tables().input, 1, 1, 2);
    } else if (o.command == "fly") {
        ws.runFromInput();
        auto& history = ws.history();
        const int selected = history.selected();
        history.select(-1);
        std::cout << WithoutLineEnd(history.copyText(false)) << '\n';
        history.select(0);
        std::cout << WithoutLineEnd(history.copyText(false)) << '\n';
        history.select(selected);
        if (!history.rows().empty() && !history.rows().front().hasInputs()) {
            status = kFlightError;
        }
        if (o.exportFile) {
            ws.exportFlightText(*o.exportFile);
        }
    } else {
        ws.estimate();
        PrintTable(ws.tables().parameter, 1, 1, 2);
    }
    if (o.saveInput) {
        ws.saveInputFile(*o.saveInput);
    }
    if (o.saveDesign) {
        ws.saveDesignFile(*o.saveDesign);
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(ParseArguments(args));
    } catch (const UsageError& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n' << kUsageText;
        return kUsage;
    } catch (const data::FileError& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n';
        return kUsage;
    } catch (const RefusedFile& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n';
        return kUsage;
    } catch (const std::exception& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n';
        return kUsage;
    }
}
