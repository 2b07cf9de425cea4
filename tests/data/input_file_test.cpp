#include "data/input_file.h"

#include "common/temp_dir.h"
#include "data/codec.h"
#include "data/data_fixture.h"
#include "data/design_file.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace skarvel::data;
using skarvel::test::Cells;
using skarvel::test::DefaultInput;
using skarvel::test::TempDir;

namespace {

std::vector<std::string> Values(const Table& input) {
    std::vector<std::string> values;
    for (int row = 0; row < input::kRows; ++row)
        values.push_back(input.cell(input::kValueColumn, row));
    return values;
}

// A table whose values differ from row to row and from the defaults.
Table EditedInput() {
    Table in = DefaultInput();
    for (int row = 1; row < input::kRows; ++row)
        in.setCell(input::kValueColumn, row, std::to_string(row * 11) + ".5");
    in.setCell(input::kValueColumn, input::WindSpeed, "-1.5e-3");
    in.setCell(input::kValueColumn, input::Altitude, "ﾋﾉｷ");
    in.setCell(input::kValueColumn, input::Heading, "");
    return in;
}

} // namespace

// A header, then one "caption=value unit" line per row; the captions, values
// and units themselves are the reset tables' own.
TEST(InputFileLines, DefaultFileText) {
    std::vector<std::string> lines = InputFileLines(DefaultInput());
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(lines[0], "項目=値 単位");
    EXPECT_EQ(lines[1], "風速=0 m/s");
    EXPECT_EQ(lines[25], "主翼テーパー比=0.44 ");
}

TEST(InputFile, WrittenInCp932WithCrLf) {
    TempDir dir;
    const std::string path = dir.file("in.kxs");
    WriteInputFile(path, DefaultInput());
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind(EncodeCp932("項目=値 単位\r\n風速=0 m/s\r\n"), 0), 0u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::size_t crlf = 0;
    for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2)
        ++crlf;
    EXPECT_EQ(crlf, 38u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 38);
}

TEST(InputFile, WriteAndReadBackLeavesTheTableUnchanged) {
    TempDir dir;
    const std::string path = dir.file("round.kxs");
    Table written = EditedInput();
    WriteInputFile(path, written);
    Table read = DefaultInput();
    ReadInputFile(path, read);
    EXPECT_EQ(Values(read), Values(written));
    for (int row = 0; row < input::kRows; ++row) {
        EXPECT_EQ(read.cell(0, row), written.cell(0, row));
        EXPECT_EQ(read.cell(2, row), written.cell(2, row));
    }
}

TEST(InputFile, LineEndsOfEveryKind) {
    TempDir dir;
    Table written = EditedInput();
    for (const char* end : {"\r", "\n", "\r\n"}) {
        std::string text;
        for (const std::string& line : InputFileLines(written))
            text += line + end;
        const std::string path = dir.file("ends.kxs");
        WriteFileBytes(path, EncodeCp932(text));
        Table read = DefaultInput();
        ReadInputFile(path, read);
        EXPECT_EQ(Values(read), Values(written)) << static_cast<int>(end[0]);
    }
}

TEST(InputFile, UnreadableFileLeavesTheTableAlone) {
    TempDir dir;
    Table in = EditedInput();
    EXPECT_THROW(ReadInputFile(dir.file("missing.kxs"), in), FileError);
    EXPECT_THROW(ReadInputFile(dir.path(), in), FileError);
    EXPECT_EQ(Values(in), Values(EditedInput()));
    EXPECT_THROW(WriteInputFile(dir.file("no/folder.kxs"), in), FileError);
}

TEST(InputFile, FilesWithoutInputDataAreRefused) {
    TempDir dir;
    const std::string path = dir.file("odd\n.kxs");
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 151 + 7) & 0xFF);
    for (const std::string& bytes :
         {std::string(), binary, EncodeCp932("項目=値 単位\r\n風速 3\r\n")}) {
        WriteFileBytes(path, bytes);
        Table in = EditedInput();
        try {
            ReadInputFile(path, in);
            ADD_FAILURE() << "read";
        } catch (const NotInputFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "入力データのファイルではありません: " + dir.file("odd\\n.kxs"));
        }
        EXPECT_EQ(Values(in), Values(EditedInput()));
    }
    // One known caption is enough; the rows without a line are emptied.
    WriteFileBytes(path, EncodeCp932("x座標=5 m\r\n"));
    Table in = EditedInput();
    ReadInputFile(path, in);
    for (int row = 1; row < input::kRows; ++row)
        EXPECT_EQ(in.cell(input::kValueColumn, row), row == input::PositionX ? "5" : "") << row;
}

TEST(DataFiles, NothingOverFourMegabytesIsRead) {
    TempDir dir;
    const std::string path = dir.file("big");
    WriteFileBytes(path, std::string(kDataFileLimit + 1, '\n'));
    const std::string tooLarge = "ファイルが大きすぎます: " + path;
    Table in = EditedInput();
    Tables tables = skarvel::test::FreshTables();
    const std::vector<std::string> before = Cells(tables.design);
    for (auto read : {std::function<void()>([&] { ReadInputFile(path, in); }),
                      std::function<void()>([&] { ReadDesignFile(path, tables.design); })}) {
        try {
            read();
            ADD_FAILURE() << "read";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), tooLarge);
        }
    }
    EXPECT_EQ(Values(in), Values(EditedInput()));
    EXPECT_EQ(Cells(tables.design), before);
    // Exactly 4 MB is still read (and then refused for what it holds).
    std::filesystem::resize_file(path, kDataFileLimit);
    EXPECT_THROW(ReadInputFile(path, in), NotInputFileError);
    EXPECT_EQ(ReadDesignFile(path, tables.design).status, DesignReadStatus::NotADesignFile);
}

TEST(ApplyInputFileLines, ShuffledLinesReadTheSame) {
    Table written = EditedInput();
    std::vector<std::string> lines = InputFileLines(written);
    std::mt19937 random(3);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(lines.begin(), lines.end(), random);
        Table read = DefaultInput();
        ApplyInputFileLines(read, lines);
        EXPECT_EQ(Values(read), Values(written));
    }
}

TEST(ApplyInputFileLines, ValueTextRules) {
    Table in = DefaultInput();
    ApplyInputFileLines(in, {
                                "風速=3",            // no unit: the whole rest
                                "サーマル強度=4\t",  // no space: the whole rest
                                "サーマル半径= 5 m", // a space first: empty
                                "初速=1=2 km/h",     // only the first "=" separates
                                "高度=7 m 8",        // up to the first space
                                "X座標=\t9\t m",     // tabs are not spaces
                            });
    EXPECT_EQ(in.cell(1, input::WindSpeed), "3");
    EXPECT_EQ(in.cell(1, input::ThermalStrength), "4\t");
    EXPECT_EQ(in.cell(1, input::ThermalRadius), "");
    EXPECT_EQ(in.cell(1, input::LaunchSpeed), "1=2");
    EXPECT_EQ(in.cell(1, input::Altitude), "7");
    EXPECT_EQ(in.cell(1, input::PositionX), "\t9\t");
    // Rows without a line are emptied.
    EXPECT_EQ(in.cell(1, input::MinDrag), "");
    EXPECT_EQ(in.cell(1, input::PositionY), "");
}

TEST(ApplyInputFileLines, CaptionMatching) {
    Table in = DefaultInput();
    ApplyInputFileLines(in, {
                                "x座標=5 m",  // ASCII letters in any case
                                "ｙ座標=6 m", // full-width letters must match exactly
                                "水平尾翼ar=2.5 ",
                                "風速=1 m/s",
                                "風速=2 m/s", // the first line wins
                                " 高度=3 m",  // no trimming of the key
                                "初速",       // no "=" at all
                                "未知の項目=9 x",
                                "項目=値 単位",
                                "=1 m",
                                "ピッチ角速度=0.5 rad/s",
                                "ロール角速度=0.25 rad/s",
                            });
    EXPECT_EQ(in.cell(1, input::PositionX), "5");
    EXPECT_EQ(in.cell(1, input::PositionY), "");
    EXPECT_EQ(in.cell(1, input::HTailAspect), "2.5");
    EXPECT_EQ(in.cell(1, input::WindSpeed), "1");
    EXPECT_EQ(in.cell(1, input::Altitude), "");
    EXPECT_EQ(in.cell(1, input::LaunchSpeed), "");
    EXPECT_EQ(in.cell(1, input::PitchRate), "0.5");
    EXPECT_EQ(in.cell(1, input::RollRate), "0.25");
    EXPECT_EQ(in.cell(0, input::WindSpeed), "風速");
    EXPECT_EQ(in.cell(1, 0), "値");
}

TEST(ApplyInputFileLines, OneMegabyteLine) {
    Table in = DefaultInput();
    std::string value(1 << 20, '7');
    ApplyInputFileLines(in, {std::string(1 << 20, '='), "風速=" + value + " m/s",
                             "質量=" + std::string(1 << 20, 'x'), "高度=2 m"});
    EXPECT_EQ(in.cell(1, input::WindSpeed), value);
    EXPECT_EQ(in.cell(1, input::Mass).size(), 1u << 20);
    EXPECT_EQ(in.cell(1, input::Altitude), "2");
}

TEST(ApplyInputFileLines, RandomBytesNeverBreakTheTable) {
    std::mt19937 random(37);
    const std::vector<std::string> units = {" m", " ", "", "  ", "\r"};
    for (int i = 0; i < 3000; ++i) {
        std::string bytes;
        int lineCount = static_cast<int>(random() % 8);
        for (int k = 0; k < lineCount; ++k) {
            if (random() % 2 == 0) {
                int row = 1 + static_cast<int>(random() % (input::kRows - 1));
                bytes += EncodeCp932(input::kCaptions[row]) + "=";
            }
            int length = static_cast<int>(random() % 12);
            for (int b = 0; b < length; ++b)
                bytes += static_cast<char>(random() & 0xFF);
            bytes += units[random() % units.size()];
            bytes += random() % 3 == 0 ? "\r" : "\r\n";
        }
        Table in = DefaultInput();
        ApplyInputFileLines(in, SplitLines(DecodeCp932(bytes)));
        for (int row = 1; row < input::kRows; ++row) {
            const std::string& value = in.cell(input::kValueColumn, row);
            ASSERT_EQ(value.find_first_of(" \r\n"), std::string::npos) << value;
            ASSERT_EQ(in.cell(0, row), input::kCaptions[row]);
        }
    }
}
