// Where the programs find Paper.ini and the user guide.

#include "app/data_files.h"
#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using skarvel::app::DataFolders;
using skarvel::app::FindDataFile;
using skarvel::app::UserConfigFolder;
using skarvel::test::TempDir;

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

struct Layout {
    TempDir dir;
    DataFolders folders{(dir / "config").string(), (dir / "bin").string(), (dir / "tree").string(),
                        (dir / "share").string()};
    fs::path config(const char* name) const { return dir / "config" / name; }
    fs::path program(const char* name) const { return dir / "bin" / name; }
    fs::path tree(const char* name) const { return dir / "tree" / name; }
    fs::path installed(const char* name) const { return dir / "share" / name; }
};

TEST(DataFiles, TheUsersFileWinsThenTheOneBesideTheProgramThenTheInstalledOnes) {
    Layout l;
    Touch(l.config("Paper.ini"));
    Touch(l.program("Paper.ini"));
    Touch(l.tree("Paper.ini"));
    Touch(l.installed("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.config("Paper.ini").string());
    fs::remove(l.config("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.program("Paper.ini").string());
    fs::remove(l.program("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.tree("Paper.ini").string());
    fs::remove(l.tree("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.installed("Paper.ini").string());
}

TEST(DataFiles, OnlyRegularFilesOrLinksToThemCount) {
    Layout l;
    fs::create_directories(l.config("Paper.ini"));
    fs::create_directories(l.dir / "bin");
    fs::create_symlink(l.dir / "nowhere", l.program("Paper.ini"));
    Touch(l.installed("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.installed("Paper.ini").string());
    fs::remove(l.program("Paper.ini"));
    fs::create_symlink(l.installed("Paper.ini"), l.program("Paper.ini"));
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.program("Paper.ini").string());
}

TEST(DataFiles, AMissingFileIsNamedBesideTheProgram) {
    Layout l;
    EXPECT_EQ(FindDataFile(l.folders, "Paper.ini"), l.program("Paper.ini").string());
    DataFolders noProgram = l.folders;
    noProgram.program.clear();
    EXPECT_EQ(FindDataFile(noProgram, "Paper.ini"), l.installed("Paper.ini").string());
}

TEST(DataFiles, TheUsersFolderFollowsTheBaseDirectoryRules) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/conf");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(UserConfigFolder(), "/somewhere/conf/skarvel");
    }
    {
        // Unset, empty or relative: the default under the home folder.
        ScopedEnv home("HOME", "/home/u");
        for (const char* value : {static_cast<const char*>(nullptr), "", "conf"}) {
            ScopedEnv config("XDG_CONFIG_HOME", value);
            EXPECT_EQ(UserConfigFolder(), "/home/u/.config/skarvel") << (value ? value : "unset");
        }
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(UserConfigFolder(), "");
    }
}

TEST(DataFiles, TheRunningProgramLooksInTheUsersFolderFirst) {
    TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "conf").c_str());
    const std::string program = (dir / "bin" / "skarvel").string();
    Touch(dir / "bin" / "Paper.ini");
    EXPECT_EQ(FindDataFile(program, "Paper.ini"), (dir / "bin" / "Paper.ini").string());
    Touch(dir / "conf" / "skarvel" / "Paper.ini");
    EXPECT_EQ(FindDataFile(program, "Paper.ini"),
              (dir / "conf" / "skarvel" / "Paper.ini").string());
    // A program named without a folder runs from the current one; a
    // package built for another prefix than the build's (/usr/bin/skarvel)
    // finds its data beside it in /usr/share/skarvel.
    EXPECT_EQ(skarvel::app::DataFoldersOf("skarvel").program, ".");
    EXPECT_EQ(skarvel::app::DataFoldersOf("/usr/bin/skarvel").tree, "/usr/share/skarvel");
}

TEST(DataFiles, AHelpFileNamedAfterTheProgramComesBeforeTheGuide) {
    TempDir dir;
    const std::string program = (dir / "bin" / "skarvel").string();
    EXPECT_EQ(skarvel::app::HelpFile(program), FindDataFile(program, skarvel::app::kHelpFileName));
    Touch(dir / "bin" / "skarvel.HLP");
    EXPECT_EQ(skarvel::app::HelpFile(program), (dir / "bin" / "skarvel.HLP").string());
}

} // namespace
