#pragma once
// The questions and messages the window puts to the user. Tests replace them
// with scripted answers.

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

namespace skarvel::gui {

enum class SaveAnswer { Save, Discard, Cancel };
enum class RestoreAnswer { Restore, Discard, Later };

struct Dialogs {
    // Empty result: cancelled.
    std::function<QString(QWidget*, const QString& title, const QString& filters,
                          const QString& file)>
        openFile;
    std::function<QString(QWidget*, const QString& title, const QString& filters,
                          const QString& file)>
        saveFile;
    std::function<bool(QWidget*, const QString& text)> askYesNo; // information icon
    std::function<void(QWidget*, const QString& text)> warn;     // warning icon, Yes
    std::function<void(QWidget*, const QString& text)> error;    // the standard error box
    std::function<void(QWidget*, const QString& text)> inform;   // information, Yes
    std::function<bool(const QString& path)> openDocument;       // system viewer
    // A line of text; cancelling gives back the default.
    std::function<QString(QWidget*, const QString& caption, const QString& prompt,
                          const QString& defaultText)>
        askText;
    // One of `items`, `current` first offered; empty: cancelled.
    std::function<QString(QWidget*, const QString& caption, const QString& prompt,
                          const QStringList& items, int current)>
        chooseItem;
    // The paper dialog for a component's paper: the three texts in and out;
    // false when cancelled. Empty: the window's own paper dialog.
    std::function<bool(QWidget*, QString& name, QString& weight, QString& thickness)> choosePaper;

    // "変更を保存しますか?": 保存 / 保存しない / キャンセル.
    std::function<SaveAnswer(QWidget*, const QString& text)> askSave;
    // "前回の作業を復元しますか?": 復元 / 破棄 / 後で, in a window of its own.
    std::function<RestoreAnswer(QWidget*, const QString& text)> askRestore;

    static Dialogs Standard();
    // For scripted use (--no-ask): changes are not saved before a command
    // replaces them, and no restore is offered (its file stays for later).
    void leaveQuestionsOut();
};

// The file dialog's details in Japanese and whole: a folder's type is
// "フォルダ", and the size, type and date columns are as wide as their texts.
void FitFileDialog(QFileDialog& dialog);

} // namespace skarvel::gui
