#pragma once
// What the program sets up once for the whole application.

#include <QFont>

class QApplication;

namespace skarvel::gui {

// Name, interface font and Qt's own Japanese for the standard dialogs
// (開く, 保存, キャンセル, はい, いいえ). The application has no display name,
// so that window and dialog captions stay exactly as the window sets them.
void ConfigureApplication(QApplication& app);

// The user-interface font: "ＭＳ Ｐゴシック" where it exists, else an installed
// Japanese font, 12 pixels.
QFont InterfaceFont();

} // namespace skarvel::gui
