// A file's failures, from real failures of the file layer, said in the
// window's Japanese.

#include "app/error_text.h"

#include "common/temp_dir.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

using skarvel::app::ErrorText;
namespace data = skarvel::data;

std::string TextOf(const std::function<void()>& failing) {
    try {
        failing();
    } catch (const std::exception& e) {
        return ErrorText(e);
    }
    return "no failure";
}

TEST(ErrorText, SaysEveryFailureInJapanese) {
    const skarvel::test::TempDir dir;
    const std::string missing = dir.file("nowhere/flight.kxs");
    EXPECT_EQ(TextOf([&] { data::WriteFileBytes(missing, "x"); }),
              "「" + missing + "」を保存できません: フォルダまたはファイルがありません。");
    EXPECT_EQ(TextOf([&] { data::ReadFileBytes(dir.path().string()); }),
              "「" + dir.path().string() + "」を読み込めません: フォルダです。");
    EXPECT_EQ(TextOf([&] { data::WriteFileBytes(dir.file(""), "x"); }),
              "「" + dir.file("") + "」を保存できません: ファイル名がありません。");
    data::WriteFileBytes(dir.file("big"), std::string(10, 'x'));
    EXPECT_EQ(TextOf([&] { data::ReadFileBytes(dir.file("big"), 5); }),
              "ファイルが大きすぎます: " + dir.file("big"));
}

} // namespace
