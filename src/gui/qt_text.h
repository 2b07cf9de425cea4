#pragma once
// Text between the core (UTF-8 std::string) and Qt (QString).

#include <QString>

#include <string>

namespace skarvel::gui {

inline QString ToQString(const std::string& s) {
    return QString::fromStdString(s);
}

inline std::string ToStdString(const QString& s) {
    return s.toStdString();
}

} // namespace skarvel::gui
