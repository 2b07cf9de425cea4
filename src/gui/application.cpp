#include "gui/application.h"

#include "app/workspace.h"

#include <QApplication>
#include <QByteArray>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace skarvel::gui {

void ConfigureApplication(QApplication& app) {
    // The window's settings live under these names (QSettings).
    QApplication::setOrganizationName(QString::fromUtf8(app::kAppTitle));
    QApplication::setApplicationName(QString::fromUtf8(app::kAppTitle));
    // The installed desktop entry, for the window system's icon and grouping.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.skarvel.Skarvel"));
    QApplication::setFont(InterfaceFont());
    // The interface is Japanese whatever the system's language.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(qt);
    } else {
        delete qt;
    }
}

void UseJapaneseSystemLocale() {
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("LC_CTYPE")) {
            qputenv("LC_CTYPE", all);
        }
        qunsetenv("LC_ALL");
    }
    for (const char* category : {"LC_TIME", "LC_NUMERIC", "LC_MESSAGES"}) {
        qputenv(category, "ja_JP.UTF-8");
    }
}

QFont InterfaceFont() {
    const QStringList families = QFontDatabase::families();
    QString family;
    for (const QString& wanted :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")}) {
        if (families.contains(wanted)) {
            family = wanted;
            break;
        }
    }
    QFont font = family.isEmpty() ? QApplication::font() : QFont(family);
    font.setPixelSize(12);
    return font;
}

} // namespace skarvel::gui
