#pragma once
// The main window in an empty folder with scripted answers to its questions,
// for the window tests.

#include "common/temp_dir.h"
#include "gui/form_sim.h"
#include "gui/table_view.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace skarvel::test {

using gui::Command;
using gui::Dialogs;
using gui::TFormSim;

// A window started in an empty folder, with scripted answers to its questions
// and, unless asked otherwise, no stored settings.
struct Window {
    TempDir dir;
    QString savedDir = QDir::currentPath();
    int yesNoAsked = 0;
    bool answer = false;
    QStringList errors;
    QStringList warnings;
    QString nextFile;
    QString offeredFile; // the name the last file dialog started from
    bool viewerTakesFiles = true;
    QString nextText;
    // The item chosen from a list: none, the one offered first; empty: cancelled.
    std::optional<QString> nextItem;
    std::function<bool(QString&, QString&, QString&)> paperAnswer;
    // The answer to "変更を保存しますか?" and the questions asked.
    gui::SaveAnswer saveAnswer = gui::SaveAnswer::Discard;
    QStringList saveQuestions;
    // The restore is offered as the window is first shown: set before.
    static inline gui::RestoreAnswer nextRestoreAnswer = gui::RestoreAnswer::Later;
    gui::RestoreAnswer restoreAnswer = nextRestoreAnswer;
    QStringList restoreQuestions;
    std::unique_ptr<skarvel::app::Workspace> workspace;
    std::unique_ptr<TFormSim> form;

    explicit Window(const QStringList& args = {}, bool freshSettings = true) {
        // Each window starts as on a first run unless a test says otherwise.
        if (freshSettings) {
            QSettings().clear();
        }
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        Dialogs d;
        d.openFile = [this](QWidget*, const QString&, const QString&, const QString& file) {
            offeredFile = file;
            return nextFile;
        };
        d.saveFile = d.openFile;
        d.askYesNo = [this](QWidget*, const QString&) {
            ++yesNoAsked;
            return answer;
        };
        d.warn = [this](QWidget*, const QString& t) { warnings << t; };
        d.error = [this](QWidget*, const QString& t) { errors << t; };
        d.inform = [](QWidget*, const QString&) {};
        d.openDocument = [this](const QString&) { return viewerTakesFiles; };
        d.askText = [this](QWidget*, const QString&, const QString&, const QString&) {
            return nextText;
        };
        d.chooseItem = [this](QWidget*, const QString&, const QString&, const QStringList& items,
                              int current) { return nextItem.value_or(items.value(current)); };
        d.choosePaper = [this](QWidget*, QString& name, QString& weight, QString& thickness) {
            return paperAnswer ? paperAnswer(name, weight, thickness) : false;
        };
        d.askSave = [this](QWidget*, const QString& text) {
            saveQuestions << text;
            return saveAnswer;
        };
        d.askRestore = [this](QWidget*, const QString& text) {
            restoreQuestions << text;
            return restoreAnswer;
        };
        workspace = std::make_unique<skarvel::app::Workspace>(dir.file("skarvel"));
        form = std::make_unique<TFormSim>(*workspace, args,
                                          QString::fromStdString(dir.file("skarvel")), d);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    ~Window() {
        form.reset();
        QDir::setCurrent(savedDir);
    }
    skarvel::app::Workspace& ws() { return form->workspace(); }
    // The title as the window system shows it, the modified mark as "*".
    QString title() const {
        QString t = form->windowTitle();
        return t.replace(QStringLiteral("[*]"),
                         form->isWindowModified() ? QStringLiteral("*") : QString());
    }
    // A part of the window by its object name; null when there is none (yet).
    template <class T> T* find(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    // A window the program opened beside this one, by its object name.
    template <class T> static T* beside(const char* name) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String(name)) {
                return dynamic_cast<T*>(top);
            }
        }
        return nullptr;
    }
    std::size_t rows() { return ws().history().rows().size(); }
    // A command as a menu would give it, and what it queued for the event loop.
    void trigger(Command c) {
        form->action(c)->trigger();
        QCoreApplication::sendPostedEvents();
    }
};

// Lets the event loop run until `done` holds, at most `ms` milliseconds;
// whether it held. (QtTest's QTRY macros return silently from a gtest test
// when they time out: they must not be used here.)
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// Opens the editor of a cell, replaces its text and answers the editor.
inline QWidget* EditCell(skarvel::gui::TableView* view, int column, int row, const QString& text) {
    const QModelIndex index = view->tableModel()->indexOf(column, row);
    view->setCurrentIndex(index);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F2);
    QWidget* editor = view->indexWidget(index);
    EXPECT_NE(editor, nullptr);
    if (editor != nullptr) {
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
    }
    return editor;
}

} // namespace skarvel::test
