#include "data/textfile.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(FileBytes, ErrorsNameTheFile) {
    TempDir dir;
    const std::string missing = dir.file("missing.kxs");
    try {
        ReadFileBytes(missing);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "cannot read \"" + missing + "\": No such file or directory");
    }
    try {
        ReadFileBytes(dir.path());
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "cannot read \"" + dir.path().string() + "\": is a folder");
    }
    try {
        WriteFileBytes(dir.file("no/such/folder.kxs"), "x");
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("no/such/folder.kxs")), std::string::npos);
        EXPECT_EQ(std::string(e.what()).rfind("cannot write", 0), 0u);
    }
    EXPECT_THROW(WriteFileBytes(dir.path(), "x"), FileError);
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
}
