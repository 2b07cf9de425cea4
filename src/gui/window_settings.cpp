#include "gui/window_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVariant>

namespace skarvel::gui {

namespace {

// What must lie on a screen for the window to be found and moved.
constexpr int kVisibleWidth = 100;
constexpr int kVisibleHeight = 40;
constexpr int kMinimumSide = 100;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

QString CleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentKind RecentFileKind(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QStringLiteral("kxs"), Qt::CaseInsensitive) == 0) {
        return RecentKind::Input;
    }
    if (suffix.compare(QStringLiteral("kx"), Qt::CaseInsensitive) == 0) {
        return RecentKind::Design;
    }
    return RecentKind::None;
}

QStringList WithRecentFile(const QStringList& list, const QString& file) {
    QStringList out;
    const auto add = [&out](const QString& path) {
        if (path.isEmpty() || RecentFileKind(path) == RecentKind::None ||
            out.size() >= kRecentFileCount) {
            return;
        }
        const QString clean = CleanAbsolute(path);
        if (!out.contains(clean, kPathCase)) {
            out.append(clean);
        }
    };
    add(file);
    for (const QString& path : list) {
        add(path);
    }
    return out;
}

QStringList RecentFiles() {
    return WithRecentFile(QSettings().value(settings_key::kRecentFiles).toStringList(), QString());
}

QStringList AddRecentFile(const QString& file) {
    const QStringList list = WithRecentFile(RecentFiles(), file);
    QSettings().setValue(settings_key::kRecentFiles, list);
    return list;
}

QString LastFolder() {
    const QString folder = QSettings().value(settings_key::kLastFolder).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberFolderOf(const QString& file) {
    if (!file.isEmpty()) {
        QSettings().setValue(settings_key::kLastFolder, QFileInfo(file).absolutePath());
    }
}

QString DialogStart(const QString& name, const QString& lastFolder) {
    if (lastFolder.isEmpty()) {
        return name;
    }
    if (name.isEmpty()) {
        return lastFolder;
    }
    const QFileInfo info(name);
    if (info.isRelative() && info.fileName() == name && !info.exists()) {
        return QDir(lastFolder).filePath(name);
    }
    return name;
}

bool UsableGeometry(const QRect& rect) {
    if (!rect.isValid() || rect.width() < kMinimumSide || rect.height() < kMinimumSide) {
        return false;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect on = rect.intersected(screen->availableGeometry());
        if (on.width() >= kVisibleWidth && on.height() >= kVisibleHeight) {
            return true;
        }
    }
    return false;
}

int StoredPage(const char* key, int count, int fallback) {
    bool ok = false;
    const int page = QSettings().value(key).toInt(&ok);
    return ok && page >= 0 && page < count ? page : fallback;
}

} // namespace skarvel::gui
