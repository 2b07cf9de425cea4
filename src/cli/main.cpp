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
    "usage: skarvel-cli fly [INPUT.kxs] [--export FILE.txt] [--save-input FILE.kxs]\n"
    "       skarvel-cli estimate [INPUT.kxs] [--save-input FILE.kxs]\n";

struct Options {
    std::string command;
    std::optional<std::string> input;
    std::optional<std::string> exportFile;
    std::optional<std::string> saveInput;
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
    if (o.command != "fly" && o.command != "estimate") {
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
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            throw UsageError("unknown option \"" + a + "\"");
        } else if (!o.input) {
            o.input = a;
        } else {
            throw UsageError("more than one input file: \"" + a + "\"");
        }
    }
    return o;
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
    if (o.input) {
        ws.openInputFile(*o.input);
    }
    int status = kOk;
    if (o.command == "fly") {
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
        const data::Table& p = ws.tables().parameter;
        for (int r = 1; r < p.rowCount(); ++r) {
            std::cout << p.cell(0, r) << '\t' << p.cell(1, r) << '\t' << p.cell(2, r) << '\n';
        }
    }
    if (o.saveInput) {
        ws.saveInputFile(*o.saveInput);
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
    } catch (const std::exception& e) {
        std::cerr << "skarvel-cli: " << e.what() << '\n';
        return kUsage;
    }
}
