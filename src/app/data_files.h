#pragma once
// Where the programs find their data files: the paper catalogue (Paper.ini)
// and the user guide (skarvel-help.html).
//
// A data file is looked for, in this order:
//   1. in the user's configuration folder, $XDG_CONFIG_HOME/skarvel (when
//      XDG_CONFIG_HOME is set to an absolute path), else ~/.config/skarvel;
//      a user's own Paper.ini there wins over the one that came with the
//      program;
//   2. beside the program (the build folder, or a folder the program was
//      copied to with its files);
//   3. in the data folder of the tree the program is installed in: from
//      <prefix>/bin/skarvel, <prefix>/share/skarvel (so that a package built
//      for another prefix than the build's still finds its files);
//   4. in the installed data folder the program was built for (for example
//      /usr/local/share/skarvel).
// The first regular file (or link to one) of that name is taken. When there
// is none, the answer is the name beside the program, so that a message about
// the missing file names the place a developer expects it.

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::app {

struct DataFolders {
    std::string config;    // the user's own folder; empty when there is no home
    std::string program;   // the folder holding the program; empty when unknown
    std::string tree;      // the data folder of the tree holding the program; may be empty
    std::string installed; // the installed data folder; empty when none was built in
};

// The installed data folder the program was built with ("" when none).
std::string_view InstalledDataFolder();

// The data folder relative to the folder the programs are installed in
// ("../share/skarvel"; "" when none was built in).
std::string_view DataFolderFromPrograms();

// The user's configuration folder for Skarvel from the environment, or "".
std::string UserConfigFolder();

// The folders of the running program at `programPath` (its own file).
DataFolders DataFoldersOf(const std::string& programPath);

// The places `name` is looked for, in search order (folders that are empty
// are left out).
std::vector<std::string> DataFileCandidates(const DataFolders& folders, std::string_view name);

// The first candidate that is a regular file, else the name beside the program
// (or, without a program folder, in the installed folder).
std::string FindDataFile(const DataFolders& folders, std::string_view name);

// The same for the running program at `programPath`, with the user's folder
// taken from the environment.
std::string FindDataFile(const std::string& programPath, std::string_view name);

// The program's own user guide, found as FindDataFile finds it.
inline constexpr const char* kHelpFileName = "skarvel-help.html";
// The help the window opens: a help file named as the program with ".HLP"
// beside it, else the user guide.
std::string HelpFile(const std::string& programPath);

} // namespace skarvel::app
