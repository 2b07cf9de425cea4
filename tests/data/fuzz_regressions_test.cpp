// Texts the number-text fuzz target once failed on, kept in
// regressions/numtext/ beside this file and read again by the same readers.

#include "data/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace skarvel::data;

const fs::path kRegressions = fs::path(__FILE__).parent_path() / "regressions";

void ExpectReadersKeepTheirPromises(const std::string& text, const std::string& name) {
    EXPECT_TRUE(std::isfinite(ParseRealStrict(text))) << name;
    EXPECT_TRUE(std::isfinite(ParseReal(text))) << name;
    EXPECT_TRUE(std::isfinite(ParseWithSiPrefix(text))) << name;
    double value = 0;
    if (!TryParseRealStrict(text, value)) {
        EXPECT_EQ(value, 0.0) << name;
    }
}

TEST(FuzzRegressions, NumberTexts) {
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kRegressions / "numtext")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        ExpectReadersKeepTheirPromises(text, entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 0) << kRegressions;
}

TEST(FuzzRegressions, SiPrefixBeyondTheRangeOfADouble) {
    EXPECT_EQ(ParseWithSiPrefix("1e308k"), 0.0);
    EXPECT_EQ(ParseWithSiPrefix("-1e308 Tm"), 0.0);
    EXPECT_EQ(ParseWithSiPrefix("1e300k"), 1e303);
    EXPECT_EQ(ParseWithSiPrefix("1e-320p"), 0.0);
}

} // namespace
