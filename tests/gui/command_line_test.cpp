// The window program's own command line: --help and --version answer without
// a window.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string out;
};

// Runs the program on a display platform that does not exist: starting the
// window at all would fail.
Result RunApp(const std::string& args) {
    const std::string command =
        "QT_QPA_PLATFORM=no-such-platform '" SKARVEL_APP "' " + args + " 2>/dev/null";
    Result r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start " << command;
        return r;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        r.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(CommandLine, HelpAndVersionOpenNoWindow) {
    const Result help = RunApp("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: skarvel [INPUT.kxs | FOLDER]\n", 0), 0u) << help.out;
    EXPECT_EQ(RunApp("-h").out, help.out);
    EXPECT_EQ(RunApp("flight.kxs --help").out, help.out);

    const Result version = RunApp("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "skarvel " SKARVEL_VERSION "\n");
}

} // namespace
