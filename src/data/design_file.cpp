#include "data/design_file.h"

#include "data/codec.h"
#include "data/tables.h"
#include "data/textfile.h"

#include <array>
#include <cstddef>
#include <utility>

namespace skarvel::data {
namespace {

using namespace design;

constexpr std::string_view kProgramKey = "プログラム";
constexpr std::string_view kProgramFamily = "Tarnifold";
constexpr std::string_view kWrittenVersion = "Tarnifold Ver0.4";
constexpr std::array<std::string_view, 4> kKnownVersions = {
    "Tarnifold Ver0.1",
    "Tarnifold Ver0.2",
    "Tarnifold Ver0.3",
    "Tarnifold Ver0.4",
};
constexpr std::string_view kCommentKey = "コメント";
constexpr std::string_view kMeasuredMassKey = "実測質量";
constexpr std::string_view kGlideSpeedOnRead = "5";

// Blanks, line breaks and the other control characters between tokens.
bool IsSeparator(char c) {
    auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// Ends an unquoted token. NUL is included for safety, though the text has
// already been cut at the first NUL.
bool EndsBareToken(char c) {
    return c == ',' || static_cast<unsigned char>(c) <= 32;
}

std::string_view Header(int column) {
    return kHeader[static_cast<std::size_t>(column)];
}

std::string_view Caption(int row) {
    return kCaptions[static_cast<std::size_t>(row)];
}

bool IsConcat(std::string_view key, std::string_view a, std::string_view b) {
    return key.size() == a.size() + b.size() && key.substr(0, a.size()) == a &&
           key.substr(a.size()) == b;
}

bool IsConcat(std::string_view key, std::string_view a, std::string_view b, std::string_view c) {
    return key.size() == a.size() + b.size() + c.size() && key.substr(0, a.size()) == a &&
           IsConcat(key.substr(a.size()), b, c);
}

// Whether `key` names the cell (column, row) in one of the four forms the
// files use: "主翼展開長", "主翼の紙重さ", the tail's bare "形式" and the
// fuselage's bare captions ("塗装回数", "重心位置").
bool KeyNamesCell(std::string_view key, int column, int row) {
    std::string_view header = Header(column);
    std::string_view caption = Caption(row);
    if (IsConcat(key, header, caption) || IsConcat(key, header, "の", caption))
        return true;
    if (column == VerticalTail && key == caption && key == "形式")
        return true;
    return column == Fuselage && key == caption;
}

// Every row gets the value in at most one column: the first that the key names.
void ApplyToMatchingCells(Table& design, std::string_view key, const std::string& value) {
    for (int row = 1; row < kRows; ++row) {
        if (Caption(row).empty())
            continue;
        for (int column = MainWing; column <= NoseReinforcement; ++column) {
            if (KeyNamesCell(key, column, row)) {
                design.setCell(column, row, value);
                break;
            }
        }
    }
}

// Keys whose names do not follow the header-plus-caption pattern.
struct SpecialKey {
    std::string_view key;
    int column;
    int row;
};
constexpr SpecialKey kSpecialKeys[] = {
    {"胴体全長", Fuselage, Span},
    {"胴体機首長", NoseReinforcement, Span},
    {"胴体機首高", Fuselage, RootChord},
    {"胴体後端高", Fuselage, TipChord},
    {"胴体機首紙名称", NoseReinforcement, PaperName},
    {"主翼", MainWing, Type},
};

// The comment box shows CR LF line breaks; files edited elsewhere may hold
// bare CR or LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool first = true;
    ForEachLine(text, [&](std::string_view line) {
        if (!first)
            out += "\r\n";
        out += line;
        first = false;
    });
    if (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        out += "\r\n";
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The reader takes "" inside a quoted value as one quote, so doubling them
// lets a comment or cell holding quotes come back whole.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace

DesignTokenizer::DesignTokenizer(std::string_view utf8) : text_(utf8) {
    // A NUL byte cannot occur in a design file that its writers produce;
    // treating it as the end keeps binary rubbish after it out of the design.
    if (std::size_t nul = text_.find('\0'); nul != std::string_view::npos)
        text_ = text_.substr(0, nul);
    skipSeparators();
}

void DesignTokenizer::skipSeparators() {
    while (pos_ < text_.size() && IsSeparator(text_[pos_]))
        ++pos_;
}

bool DesignTokenizer::next(std::string& token) {
    // UTF-8 lead and trail bytes are all >= 0x80, so stepping byte by byte
    // never splits a character at a quote, comma or blank.
    const std::size_t end = text_.size();
    if (pos_ >= end)
        return false;
    token.clear();
    if (text_[pos_] == '"') {
        ++pos_;
        while (pos_ < end) {
            char c = text_[pos_++];
            if (c != '"') {
                token += c;
            } else if (pos_ < end && text_[pos_] == '"') {
                token += '"';
                ++pos_;
            } else {
                break;
            }
        }
    } else {
        std::size_t start = pos_;
        while (pos_ < end && !EndsBareToken(text_[pos_]))
            ++pos_;
        token.assign(text_.substr(start, pos_ - start));
    }
    skipSeparators();
    if (pos_ < end && text_[pos_] == ',') {
        ++pos_;
        skipSeparators();
    }
    return true;
}

std::vector<std::string> TokenizeDesignText(std::string_view utf8) {
    std::vector<std::string> tokens;
    DesignTokenizer tokenizer(utf8);
    for (std::string token; tokenizer.next(token);)
        tokens.push_back(token);
    return tokens;
}

std::string NotADesignFileMessage(const std::string& fullName) {
    return fullName + " は KXファイルではありません。" + "\r\n" + "読み込みを中断しました。";
}

std::string DesignVersionMessage(const std::string& fullName) {
    return fullName + " は Tarnifoldのバージョンが一致しません。" + "\r\n" +
           "正しいデータを表示できない可能性があります。";
}

DesignReadResult ApplyDesignText(std::string_view utf8Text, const std::string& fullName,
                                 Table& design) {
    DesignReadResult result;
    // Token by token: the text may be megabytes of commas, and most of it is
    // never needed once the header is refused.
    DesignTokenizer tokenizer(utf8Text);
    std::string program, version;
    if (!tokenizer.next(program) || !tokenizer.next(version) || program != kProgramKey ||
        !StartsWith(version, kProgramFamily)) {
        result.status = DesignReadStatus::NotADesignFile;
        result.message = NotADesignFileMessage(fullName);
        return result;
    }
    result.status = DesignReadStatus::ReadWithVersionWarning;
    for (std::string_view known : kKnownVersions) {
        if (version == known)
            result.status = DesignReadStatus::Read;
    }
    if (result.status == DesignReadStatus::ReadWithVersionWarning)
        result.message = DesignVersionMessage(fullName);

    // A final key without a value is ignored.
    std::string key, value;
    while (tokenizer.next(key) && tokenizer.next(value)) {
        // No cell and no special key has an empty name.
        if (key.empty())
            continue;
        ApplyToMatchingCells(design, key, value);
        for (const SpecialKey& special : kSpecialKeys) {
            if (key == special.key)
                design.setCell(special.column, special.row, value);
        }
        if (key == kMeasuredMassKey) {
            result.hasMeasuredMass = true;
            result.measuredMass = value;
        } else if (key == kCommentKey) {
            result.hasComment = true;
            result.comment = WithCrLf(value);
        }
    }
    // The glide speed is a setting of this program, not part of a design.
    design.setCell(Fuselage, GlideSpeed, std::string(kGlideSpeedOnRead));
    return result;
}

DesignReadResult ReadDesignFile(const std::string& path, Table& design) {
    std::string text = DecodeCp932(ReadFileBytes(path, kDataFileLimit));
    return ApplyDesignText(text, QuotedName(path), design);
}

std::vector<std::string> DesignFileLines(const Table& design, const std::string& comment,
                                         const std::string& machineName,
                                         const std::string& measuredMass) {
    std::vector<std::string> lines;
    lines.reserve(104);
    auto add = [&](std::string_view key, std::string_view value) {
        lines.push_back(Quoted(key) + "," + Quoted(value));
    };
    auto addCell = [&](std::string_view key, int column, int row) {
        add(key, design.cell(column, row));
    };
    auto named = [](int column, std::string_view rest) {
        return std::string(Header(column)) + std::string(rest);
    };
    // Rows "展開長" to `lastRow` of one component, keyed by header and caption.
    auto addGeometry = [&](int column, int lastRow) {
        for (int row = Span; row <= lastRow; ++row)
            addCell(named(column, Caption(row)), column, row);
    };

    add(kProgramKey, kWrittenVersion);
    add("機体名", machineName);
    add("種別", "Skarvel");
    addCell("主翼", MainWing, Type);
    addCell("形式", VerticalTail, Type);
    // Launcher constants the design tool expects; this program has no use for them.
    add("ゴム", "AG旧 #20");
    add("発進", "ハンドランチ");
    add(kCommentKey, comment);
    for (int column = MainWing; column <= VerticalTail; ++column) {
        addCell(named(column, "前縁平面形"), column, LeadingEdge);
        addCell(named(column, "後縁平面形"), column, TrailingEdge);
    }
    for (int column = MainWing; column <= Fuselage; ++column)
        addCell(named(column, "紙名称"), column, PaperName);
    addCell("胴体機首紙名称", NoseReinforcement, PaperName);
    addCell("塗装回数", Fuselage, PaintCoats);
    for (int column = MainWing; column <= NoseReinforcement; ++column)
        addCell(named(column, "紙枚数"), column, SheetCount);
    add("ゴム本数", "1");
    addGeometry(MainWing, Dihedral);
    addGeometry(InnerWing, Dihedral);
    addGeometry(HorizontalTail, Dihedral);
    addGeometry(VerticalTail, ForeAft); // its dihedral follows from the tail type
    addCell("胴体全長", Fuselage, Span);
    addCell("胴体機首長", NoseReinforcement, Span);
    addCell("胴体機首高", Fuselage, RootChord);
    addCell("胴体後端高", Fuselage, TipChord);
    addCell("重心位置", Fuselage, CgPosition);
    for (std::string_view key : {"重心", "両立余裕", "動安定余裕", "揚力傾斜比", "モーメント比"})
        add(key, "");
    for (int column = MainWing; column <= NoseReinforcement; ++column)
        addCell(named(column, "紙質量"), column, PaperMass);
    for (int column = MainWing; column <= NoseReinforcement; ++column)
        addCell(named(column, "紙厚"), column, PaperThick);
    for (int column = MainWing; column <= VerticalTail; ++column)
        addCell(named(column, "エッジ"), column, Edge);
    addCell("主翼下面キャンバ", MainWing, LowerCamber);
    addCell("水平尾翼下面キャンバ", HorizontalTail, LowerCamber);
    add("有効パワー", "80");
    add("ゴム長", "50");
    add("ゴムの引き", "100");
    add("発射初速", "150");
    add("上昇角", "80");
    add(kMeasuredMassKey, measuredMass);
    add("Max", "115");
    for (int column = MainWing; column <= NoseReinforcement; ++column)
        addCell(named(column, "の紙重さ"), column, PaperWeight);
    for (int column = MainWing; column <= NoseReinforcement; ++column)
        addCell(named(column, "の紙厚さ"), column, PaperThickness);
    return lines;
}

std::string MachineNameFromPath(const std::string& path) {
    std::string_view name = LastPathComponent(path);
    if (std::size_t dot = name.rfind('.'); dot != std::string_view::npos)
        name = name.substr(0, dot);
    return std::string(name);
}

void WriteDesignFile(const std::string& path, const Table& design, const std::string& comment,
                     const std::string& measuredMass) {
    WriteCp932Lines(path,
                    DesignFileLines(design, comment, MachineNameFromPath(path), measuredMass));
}

} // namespace skarvel::data
