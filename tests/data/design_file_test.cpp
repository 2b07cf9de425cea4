#include "data/design_file.h"

#include "common/temp_dir.h"
#include "data/codec.h"
#include "data/data_fixture.h"
#include "data/tables.h"
#include "data/textfile.h"

#include "common/golden.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace skarvel::data;
using namespace skarvel::data::design;
using skarvel::test::Cells;
using skarvel::test::DefaultDesign;
using skarvel::test::TempDir;
using namespace std::string_literals;

namespace {

using Strings = std::vector<std::string>;

const std::string kHead = "\"プログラム\",\"Tarnifold Ver0.4\"\r\n";

// The default design as any successful read leaves it.
Strings DefaultCellsAfterRead() {
    Table design = DefaultDesign();
    design.setCell(Fuselage, GlideSpeed, "5");
    return Cells(design);
}

} // namespace

TEST(DesignTokens, Rules) {
    EXPECT_EQ(TokenizeDesignText("\"主翼展開長\",\"170\"\r\n\"a\",\"b\"\r\n"),
              (Strings{"主翼展開長", "170", "a", "b"}));
    EXPECT_EQ(TokenizeDesignText("  a , b\t,\n c  d"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(TokenizeDesignText("a,,b,"), (Strings{"a", "", "b"}));
    EXPECT_EQ(TokenizeDesignText(",,"), (Strings{"", ""}));
    EXPECT_EQ(TokenizeDesignText(" \r\n\t\x01\x1f "), Strings{});
    EXPECT_EQ(TokenizeDesignText("\"say \"\"hi\"\", ok\""), (Strings{"say \"hi\", ok"}));
    EXPECT_EQ(TokenizeDesignText("ab\"c d"), (Strings{"ab\"c", "d"}));
    EXPECT_EQ(TokenizeDesignText("\"ab\"cd,e"), (Strings{"ab", "cd", "e"}));
    // An unterminated quote takes the rest of the text.
    EXPECT_EQ(TokenizeDesignText("\"a\",\"b, c\r\n\"\"d"), (Strings{"a", "b, c\r\n\"d"}));
    EXPECT_EQ(TokenizeDesignText("\""), (Strings{""}));
    // NUL ends the text, inside a quote too.
    EXPECT_EQ(TokenizeDesignText("a,b\0c,d"s), (Strings{"a", "b"}));
    EXPECT_EQ(TokenizeDesignText("\"a\0b\""s), (Strings{"a"}));
    // Shift-JIS trail bytes 0x5C and 0x7C are no delimiters once decoded.
    EXPECT_EQ(TokenizeDesignText(DecodeCp932("\"\x95\x5C\",\x83\x7C")), (Strings{"表", "ポ"}));
}

// Any token list written as quoted tokens with doubled quotes comes back,
// whatever separates the tokens.
TEST(DesignTokens, QuotedTokensRoundTripWithAnySeparators) {
    std::mt19937 random(20240611);
    const std::string alphabet[] = {"a", "\"", ",", " ", "\r", "\n", "\t", "主", "ﾋ", "\x01"};
    const std::string separators[] = {" ", "\r\n", "\t", "\r", "\x1f", ","};
    for (int round = 0; round < 2000; ++round) {
        Strings tokens(random() % 8);
        std::string text;
        for (std::string& token : tokens) {
            for (int n = static_cast<int>(random() % 6); n > 0; --n)
                token += alphabet[random() % std::size(alphabet)];
            for (int n = static_cast<int>(random() % 3); n > 0; --n)
                text += separators[random() % 5];
            text += '"';
            for (char c : token)
                text += c == '"' ? "\"\""s : std::string(1, c);
            // Quoted tokens need something between them, or "" would join them.
            text += '"' + separators[random() % std::size(separators)];
        }
        ASSERT_EQ(TokenizeDesignText(text), tokens) << text;
    }
}

TEST(DesignRead, TidyAndSpreadPairsReadTheSame) {
    const std::string tidy = kHead + "\"主翼展開長\",\"180\"\r\n\"主翼内翼上反角\",\"6.5\"\r\n"
                                     "\"胴体全長\",\"201\"\r\n\"コメント\",\"一行目\r\n二行目\"\r\n"
                                     "\"実測質量\",\"4.7\"\r\n";
    const std::string spread = "  \"プログラム\"\n,\n\"Tarnifold Ver0.4\" \"主翼展開長\"\r\"180\""
                               "\t\"主翼内翼上反角\",\r\n\r\n 6.5 ,胴体全長,201 \"コメント\"\n,"
                               "\"一行目\r\n二行目\",実測質量\n4.7";
    Table expected = DefaultDesign();
    expected.setCell(MainWing, Span, "180");
    expected.setCell(InnerWing, Dihedral, "6.5");
    expected.setCell(Fuselage, Span, "201");
    expected.setCell(Fuselage, GlideSpeed, "5");
    for (const std::string& text : {tidy, spread}) {
        Table design = DefaultDesign();
        design.setCell(Fuselage, GlideSpeed, "9");
        DesignReadResult result = ApplyDesignText(text, "/tmp/a.kx", design);
        EXPECT_EQ(result.status, DesignReadStatus::Read);
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(Cells(design), Cells(expected));
        EXPECT_TRUE(result.hasComment);
        EXPECT_EQ(result.comment, "一行目\r\n二行目");
        EXPECT_TRUE(result.hasMeasuredMass);
        EXPECT_EQ(result.measuredMass, "4.7") << "kept outside the tables";
    }
}

TEST(DesignRead, RefusedHeaderChangesNothing) {
    for (std::string head :
         {"\"プログラム \",\"Tarnifold Ver0.4\"", "\"機体名\",\"Tarnifold Ver0.4\"",
          "\"プログラム\",\"tarnifold Ver0.4\"", "\"プログラム\",\" Tarnifold\"",
          "\"主翼展開長\",\"1\",\"プログラム\",\"Tarnifold Ver0.4\"", "\"プログラム\"", ""}) {
        Table design = DefaultDesign();
        DesignReadResult result =
            ApplyDesignText(head + ",\"主翼展開長\",\"1\"", "C:/d/x.kx", design);
        EXPECT_EQ(result.status, DesignReadStatus::NotADesignFile) << head;
        EXPECT_EQ(result.message,
                  "C:/d/x.kx は KXファイルではありません。\r\n読み込みを中断しました。");
        EXPECT_FALSE(result.hasComment || result.hasMeasuredMass);
        EXPECT_EQ(Cells(design), Cells(DefaultDesign())) << head;
    }
}

TEST(DesignRead, UnlistedVersionsWarnButRead) {
    const std::pair<std::string, bool> versions[] = {
        {"Tarnifold Ver0.1", false}, {"Tarnifold Ver0.2", false}, {"Tarnifold Ver0.3", false},
        {"Tarnifold Ver0.4", false}, {"Tarnifold Ver0.5", true},  {"Tarnifold", true},
        {"Tarnifold Ver0.4 ", true}, {"Tarnifold Ver0.40", true},
    };
    for (const auto& [version, warns] : versions) {
        Table design = DefaultDesign();
        DesignReadResult result = ApplyDesignText(
            "\"プログラム\",\"" + version + "\",\"主翼展開長\",\"99\"", "/home/u/g.kx", design);
        EXPECT_EQ(design.cell(MainWing, Span), "99") << version;
        EXPECT_EQ(result.status,
                  warns ? DesignReadStatus::ReadWithVersionWarning : DesignReadStatus::Read);
        EXPECT_EQ(result.message, warns
                                      ? "/home/u/g.kx は Tarnifoldのバージョンが一致しません。\r\n"
                                        "正しいデータを表示できない可能性があります。"
                                      : "");
    }
}

TEST(DesignRead, KeyFormsAndExactComparison) {
    Table design = DefaultDesign();
    DesignReadResult result = ApplyDesignText(
        kHead + "垂直尾翼上反角,12,水平尾翼の紙重さ,300,形式,通常尾翼,塗装回数,3,重心位置,30.5,"
                "機首補強紙枚数,2,胴体機首高,6,胴体後端高,1.5,胴体機首長,55,胴体機首紙名称,ﾋﾉｷ1mm,"
                "主翼,2段上反角,\"主翼展開長 \",1,主翼の展開長x,3,ｺﾒﾝﾄ,x,主翼の,5,主翼展開長,7,"
                "主翼展開長,8,コメント,old,\"コメント\",\"a\rb\nc\r\nd\n\r\",主翼翼根翼弦長",
        "f", design);
    Table expected = DefaultDesign();
    const std::tuple<int, int, const char*> filled[] = {
        {VerticalTail, Dihedral, "12"},   {HorizontalTail, PaperWeight, "300"},
        {VerticalTail, Type, "通常尾翼"}, {Fuselage, PaintCoats, "3"},
        {Fuselage, CgPosition, "30.5"},   {NoseReinforcement, SheetCount, "2"},
        {Fuselage, RootChord, "6"},       {Fuselage, TipChord, "1.5"},
        {NoseReinforcement, Span, "55"},  {NoseReinforcement, PaperName, "ﾋﾉｷ1mm"},
        {MainWing, Type, "2段上反角"},    {MainWing, Span, "8"}, // the last pair wins
        {Fuselage, GlideSpeed, "5"},
    };
    for (auto [column, row, text] : filled)
        expected.setCell(column, row, text);
    EXPECT_EQ(Cells(design), Cells(expected));
    // Lone CR and LF become CR LF; a final key without value is ignored.
    EXPECT_EQ(result.comment, "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_FALSE(result.hasMeasuredMass);
}

TEST(DesignRead, KeyWithoutValueTakesTheNextKeyAsValue) {
    Table design = DefaultDesign();
    ApplyDesignText(kHead + "\"主翼展開長\"\r\n\"主翼翼根翼弦長\",\"30\"", "f", design);
    EXPECT_EQ(design.cell(MainWing, Span), "主翼翼根翼弦長");
    EXPECT_EQ(design.cell(MainWing, RootChord), "35");
}

// Every line the default design writes, in order, against a recorded file.
TEST(DesignWrite, LinesOfTheDefaultDesign) {
    std::string text;
    for (const std::string& line : DesignFileLines(DefaultDesign(), "メモ", "glider", "4.49"))
        text += line + '\n';
    EXPECT_EQ(text, skarvel::test::Golden(__FILE__, "default_design.golden", text));
    EXPECT_EQ(MachineNameFromPath("/home/u/my glider.kx"), "my glider");
    EXPECT_EQ(MachineNameFromPath("dir.x/a.b.KX"), "a.b");
    EXPECT_EQ(MachineNameFromPath("dir.x/plain"), "plain");
}

TEST(DesignFile, RoundTripRestoresEveryWrittenCell) {
    TempDir dir;
    std::string path = dir.file("設計 1.kx");
    Table source = DefaultDesign();
    for (int row = 1; row < kRows; ++row) {
        for (int column = MainWing; column <= NoseReinforcement; ++column)
            source.setCell(column, row, std::to_string(column * 100 + row) + ".5");
    }
    // Texts that the format must carry through unharmed.
    source.setCell(MainWing, PaperName, "紙 \"特厚\", 青");
    source.setCell(InnerWing, PaperName, "");
    source.setCell(Fuselage, PaperName, "ﾋﾉｷ2mm");
    source.setCell(HorizontalTail, Span, "\"\"");
    const std::string comment = "一行目 \"引用\"\r\n二行目, 終わり";
    WriteDesignFile(path, source, comment, "4.80");

    Table target = DefaultDesign();
    DesignReadResult result = ReadDesignFile(path, target);
    EXPECT_EQ(result.status, DesignReadStatus::Read);
    EXPECT_EQ(result.comment, comment);
    EXPECT_EQ(result.measuredMass, "4.80");
    // Cells no key carries, by row: they keep the target's text.
    const std::set<std::pair<int, int>> notWritten = {
        {2, 1},  {3, 1},  {5, 1},  {6, 1},  {5, 2},  {6, 2},  {5, 3},  {6, 3},  {6, 5},  {6, 6},
        {5, 7},  {6, 7},  {5, 8},  {6, 8},  {5, 9},  {6, 9},  {4, 10}, {5, 10}, {6, 10}, {5, 17},
        {6, 17}, {2, 18}, {4, 18}, {5, 18}, {6, 18}, {1, 19}, {2, 19}, {3, 19}, {4, 19}, {6, 19},
        {1, 20}, {2, 20}, {3, 20}, {4, 20}, {6, 20}, {1, 21}, {2, 21}, {3, 21}, {4, 21}, {6, 21}};
    const Table reset = DefaultDesign();
    const std::string glideSpeed = "5";
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            bool component = row > 0 && column >= MainWing && column <= NoseReinforcement;
            const std::string& expected = column == Fuselage && row == GlideSpeed ? glideSpeed
                                          : component && !notWritten.count({column, row})
                                              ? source.cell(column, row)
                                              : reset.cell(column, row);
            EXPECT_EQ(target.cell(column, row), expected) << column << "," << row;
        }
    }
}

TEST(DesignFile, Cp932CrLfAndTheMeasuredMassWrittenBack) {
    TempDir dir;
    WriteFileBytes(dir.file("a.kx"), EncodeCp932("\"プログラム\",\"Tarnifold Ver0.3\"\r\n"
                                                 "\"実測質量\",\"6.1\""));
    Table design = DefaultDesign();
    DesignReadResult result = ReadDesignFile(dir.file("a.kx"), design);
    WriteDesignFile(dir.file("b.kx"), design, "a\r\nb", result.measuredMass);
    std::string bytes = ReadFileBytes(dir.file("b.kx"));
    EXPECT_TRUE(bytes.starts_with("\"\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80\",")); // プログラム
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    EXPECT_NE(bytes.find(EncodeCp932("\"胴体紙名称\",\"") + "\xCB\xC9\xB7" + "2mm\"\r\n"),
              std::string::npos);
    std::string text = DecodeCp932(bytes);
    EXPECT_NE(text.find("\r\n\"機体名\",\"b\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"コメント\",\"a\r\nb\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"実測質量\",\"6.1\"\r\n"), std::string::npos);
}

TEST(DesignFile, UnreadableEmptyBinaryAndTruncatedFiles) {
    TempDir dir;
    Table design = DefaultDesign();
    EXPECT_THROW(ReadDesignFile(dir.file("missing.kx"), design), FileError);
    EXPECT_THROW(ReadDesignFile(dir.path().string(), design), FileError);
    EXPECT_EQ(Cells(design), Cells(DefaultDesign()));
    EXPECT_THROW(WriteDesignFile(dir.file("no/such.kx"), design, "", "4.49"), FileError);

    const std::string program = EncodeCp932("\"プログラム\",\"Tarnifold");
    const std::pair<std::string, DesignReadStatus> cases[] = {
        {"", DesignReadStatus::NotADesignFile},
        {"\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, DesignReadStatus::NotADesignFile},
        {EncodeCp932("\"プログラム\"\0,\"Tarnifold Ver0.4\""s), DesignReadStatus::NotADesignFile},
        {program, DesignReadStatus::ReadWithVersionWarning},
        {program + " Ver0.4\",\"\x8E\xE5", DesignReadStatus::Read}, // cut after a key's 主
        {program + " Ver0.4\",\"\x8E", DesignReadStatus::Read},     // cut inside a character
    };
    for (const auto& [bytes, status] : cases) {
        WriteFileBytes(dir.file("odd.kx"), bytes);
        Table odd = DefaultDesign();
        EXPECT_EQ(ReadDesignFile(dir.file("odd.kx"), odd).status, status);
        EXPECT_EQ(Cells(odd), status == DesignReadStatus::NotADesignFile ? Cells(DefaultDesign())
                                                                         : DefaultCellsAfterRead());
    }
    WriteFileBytes(dir.file("cut.kx"), EncodeCp932(kHead + "\"コメント\",\"abc\r\n"));
    EXPECT_EQ(ReadDesignFile(dir.file("cut.kx"), design).comment, "abc\r\n");
}

// Random bytes and random soups of real keys, quotes, commas and control
// characters: no crash, no hang, and only component cells ever change.
TEST(DesignFuzz, RandomInputNeverBreaksTheReader) {
    std::mt19937 random(7);
    Strings pieces = {"\"",
                      "\"\"",
                      ",",
                      " ",
                      "\r",
                      "\n",
                      "\t",
                      "\0"s,
                      "\x01",
                      "プログラム",
                      "Tarnifold Ver0.4",
                      "コメント",
                      "実測質量",
                      "主翼",
                      "の",
                      "胴体全長",
                      "x"};
    for (int i = 1; i < kRows; ++i)
        pieces.emplace_back(kCaptions[static_cast<std::size_t>(i)]);
    for (int i = 1; i < kColumns; ++i)
        pieces.emplace_back(kHeader[static_cast<std::size_t>(i)]);
    const Table reference = DefaultDesign();
    for (int round = 0; round < 6000; ++round) {
        std::string text;
        if (round % 3 == 0) {
            for (int n = static_cast<int>(random() % 200); n > 0; --n)
                text += static_cast<char>(random() % 256);
            text = DecodeCp932(text);
        } else {
            text = round % 3 == 1 ? kHead : "";
            for (int n = static_cast<int>(random() % 60); n > 0; --n)
                text += pieces[random() % pieces.size()];
        }
        Table design = reference;
        DesignReadResult result = ApplyDesignText(text, "f", design);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                bool component = row > 0 && column >= MainWing && column <= NoseReinforcement;
                if (!component || result.status == DesignReadStatus::NotADesignFile) {
                    ASSERT_EQ(design.cell(column, row), reference.cell(column, row)) << text;
                }
            }
        }
    }
}
