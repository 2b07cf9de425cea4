#pragma once
// Whether a document is well-formed XML, as an XML reader sees it.

#include <QByteArray>
#include <QXmlStreamReader>

#include <string>

namespace skarvel::test {

// Empty when well formed, else the reader's complaint and where.
inline std::string XmlError(const std::string& document) {
    QXmlStreamReader reader(QByteArray::fromStdString(document));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (!reader.hasError()) {
        return {};
    }
    return reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber()) +
           ", column " + std::to_string(reader.columnNumber());
}

} // namespace skarvel::test
