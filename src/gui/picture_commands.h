#pragma once
// The 編集 menu's picture commands: the window, the chart shown and the
// trajectory picture to the clipboard, and the chart (EMF, WMF or BMP) and
// the trajectory (BMP) to files.

#include <QString>

#include <functional>

class QWidget;

namespace skarvel::gui {

struct WindowPages;

class PictureCommands {
  public:
    // Asks for the name of a file to save; empty: cancelled.
    using AskFile = std::function<QString(const QString& title, const QString& filters)>;

    PictureCommands(QWidget& window, const WindowPages& pages, AskFile askSaveFile);

    void copyWindow();
    void copyChart();
    void saveChart();
    void copyTrajectory();
    void saveTrajectory();

  private:
    QWidget& window_;
    const WindowPages& pages_;
    AskFile askSaveFile_;
};

} // namespace skarvel::gui
