#include "app/data_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace skarvel::app {

namespace {

constexpr std::string_view kProgramFolderName = "skarvel";

// An environment variable's value, or "" when it is not set.
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string Join(const std::string& folder, std::string_view name) {
    return (fs::path(folder) / fs::path(name)).string();
}

} // namespace

std::string_view InstalledDataFolder() {
#ifdef SKARVEL_DATA_DIR
    return SKARVEL_DATA_DIR;
#else
    return {};
#endif
}

std::string_view DataFolderFromPrograms() {
#ifdef SKARVEL_DATA_DIR_FROM_BIN
    return SKARVEL_DATA_DIR_FROM_BIN;
#else
    return {};
#endif
}

std::string UserConfigFolder() {
    // The XDG base directory rules ignore a relative XDG_CONFIG_HOME.
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    if (!configHome.empty() && fs::path(configHome).is_absolute()) {
        return Join(configHome, kProgramFolderName);
    }
    const std::string home = Environment("HOME");
    if (home.empty()) {
        return {};
    }
    return (fs::path(home) / ".config" / fs::path(kProgramFolderName)).string();
}

DataFolders DataFoldersOf(const std::string& programPath) {
    DataFolders folders;
    folders.config = UserConfigFolder();
    if (!programPath.empty()) {
        // A program named without a folder runs from the current one.
        const fs::path folder = fs::path(programPath).parent_path();
        folders.program = folder.empty() ? std::string(".") : folder.string();
        if (!DataFolderFromPrograms().empty()) {
            folders.tree = (fs::path(folders.program) / fs::path(DataFolderFromPrograms()))
                               .lexically_normal()
                               .string();
        }
    }
    folders.installed = std::string(InstalledDataFolder());
    return folders;
}

std::vector<std::string> DataFileCandidates(const DataFolders& folders, std::string_view name) {
    std::vector<std::string> candidates;
    for (const std::string* folder :
         {&folders.config, &folders.program, &folders.tree, &folders.installed}) {
        if (!folder->empty()) {
            candidates.push_back(Join(*folder, name));
        }
    }
    return candidates;
}

std::string FindDataFile(const DataFolders& folders, std::string_view name) {
    for (const std::string& candidate : DataFileCandidates(folders, name)) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            return candidate;
        }
    }
    if (!folders.program.empty()) {
        return Join(folders.program, name);
    }
    if (!folders.installed.empty()) {
        return Join(folders.installed, name);
    }
    return std::string(name);
}

std::string FindDataFile(const std::string& programPath, std::string_view name) {
    return FindDataFile(DataFoldersOf(programPath), name);
}

std::string HelpFile(const std::string& programPath) {
    std::filesystem::path hlp(programPath);
    hlp.replace_extension(".HLP");
    std::error_code ec;
    if (std::filesystem::is_regular_file(hlp, ec)) {
        return hlp.string();
    }
    return FindDataFile(programPath, kHelpFileName);
}

} // namespace skarvel::app
