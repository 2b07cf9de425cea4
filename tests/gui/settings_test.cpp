// What the window keeps between sessions: its layout, the folder of its file
// dialogs and the recent files of the file menu. The settings are the test
// run's own (see gui_main.cpp); each Window starts from none unless told.

#include "common/temp_dir.h"
#include "data/textfile.h"
#include "gui/dialogs.h"
#include "gui/form_sim.h"
#include "gui/window_settings.h"
#include "window_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using skarvel::gui::Command;
using skarvel::test::Window;
namespace gui = skarvel::gui;
namespace key = skarvel::gui::settings_key;

// What a window shows of its layout.
struct Layout {
    QRect geometry;
    QList<int> main, top, bottom;
    int left = -1;
    int right = -1;
    bool operator==(const Layout&) const = default;
};

Layout LayoutOf(const Window& w) {
    return {w.form->geometry(),
            w.find<QSplitter>("MainSplitter")->sizes(),
            w.find<QSplitter>("TopSplitter")->sizes(),
            w.find<QSplitter>("BottomSplitter")->sizes(),
            w.find<QTabWidget>("LeftTabs")->currentIndex(),
            w.find<QTabWidget>("RightTabs")->currentIndex()};
}

std::ostream& operator<<(std::ostream& out, const Layout& l) {
    const auto list = [&out](const QList<int>& sizes) {
        out << '{';
        for (int s : sizes) {
            out << s << ' ';
        }
        out << '}';
    };
    out << l.geometry.x() << ',' << l.geometry.y() << ' ' << l.geometry.width() << 'x'
        << l.geometry.height() << " main";
    list(l.main);
    out << " top";
    list(l.top);
    out << " bottom";
    list(l.bottom);
    return out << " pages " << l.left << ' ' << l.right;
}

QStringList Entries(const Window& w) {
    QStringList paths;
    for (QAction* a : w.find<QMenu>("RecentFiles")->actions()) {
        paths << a->data().toString();
    }
    return paths;
}

QAction* Entry(const Window& w, const QString& path) {
    for (QAction* a : w.find<QMenu>("RecentFiles")->actions()) {
        if (a->data().toString() == path) {
            return a;
        }
    }
    return nullptr;
}

QString Path(const Window& w, const std::string& name) {
    return QDir::cleanPath(QString::fromStdString(w.dir.file(name)));
}

// A window as it starts on a first run, before anything is kept.
Layout StartUpLayout() {
    Window w;
    return LayoutOf(w);
}

TEST(Settings, BrokenSettingsFallBackToTheStartUpLayout) {
    const Layout startUp = StartUpLayout();
    {
        QSettings s;
        s.clear();
        s.setValue(key::kGeometry, QStringLiteral("nonsense"));
        s.setValue(key::kMainSplitter, QByteArray("not a splitter"));
        s.setValue(key::kTopSplitter, 12);
        s.setValue(key::kBottomSplitter, QByteArray());
        s.setValue(key::kLeftPage, 7);
        s.setValue(key::kRightPage, QStringLiteral("charts"));
        s.setValue(key::kRecentFiles, QStringLiteral("not a file list"));
        s.setValue(key::kLastFolder, QStringLiteral("/no/such/folder"));
    }
    Window w({}, false);
    EXPECT_EQ(LayoutOf(w), startUp);
    EXPECT_TRUE(w.find<QMenu>("RecentFiles")->actions().isEmpty());
    EXPECT_EQ(gui::LastFolder(), QString());

    // A window kept off every screen is not placed there.
    QSettings().setValue(key::kGeometry, QRect(20000, 20000, 700, 500));
    Window far({}, false);
    EXPECT_EQ(LayoutOf(far).geometry, startUp.geometry);
}

TEST(Settings, LayoutComesBackAsItWasLeft) {
    const Layout startUp = StartUpLayout();
    Layout left;
    {
        Window w;
        w.form->setGeometry(30, 40, 1000, 560);
        QCoreApplication::processEvents();
        w.find<QSplitter>("MainSplitter")->setSizes({380, 150});
        w.find<QSplitter>("TopSplitter")->setSizes({320, 472});
        w.find<QSplitter>("BottomSplitter")->setSizes({200, 100, 400});
        w.find<QTabWidget>("LeftTabs")->setCurrentIndex(2);
        w.find<QTabWidget>("RightTabs")->setCurrentIndex(1);
        QCoreApplication::processEvents();
        left = LayoutOf(w);
        ASSERT_NE(left, startUp);
        w.form->close();
    }
    Window again({}, false);
    EXPECT_EQ(LayoutOf(again), left);
    EXPECT_EQ(again.find<QTabWidget>("RightTabs")->currentWidget(),
              again.find<skarvel::gui::TableView>("ComputedTable"));
    EXPECT_EQ(again.find<QTabWidget>("LeftTabs")->currentWidget(),
              again.find<skarvel::gui::TableView>("MarkerTable"));

    // Without the settings, the start-up layout once more.
    QFile::remove(QSettings().fileName());
    QSettings().sync();
    Window fresh({}, false);
    EXPECT_EQ(LayoutOf(fresh), startUp);
}

TEST(Settings, RecentListIsNewestFirstOnceAndAtMostEight) {
    const QStringList none;
    QStringList list = gui::WithRecentFile(none, QStringLiteral("/d/a.kxs"));
    list = gui::WithRecentFile(list, QStringLiteral("/d/b.kx"));
    list = gui::WithRecentFile(list, QStringLiteral("/d/./x/../a.kxs"));
    EXPECT_EQ(list, QStringList({QStringLiteral("/d/a.kxs"), QStringLiteral("/d/b.kx")}));
    // Only files whose extension tells how to open them.
    EXPECT_EQ(gui::WithRecentFile(list, QStringLiteral("/d/flight.txt")), list);
    EXPECT_EQ(gui::RecentFileKind(QStringLiteral("/d/A.KXS")), gui::RecentKind::Input);
    EXPECT_EQ(gui::RecentFileKind(QStringLiteral("/d/b.Kx")), gui::RecentKind::Design);
    for (int i = 0; i < 10; ++i) {
        list = gui::WithRecentFile(list, QStringLiteral("/d/%1.kxs").arg(i));
    }
    ASSERT_EQ(list.size(), 8);
    EXPECT_EQ(list.front(), QStringLiteral("/d/9.kxs"));
    EXPECT_EQ(list.back(), QStringLiteral("/d/2.kxs"));
}

TEST(Settings, RecentFilesOfTheFileMenu) {
    Window w;
    const QString a = Path(w, "a.kxs");
    const QString b = Path(w, "b.kx");
    w.nextFile = Path(w, "a"); // the extension is added by the save
    w.trigger(Command::InputSaveAs);
    w.nextFile = b;
    w.trigger(Command::FileSave);
    EXPECT_EQ(Entries(w), QStringList({b, a}));
    EXPECT_TRUE(w.find<QMenu>("RecentFiles")->menuAction()->isEnabled());

    EXPECT_TRUE(
        w.find<QMenu>("RecentFiles")->actions().front()->text().startsWith(QStringLiteral("&1 ")));

    // A file that cannot be opened is not listed.
    w.nextFile = Path(w, "missing.kxs");
    w.trigger(Command::InputOpen);
    EXPECT_EQ(w.errors.size(), 1);
    EXPECT_EQ(Entries(w), QStringList({b, a}));

    // The list is kept for the next session.
    Window next({}, false);
    EXPECT_EQ(Entries(next), QStringList({b, a}));
}

TEST(Settings, RecentEntriesOpenTheirFilesAndMissingOnesAreGreyed) {
    Window w;
    const QString design = Path(w, "twin-fin.kx");
    std::filesystem::copy_file(std::string(SKARVEL_EXAMPLES) + "/twin-fin.kx",
                               w.dir.file("twin-fin.kx"));
    const QString input = Path(w, "launch.kxs");
    const QString gone = Path(w, "gone.kxs");
    w.ws().editCell(skarvel::app::TableId::Input, 1, skarvel::data::input::LaunchSpeed, "123");
    for (const QString& file : {gone, input}) {
        w.nextFile = file;
        w.trigger(Command::InputSaveAs);
    }
    w.nextFile = design;
    w.trigger(Command::FileOpen);
    ASSERT_EQ(Entries(w), QStringList({design, input, gone}));

    QFile::remove(gone);
    Q_EMIT w.find<QMenu>("RecentFiles")->aboutToShow();
    EXPECT_TRUE(Entry(w, design)->isEnabled());
    EXPECT_TRUE(Entry(w, input)->isEnabled());
    EXPECT_FALSE(Entry(w, gone)->isEnabled());

    // An input file opens as the input-data open command opens it.
    w.ws().editCell(skarvel::app::TableId::Input, 1, skarvel::data::input::LaunchSpeed, "150");
    Entry(w, input)->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.ws().tables().input.cell(1, skarvel::data::input::LaunchSpeed), "123");
    EXPECT_TRUE(w.title().endsWith(QStringLiteral("launch.kxs")));
    EXPECT_EQ(Entries(w), QStringList({input, design, gone}));

    // A design file as the design open command opens it.
    Entry(w, design)->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.title(), QStringLiteral("Skarvel - twin-fin.kx"));
    EXPECT_EQ(Entries(w), QStringList({design, input, gone}));
    EXPECT_TRUE(w.errors.isEmpty());
    EXPECT_TRUE(w.warnings.isEmpty());
}

TEST(Settings, FileDialogsStartInTheLastFolderUsed) {
    // Outlives the first window's folder.
    const skarvel::test::TempDir kept;
    const QString folder = QDir::cleanPath(QString::fromStdString(kept.path().string()));
    {
        Window w;
        const QString flights = QString::fromStdString(w.dir.file("flights"));
        QDir().mkpath(flights);
        w.nextFile = flights + QStringLiteral("/first.kxs");
        w.trigger(Command::InputSaveAs);
        EXPECT_EQ(gui::LastFolder(), flights);
        w.nextFile = folder + QStringLiteral("/second.kx");
        w.trigger(Command::FileSave);
        EXPECT_EQ(gui::LastFolder(), folder);
    }
    Window next({}, false);
    // The input name offered at start-up is in no folder: it is offered in
    // the last one; a dialog without a name starts there.
    next.nextFile.clear();
    next.trigger(Command::InputOpen);
    EXPECT_EQ(next.offeredFile, folder + QStringLiteral("/Skarvel.kxs"));
    next.trigger(Command::SaveText);
    EXPECT_EQ(next.offeredFile, folder);
}

} // namespace

// The file dialog names a folder's type in Japanese and shows its details
// whole.
TEST(Settings, FileDialogDetailsAreJapaneseAndWhole) {
    skarvel::test::TempDir dir;
    std::filesystem::create_directory(dir / "作品");
    QFileDialog dialog(nullptr, QStringLiteral("開く"),
                       QString::fromStdString(dir.path().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    skarvel::gui::FitFileDialog(dialog);
    dialog.show();
    auto* details = dialog.findChild<QTreeView*>();
    ASSERT_NE(details, nullptr);
    QModelIndex folder;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QModelIndex root = details->rootIndex();
            if (details->model()->rowCount(root) == 0) {
                return false;
            }
            folder = details->model()->index(0, 2, root);
            return true;
        },
        3000));
    EXPECT_EQ(folder.data().toString(), QStringLiteral("フォルダ"));
    for (int column = 1; column < details->header()->count(); ++column) {
        EXPECT_EQ(details->header()->sectionResizeMode(column), QHeaderView::ResizeToContents);
    }
}
