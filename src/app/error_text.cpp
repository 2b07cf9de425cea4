#include "app/error_text.h"

#include "data/textfile.h"
#include "sim/checked.h"
#include "sim/dynamics.h"
#include "view/pattern.h"
#include "view/pixel.h"

namespace skarvel::app {

std::string ErrorText(const std::exception& e) {
    if (const auto* file = dynamic_cast<const data::FileError*>(&e)) {
        return file->japanese();
    }
    if (dynamic_cast<const view::PatternError*>(&e) != nullptr) {
        return e.what(); // its own words are the window's
    }
    if (dynamic_cast<const view::RangeError*>(&e) != nullptr) {
        return "図が描ける座標の範囲を超えています。";
    }
    if (dynamic_cast<const sim::NoDesignError*>(&e) != nullptr) {
        return "設計に基づく空力の計算に使える設計がありません。";
    }
    if (dynamic_cast<const sim::ArithmeticError*>(&e) != nullptr) {
        return "計算できない値になりました（" + std::string(e.what()) + "）。";
    }
    return "予期しないエラーが発生しました（" + std::string(e.what()) + "）。";
}

} // namespace skarvel::app
