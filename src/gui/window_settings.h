#pragma once
// What the window keeps from one session to the next, in the application's
// settings (QSettings with the organization and application names set at
// start-up): where the window stood, how its panels were split, the pages
// shown, the folder of the last file dialog and the files used last. A
// missing or unreadable value leaves the window as it starts without one.

#include <QRect>
#include <QString>
#include <QStringList>

namespace skarvel::gui {

namespace settings_key {
inline constexpr char kGeometry[] = "window/geometry";             // QRect, the normal geometry
inline constexpr char kMaximized[] = "window/maximized";           // bool
inline constexpr char kMainSplitter[] = "window/mainSplitter";     // QSplitter::saveState()
inline constexpr char kTopSplitter[] = "window/topSplitter";       // tables | pages
inline constexpr char kBottomSplitter[] = "window/bottomSplitter"; // comment | sketch | history
inline constexpr char kLeftPage[] = "window/leftPage";             // int
inline constexpr char kRightPage[] = "window/rightPage";           // int
inline constexpr char kLastFolder[] = "files/lastFolder";          // QString
inline constexpr char kRecentFiles[] = "files/recent";             // QStringList, newest first
} // namespace settings_key

inline constexpr int kRecentFileCount = 8;

// How a file of the recent list is opened, by its extension.
enum class RecentKind { None, Input, Design };
RecentKind RecentFileKind(const QString& path);

// `list` with `file` first: as an absolute, clean path, once, and at most
// kRecentFileCount entries. A file whose extension tells no kind is left out.
QStringList WithRecentFile(const QStringList& list, const QString& file);

// The recent list as stored, cleaned the same way.
QStringList RecentFiles();
// Puts `file` first in the stored list and returns the new list.
QStringList AddRecentFile(const QString& file);

// The folder of the file last chosen in a file dialog; empty when none is
// stored or it no longer exists.
QString LastFolder();
void RememberFolderOf(const QString& file);

// The name a file dialog starts from: a bare file name that does not exist
// in the current folder is offered in the last folder used, and an empty
// one starts in that folder. Every other name stays as it is.
QString DialogStart(const QString& name, const QString& lastFolder);

// A stored window rectangle is used only when it has a size and enough of it
// lies on one of the screens to be grabbed and moved.
bool UsableGeometry(const QRect& rect);

// The stored page of a tab group: `fallback` when none is stored or it is
// not one of `count` pages.
int StoredPage(const char* key, int count, int fallback);

} // namespace skarvel::gui
