#include "data/textfile.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace skarvel::data;
using skarvel::test::TempDir;

using Lines = std::vector<std::string>;

TEST(SplitLines, AllThreeLineEnds) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    // LF then CR is two line ends, not one.
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(SplitLines, FinalLineEndStartsNoLine) {
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\r"), Lines{"a"});
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\n\n"), (Lines{"a", ""}));
}

TEST(FileBytes, RoundTripKeepsEveryByte) {
    TempDir dir;
    std::string bytes("\0\r\n\x82\xA0\xFF end", 9);
    WriteFileBytes(dir.file("b.bin"), bytes);
    EXPECT_EQ(ReadFileBytes(dir.file("b.bin")), bytes);
    WriteFileBytes(dir.file("b.bin"), "x");
    EXPECT_EQ(ReadFileBytes(dir.file("b.bin")), "x");
    WriteFileBytes(dir.file("empty"), "");
    EXPECT_EQ(ReadFileBytes(dir.file("empty")), "");
}

// The message of the FileError that `action` throws.
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& e) {
        return e.what();
    }
    return "no error";
}

TEST(FileBytes, ErrorsNameTheFile) {
    TempDir dir;
    const std::string missing = dir.file("missing\n.kxs");
    EXPECT_EQ(ErrorOf([&] { ReadFileBytes(missing); }),
              "cannot read \"" + dir.file("missing\\n.kxs") + "\": No such file or directory");
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes(dir.file("no/such/folder.kxs"), "x"); }),
              "cannot write \"" + dir.file("no/such/folder.kxs") + "\": No such file or directory");
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes(dir.path(), "x"); }),
              "cannot write \"" + dir.path().string() + "\": is a folder");
}

TEST(FileBytes, APathWithoutAFileNameIsNotWritten) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes(folder, "x"); }),
              "cannot write \"" + folder + "\": no file name");
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes("", "x"); }), "cannot write \"\": no file name");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FileBytes, OnlyRegularFilesAreRead) {
    TempDir dir;
    const std::string fifo = dir.file("fifo.kxs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening a FIFO without a writer would wait forever.
    EXPECT_EQ(ErrorOf([&] { ReadFileBytes(fifo); }),
              "cannot read \"" + fifo + "\": is not a regular file");
    EXPECT_EQ(ErrorOf([&] { ReadFileBytes("/dev/zero"); }),
              "cannot read \"/dev/zero\": is not a regular file");
    EXPECT_EQ(ErrorOf([&] { ReadFileBytes(dir.path()); }),
              "cannot read \"" + dir.path().string() + "\": is a folder");
    // Nor are they written over.
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes(fifo, "x"); }),
              "cannot write \"" + fifo + "\": is not a regular file");
}

TEST(FileBytes, SizeLimit) {
    TempDir dir;
    const std::string path = dir.file("ten");
    WriteFileBytes(path, "0123456789");
    EXPECT_EQ(ReadFileBytes(path, 10), "0123456789");
    EXPECT_EQ(ErrorOf([&] { ReadFileBytes(path, 9); }), "ファイルが大きすぎます: " + path);
}

TEST(QuotedName, ControlCharactersBecomeEscapes) {
    EXPECT_EQ(QuotedName("a\nb\r\t\x01\x7F\xC2\x85\xE2\x80\xA8\xE2\x80\xA9/名前 é\\.kxs"),
              "a\\nb\\r\\t\\x01\\x7F\\u0085\\u2028\\u2029/名前 é\\.kxs");
    EXPECT_EQ(QuotedName(std::string("\0", 1)), "\\x00");
}

namespace {

// Runs `write` in a child process, as another user when we are root (a
// read-only folder does not stop root), and returns its exit code.
int InChild(bool dropRoot, const std::function<int()>& write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (dropRoot && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(90);
        ::_exit(write());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(SafeWrite, FailureLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::filesystem::path folder = dir / "saves";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "flight.kxs").string();
    const std::string old = "old content\r\n";
    WriteFileBytes(path, old);
    ::chmod(dir.path().c_str(), 0755);
    const std::string message = "cannot write \"" + path + "\": ";
    auto attempt = [&](const std::string& expected) {
        return [&, expected] {
            const std::string error =
                ErrorOf([&] { WriteFileBytes(path, std::string(4096, 'x')); });
            return error == message + expected ? 0 : 1;
        };
    };

    // No temporary file can be made in a read-only folder.
    ::chmod(folder.c_str(), 0555);
    EXPECT_EQ(InChild(true, attempt("Permission denied")), 0);
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"flight.kxs"});

    // A write that fails half-way: the file size limit is met after 100 bytes.
    EXPECT_EQ(InChild(false,
                      [&] {
                          std::signal(SIGXFSZ, SIG_IGN);
                          const rlimit limit{100, 100};
                          ::setrlimit(RLIMIT_FSIZE, &limit);
                          return attempt("File too large")();
                      }),
              0);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"flight.kxs"});

    // Written in pieces: the piece that meets the limit goes in not at all,
    // and what is committed afterwards holds the earlier pieces whole.
    EXPECT_EQ(InChild(false,
                      [&] {
                          std::signal(SIGXFSZ, SIG_IGN);
                          const rlimit limit{100, 100};
                          ::setrlimit(RLIMIT_FSIZE, &limit);
                          SafeFileWriter writer(path);
                          writer.write(std::string(59, 'a') + "\n");
                          if (ErrorOf([&] { writer.write(std::string(59, 'b') + "\n"); }) !=
                              message + "File too large") {
                              return 1;
                          }
                          writer.commit();
                          return 0;
                      }),
              0);
    EXPECT_EQ(ReadFileBytes(path), std::string(59, 'a') + "\n");
}

TEST(SafeWrite, ModesAndLinks) {
    TempDir dir;
    const std::string path = dir.file("mode.kx");
    const mode_t mask = ::umask(022);
    WriteFileBytes(path, "a");
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0644u); // a new file: 0666 less the umask
    ::chmod(path.c_str(), 0604);
    WriteFileBytes(path, "b");
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0604u); // a replaced one keeps its mode
    ::umask(mask);

    // Saving through a link writes its target and keeps the link, a link to
    // nothing is refused and stays as it was.
    const std::string link = dir.file("link.kx");
    std::filesystem::create_symlink(path, link);
    WriteFileBytes(link, "c");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), "c");
    const std::string dangling = dir.file("dangling\n.kx");
    std::filesystem::create_symlink(dir.file("nowhere.kx"), dangling);
    EXPECT_EQ(ErrorOf([&] { WriteFileBytes(dangling, "d"); }),
              "リンク先のファイルがありません: " + dir.file("dangling\\n.kx"));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_FALSE(std::filesystem::exists(dir.file("nowhere.kx")));
}

namespace {

// A save killed by the file size limit half-way through its write; true when
// it was killed.
bool KilledSave(const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileBytes(path, std::string(4096, 'x'));
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

// Saves may write their new file with a name for the whole write while this lives.
struct NamedTemporaries {
    NamedTemporaries() { UseUnnamedTemporaries(false); }
    ~NamedTemporaries() { UseUnnamedTemporaries(true); }
};

} // namespace

TEST(SafeWrite, KilledSaves) {
    TempDir dir;
    const std::filesystem::path folder = dir / "saves";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "flight.kxs").string();
    WriteFileBytes(path, "old");

    // Unnamed while written, the new file goes with the process (where the
    // file system can hold unnamed files; elsewhere the next part covers it).
    if (const int probe = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600); probe >= 0) {
        ::close(probe);
        ASSERT_TRUE(KilledSave(path));
        EXPECT_EQ(Names(folder), std::vector<std::string>{"flight.kxs"});
        EXPECT_EQ(ReadFileBytes(path), "old");
    }

    // A named one stays until the next save of the file.
    std::string left;
    {
        NamedTemporaries named;
        ASSERT_TRUE(KilledSave(path));
        std::vector<std::string> names = Names(folder);
        ASSERT_EQ(names.size(), 2u);
        left = names[0] == "flight.kxs" ? names[1] : names[0];
        EXPECT_EQ(left.front(), '.');
        WriteFileBytes(path, "named");
        EXPECT_EQ(Names(folder), std::vector<std::string>{"flight.kxs"});
        EXPECT_EQ(ReadFileBytes(path), "named");
        ASSERT_TRUE(KilledSave(path));
    }

    // One that another save still holds is left alone: that save renames it.
    const int held = ::open((folder / left).c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    WriteFileBytes(path, "beside");
    EXPECT_EQ(ReadFileBytes(path), "beside");
    EXPECT_EQ(ReadFileBytes((folder / left).string()), std::string(100, 'x'));
    EXPECT_EQ(Names(folder).size(), 2u);
    ::close(held);
    WriteFileBytes(path, "unnamed");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"flight.kxs"});
    EXPECT_EQ(ReadFileBytes(path), "unnamed");
}

TEST(SafeWrite, ConcurrentSavesOfOneFile) {
    for (const bool unnamed : {true, false}) {
        TempDir dir;
        const std::string path = dir.file("flight.kxs");
        UseUnnamedTemporaries(unnamed);
        std::vector<pid_t> savers;
        for (char c : {'a', 'b', 'c', 'd'}) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                try {
                    for (int i = 0; i < 25; ++i)
                        WriteFileBytes(path, std::string(1000, c));
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            savers.push_back(pid);
        }
        UseUnnamedTemporaries(true);
        for (const pid_t pid : savers) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << unnamed;
        }
        // Every save succeeded whole, and none left anything behind.
        const std::string bytes = ReadFileBytes(path);
        ASSERT_EQ(bytes.size(), 1000u);
        EXPECT_EQ(bytes, std::string(1000, bytes[0]));
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"flight.kxs"}) << unnamed;
    }
}

TEST(Cp932Lines, WrittenWithCrLfAndReadBack) {
    TempDir dir;
    WriteCp932Lines(dir.file("t.txt"), {"項目=値 単位", "", "ﾋﾉｷ2mm"});
    EXPECT_EQ(ReadFileBytes(dir.file("t.txt")), "\x8D\x80\x96\xDA=\x92\x6C \x92\x50\x88\xCA\r\n"
                                                "\r\n"
                                                "\xCB\xC9\xB7"
                                                "2mm\r\n");
    EXPECT_EQ(ReadCp932Lines(dir.file("t.txt")), (Lines{"項目=値 単位", "", "ﾋﾉｷ2mm"}));
    WriteCp932Lines(dir.file("none.txt"), {});
    EXPECT_EQ(ReadFileBytes(dir.file("none.txt")), "");
}

TEST(Extensions, OnlyTheLastComponentCounts) {
    EXPECT_TRUE(HasExtension("a.txt"));
    EXPECT_FALSE(HasExtension("a"));
    EXPECT_FALSE(HasExtension("dir.x/a"));
    EXPECT_FALSE(HasExtension(""));
    EXPECT_TRUE(HasExtension("dir/.kxs"));
    EXPECT_EQ(LowerExtension("dir.x/a.KXS"), ".kxs");
    EXPECT_EQ(LowerExtension("/tmp/Design.Kx"), ".kx");
    EXPECT_EQ(LowerExtension("a.tar.gz"), ".gz");
    EXPECT_EQ(LowerExtension("dir.x/a"), "");
    EXPECT_EQ(LowerExtension(".kxs"), ".kxs");
    EXPECT_EQ(LowerExtension("名前.ＫＸＳ"), ".ＫＸＳ");
    EXPECT_EQ(ReplaceExtension("dir.x/a", ".emf"), "dir.x/a.emf");
    EXPECT_EQ(ReplaceExtension("a.tar.gz", ".emf"), "a.tar.emf");
    // No file name: an extension alone would name a hidden file.
    EXPECT_EQ(ReplaceExtension("", ".emf"), "");
    EXPECT_EQ(ReplaceExtension("dir/", ".emf"), "dir/");
}
