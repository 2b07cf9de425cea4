#include "model/paper_catalogue.h"

#include "common/temp_dir.h"
#include "data/codec.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace skarvel::model;
namespace col = skarvel::model::paper_column;
using skarvel::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

Strings Column(const PaperCatalogue& catalogue, int column) {
    Strings texts;
    for (const PaperSpec& row : catalogue.rows())
        texts.push_back(row.text(column));
    return texts;
}

PaperCatalogue FromText(std::string_view text) {
    PaperCatalogue catalogue;
    catalogue.setRows(ParsePaperCatalogue(text));
    return catalogue;
}

void WriteCatalogue(const std::string& path, const std::string& utf8) {
    skarvel::data::WriteFileBytes(path, skarvel::data::EncodeCp932(utf8));
}

const std::string kSample = "板目青\t板目表紙\t\t青\t489\t0.630\t0.776\r\n"
                            "NB160\t厚口上質紙\t\t白\t186\t0.198\r\n"
                            "ﾋﾉｷ2mm\t檜薄板\t2mm\t\t800\t2\t0.400\r\n";

} // namespace

TEST(PaperCatalogue, ColumnsCaptionsAndWidths) {
    std::string captions;
    int width = 0;
    for (const PaperColumnInfo& column : kPaperColumns) {
        captions += std::string(column.caption) + "|";
        width += column.width;
    }
    EXPECT_EQ(captions, "No.|名称|品名|規格|色|質量|厚さ|比重|縦曲げ剛性|横曲げ剛性|縦横剛性比|");
    EXPECT_EQ(kPaperColumns[col::Number].width, 30);
    EXPECT_EQ(kPaperColumns[col::Grade].width, 100);
    EXPECT_EQ(width, 30 + 80 + 100 + 100 + 60 + 40 * 3 + 75 * 3);
}

TEST(PaperCatalogue, LinesFieldsAndNumbers) {
    PaperCatalogue catalogue = FromText("a\r\nb\nc\rd\r\n\r\n\n 紙B \t\t\t\t 90 \tx\t\t\t\t\t余り\n"
                                        "紙A\t上質紙\r\n");
    EXPECT_EQ(Column(catalogue, col::Name), (Strings{"a", "b", "c", "d", "", "", " 紙B ", "紙A"}));
    EXPECT_EQ(Column(catalogue, col::Number), (Strings{"1", "2", "3", "4", "5", "6", "7", "8"}));
    const PaperSpec& many = catalogue.rows()[6];
    EXPECT_EQ(many.text(col::Weight), " 90 ");
    EXPECT_EQ(many.text(col::Thickness), "x");
    EXPECT_EQ(many.fields.size(), 11u) << "fields past the columns are kept";
    const PaperSpec& two = catalogue.rows()[7];
    EXPECT_EQ(two.text(col::Product), "上質紙");
    for (int column = col::Grade; column < col::kCount; ++column)
        EXPECT_EQ(two.text(column), "");
    // No phantom row after a final line break, but an empty line is a row.
    EXPECT_EQ(ParsePaperCatalogue("a\r").size(), 1u);
    EXPECT_EQ(ParsePaperCatalogue("\r\n").size(), 1u);
    EXPECT_EQ(ParsePaperCatalogue("").size(), 0u);
}

TEST(PaperCatalogue, LoadReloadAndMissingFile) {
    TempDir dir;
    std::string path = dir.file("Paper.ini");
    WriteCatalogue(path, kSample);
    PaperCatalogue catalogue;
    ASSERT_TRUE(catalogue.load(path));
    EXPECT_EQ(Column(catalogue, col::Name), (Strings{"板目青", "NB160", "ﾋﾉｷ2mm"}));
    catalogue.sortBy(col::Weight);
    EXPECT_EQ(Column(catalogue, col::Number), (Strings{"2", "1", "3"}));

    WriteCatalogue(path, "新しい紙\r\n" + kSample);
    ASSERT_TRUE(catalogue.load(path));
    EXPECT_EQ(Column(catalogue, col::Number), (Strings{"1", "2", "3", "4"}));
    EXPECT_EQ(Column(catalogue, col::Name)[0], "新しい紙");

    EXPECT_FALSE(catalogue.load(dir.file("missing.ini")));
    EXPECT_FALSE(catalogue.load(dir.path().string()));
    // A file over 4 MB is no catalogue either.
    const std::string big = dir.file("big.ini");
    skarvel::data::WriteFileBytes(big, std::string(skarvel::data::kDataFileLimit + 1, '\n'));
    EXPECT_FALSE(catalogue.load(big));
    EXPECT_EQ(catalogue.rows().size(), 4u);
}

TEST(PaperCatalogue, SortingAscendingAndStable) {
    PaperCatalogue catalogue = FromText("a\t\t\t\t100\n"
                                        "B\t\t\t\t90\n"
                                        "c\t\t\t\t1k\n"
                                        "d\t\t\t\tabc\n"
                                        "e\t\t\t\t-5\n"
                                        "f\t\t\t\t99.5g/m2\n"
                                        "g\t\t\t\t1e2\n"
                                        "h\t\t\t\t90\n"
                                        "i\n"
                                        "j\n"
                                        "k\n");
    // "abc" reads as 0 and "99.5g/m2" has the giga prefix; equal values
    // (90 and 90, 100 and 1e2) keep their order.
    std::vector<std::size_t> order = catalogue.sortBy(col::Weight);
    EXPECT_EQ(Column(catalogue, col::Name),
              (Strings{"e", "d", "i", "j", "k", "B", "h", "a", "g", "c", "f"}));
    EXPECT_EQ(order.front(), 4u);
    catalogue.sortBy(col::Weight); // every click sorts ascending again
    EXPECT_EQ(Column(catalogue, col::Name)[1], "d");
    catalogue.sortBy(col::Number); // "10" after "9"
    EXPECT_EQ(Column(catalogue, col::Number),
              (Strings{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));

    PaperCatalogue names = FromText("Cherry\tkent\nApple\tcopy\nBanana\tart\nApple\tboard\n");
    names.sortBy(col::Name);
    EXPECT_EQ(Column(names, col::Product), (Strings{"copy", "board", "art", "kent"}));
    // Case-sensitive: "b" and "B" never tie, whichever comes first.
    PaperCatalogue one = FromText("b\nB\n"), other = FromText("B\nb\n");
    one.sortBy(col::Name);
    other.sortBy(col::Name);
    EXPECT_EQ(Column(one, col::Name), Column(other, col::Name));
    EXPECT_TRUE(names.sortBy(col::kCount).empty());
    EXPECT_EQ(Column(names, col::Name), (Strings{"Apple", "Apple", "Banana", "Cherry"}));
}

TEST(PaperDialog, SelectionOkAndCancel) {
    TempDir dir;
    std::string path = dir.file("Paper.ini");
    WriteCatalogue(path, kSample + "NB160\t二番目\t\t\t200\t0.2\r\n");
    PaperDialogState dialog(path);
    const PaperChoice passed{"NB160", "1", "2"};
    dialog.setChoice(passed);
    dialog.show();
    EXPECT_EQ(dialog.selectedRow(), 1u) << "the first row of that name";
    dialog.select(2);
    dialog.cancel();
    EXPECT_EQ(dialog.choice(), passed);
    dialog.show();
    dialog.sortBy(col::Thickness); // the selection stays on its paper
    dialog.accept();
    EXPECT_EQ(dialog.choice(), (PaperChoice{"NB160", "186", "0.198"}));

    for (const char* name : {"nb160", "NB160 ", "ＮＢ１６０", "", "未登録"}) {
        dialog.setChoice({name, "1", "2"});
        dialog.show();
        EXPECT_EQ(dialog.selectedRow(), std::nullopt) << name;
        dialog.accept(); // OK without a row keeps what was passed in
        EXPECT_EQ(dialog.choice(), (PaperChoice{name, "1", "2"}));
    }
    dialog.select(9);
    EXPECT_EQ(dialog.selectedRow(), std::nullopt);

    dialog.select(0);
    std::filesystem::remove(path);
    EXPECT_FALSE(dialog.reload());
    EXPECT_EQ(dialog.selectedRow(), 0u);
    WriteCatalogue(path, kSample);
    EXPECT_TRUE(dialog.reload());
    EXPECT_EQ(dialog.selectedRow(), std::nullopt);
    EXPECT_TRUE(PaperDialogState(dir.file("none.ini")).catalogue().rows().empty());
}

TEST(ShippedCatalogue, WellFormedAndHoldsTheDefaultDesignsPapers) {
    const std::string path = std::string(SKARVEL_EXAMPLES) + "/Paper.ini";
    std::string bytes = skarvel::data::ReadFileBytes(path);
    std::string text = skarvel::data::DecodeCp932(bytes);
    EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "not valid CP932";
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    EXPECT_EQ(skarvel::data::SplitLines(text).size(),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));

    PaperCatalogue catalogue;
    ASSERT_TRUE(catalogue.load(path));
    ASSERT_GE(catalogue.rows().size(), 25u);
    std::set<std::string> names;
    for (const PaperSpec& row : catalogue.rows()) {
        std::string name = row.text(col::Name);
        EXPECT_EQ(row.fields.size(), 10u) << name;
        EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
        double weight = 0, thickness = 0, gravity = 0;
        ASSERT_TRUE(skarvel::data::TryParseRealStrict(row.text(col::Weight), weight)) << name;
        ASSERT_TRUE(skarvel::data::TryParseRealStrict(row.text(col::Thickness), thickness));
        ASSERT_TRUE(skarvel::data::TryParseRealStrict(row.text(col::SpecificGravity), gravity));
        EXPECT_NEAR(gravity, weight / thickness / 1000, 0.0006) << name;
    }
    // Every paper of the default design is there with the design's values.
    skarvel::data::Tables tables;
    skarvel::data::ResetTables(tables);
    namespace design = skarvel::data::design;
    for (int column = design::MainWing; column <= design::Fuselage; ++column) {
        const std::string& name = tables.design.cell(column, design::PaperName);
        auto row = catalogue.findName(name);
        ASSERT_TRUE(row.has_value()) << name;
        const PaperSpec& paper = catalogue.rows()[*row];
        EXPECT_EQ(paper.text(col::Weight), tables.design.cell(column, design::PaperWeight));
        EXPECT_EQ(
            skarvel::data::ParseRealStrict(paper.text(col::Thickness)),
            skarvel::data::ParseRealStrict(tables.design.cell(column, design::PaperThickness)));
    }
}
