// The window program's own command line: --help and --version answer without
// a window.

#include "common/run_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Result = skarvel::test::CommandResult;

// Runs the program on a display platform that does not exist: starting the
// window at all would fail.
Result RunApp(const std::string& args) {
    return skarvel::test::RunCommand("QT_QPA_PLATFORM=no-such-platform '" SKARVEL_APP "' " + args +
                                     " 2>/dev/null");
}

TEST(CommandLine, HelpAndVersionOpenNoWindow) {
    const Result help = RunApp("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(
        help.out.rfind("usage: skarvel [INPUT.kxs | FOLDER] [--design DESIGN.kx] [--no-ask]\n", 0),
        0u)
        << help.out;
    EXPECT_EQ(RunApp("-h").out, help.out);
    EXPECT_EQ(RunApp("flight.kxs --help").out, help.out);

    const Result version = RunApp("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "skarvel " SKARVEL_VERSION "\n");
}

} // namespace
