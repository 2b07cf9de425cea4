#pragma once
// Text between the core (UTF-8 std::string) and Qt (QString).

#include <QString>

#include <string>

namespace skarvel::gui {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

inline std::string S(const QString& s) {
    return s.toStdString();
}

} // namespace skarvel::gui
