#include "data/codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace skarvel::data;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

// What a second trip through the codec must give for decoded text: the
// replacement characters come back as "?".
std::string WithQuestionMarks(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(kFffd, from)) != std::string::npos; from = at + 3) {
        out.append(text, from, at - from);
        out += '?';
    }
    out.append(text, from);
    return out;
}

} // namespace

TEST(Cp932, DecodesKnownBytes) {
    EXPECT_EQ(DecodeCp932("abc"), "abc");
    EXPECT_EQ(DecodeCp932("\x82\xA0"), "あ");
    EXPECT_EQ(DecodeCp932("\x8D\x80\x96\xDA=\x92\x6C \x92\x50\x88\xCA"), "項目=値 単位");
    // The Windows table: 0x5C is a backslash and 0x7E a tilde, not yen and overline.
    EXPECT_EQ(DecodeCp932("\x5C\x7E"), "\\~");
    EXPECT_EQ(DecodeCp932("\x81\x60"), "～");
    EXPECT_EQ(DecodeCp932(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(DecodeCp932(""), "");
}

TEST(Cp932, EncodesKnownCharacters) {
    EXPECT_EQ(EncodeCp932("ﾋﾉｷ2mm"), "\xCB\xC9\xB7"
                                     "2mm");
    EXPECT_EQ(EncodeCp932("項目=値 単位\r\n"), "\x8D\x80\x96\xDA=\x92\x6C \x92\x50\x88\xCA\r\n");
    EXPECT_EQ(EncodeCp932("\\~"), "\x5C\x7E");
    EXPECT_EQ(EncodeCp932(""), "");
}

TEST(Cp932, NonWindowsFormsMapToTheirCp932Characters) {
    const struct {
        const char* from;
        const char* bytes;
    } cases[] = {
        {"〜", "\x81\x60"}, // U+301C -> U+FF5E
        {"−", "\x81\x7C"},  // U+2212 -> U+FF0D
        {"‖", "\x81\x61"},  // U+2016 -> U+2225
        {"—", "\x81\x5C"},  // U+2014 -> U+2015
        {"¢", "\x81\x91"},  // U+00A2 -> U+FFE0
        {"£", "\x81\x92"},  // U+00A3 -> U+FFE1
        {"¬", "\x81\xCA"},  // U+00AC -> U+FFE2
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeCp932(c.from), c.bytes) << c.from;
        EXPECT_NE(DecodeCp932(c.bytes), "?");
    }
    EXPECT_EQ(DecodeCp932(EncodeCp932("1〜2")), "1～2");
}

TEST(Cp932, RoundTripsTheCharactersTheTablesUse) {
    for (const char* text : {"ﾋﾉｷ2mm", "Ｖ尾翼", "（）", "①②", "㈱", "髙", "～－∥―￠￡￢",
                             "項目=値 単位", "両立余裕(重心)", "rヨー  角速度", "Φロール角",
                             "Θピッチ角", "Ψヨー角", "主翼テーパー比=0.44 "}) {
        EXPECT_EQ(DecodeCp932(EncodeCp932(text)), text) << text;
    }
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(EncodeCp932("a😀b"), "a?b");
    EXPECT_EQ(EncodeCp932("한글x"), "??x");
    EXPECT_EQ(EncodeCp932("\xE2\x82\xAC"), "?"); // euro sign
}

TEST(Cp932, InvalidUtf8BytesBecomeQuestionMarks) {
    EXPECT_EQ(EncodeCp932("a\xFF"
                          "b"),
              "a?b");
    EXPECT_EQ(EncodeCp932("x\xE3\x81"), "x??");
    EXPECT_EQ(EncodeCp932("x\xE3\x81y"), "x??y");
    EXPECT_EQ(EncodeCp932("\xC0\xAF"), "??");           // overlong "/"
    EXPECT_EQ(EncodeCp932("\xED\xA0\x80z"), "???z");    // surrogate
    EXPECT_EQ(EncodeCp932("\xF4\x90\x80\x80"), "????"); // above U+10FFFF
    EXPECT_EQ(EncodeCp932("\x80あ"), "?\x82\xA0");
}

TEST(Cp932, InvalidBytesDecodeToReplacementAndGoOn) {
    EXPECT_EQ(DecodeCp932("a\x80"
                          "b"),
              "a" + kFffd + "b");
    EXPECT_EQ(DecodeCp932("\xA0\xFD"), kFffd + kFffd);
    EXPECT_EQ(DecodeCp932("ab\x82"), "ab" + kFffd);
    // A lead byte with a bad trail: only the lead byte is lost.
    EXPECT_EQ(DecodeCp932("\x82 A\x82\xA0"), kFffd + " Aあ");
}

TEST(Cp932, LongTextsCrossTheConversionBuffer) {
    std::string text;
    for (int i = 0; i < 30000; ++i)
        text += i % 7 == 0 ? "a" : "あ";
    std::string bytes = EncodeCp932(text);
    EXPECT_EQ(bytes.size(), 30000u * 2 - (30000u + 6) / 7);
    EXPECT_EQ(DecodeCp932(bytes), text);
}

TEST(Cp932, RandomBytesSurviveASecondTrip) {
    std::mt19937 random(932);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes;
        int length = static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k)
            bytes += static_cast<char>(random() & 0xFF);
        std::string text = DecodeCp932(bytes);
        ASSERT_EQ(DecodeCp932(EncodeCp932(text)), WithQuestionMarks(text));
        // Random text as UTF-8 input must not lose what follows a bad byte.
        std::string encoded = EncodeCp932(bytes + "END");
        ASSERT_GE(encoded.size(), 3u);
        EXPECT_EQ(encoded.substr(encoded.size() - 3), "END");
    }
}

TEST(Cp932, UnsavableCharacters) {
    // Kept: ASCII, kana, kanji, Greek, full-width forms. Changed: what CP932
    // lacks (?), the non-Windows forms it maps, the yen sign (read back as a
    // backslash) and a byte that starts no character.
    EXPECT_EQ(UnsavableCharacters("aあ漢αＡ～\\~ÄaÄ〜−‖—¢£¬¥☃😀\xFF"),
              (std::vector<std::string>{"Ä", "〜", "−", "‖", "—", "¢", "£", "¬", "¥", "☃"}));
    EXPECT_EQ(UnsavableCharacters("Ä☃😀\xFF", 2), (std::vector<std::string>{"Ä", "☃"}));
    EXPECT_EQ(UnsavableCharacters(std::vector<std::string>{"項目=値 単位", "😀=\xFF", "x😀"}),
              (std::vector<std::string>{"😀", kFffd}));
    EXPECT_EQ(UnsavableCharacters(""), std::vector<std::string>{});
}
