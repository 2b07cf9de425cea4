#pragma once
// The program's own guide in a window of the program, for when no system
// viewer takes the help file.

#include <QTextBrowser>

namespace skarvel::gui {

class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the guide (an HTML file) and brings the window to the front.
    void showFile(const QString& path);
};

} // namespace skarvel::gui
