#pragma once
// What the program sets up once for the whole application.

#include <QFont>

class QApplication;

namespace skarvel::gui {

// Organization and application names (where the settings are kept), the
// interface font and Qt's own Japanese for the standard dialogs
// (開く, 保存, キャンセル, はい, いいえ). The application has no display name,
// so that window and dialog captions stay exactly as the window sets them.
void ConfigureApplication(QApplication& app);

// Before the application is made: Qt's file dialogs write dates and sizes in
// the system's locale, which Qt reads from the environment once. The
// interface is Japanese whatever the system's language, so the time, number
// and message categories become Japanese (the character type stays the
// user's).
void UseJapaneseSystemLocale();

// The user-interface font: "ＭＳ Ｐゴシック" where it exists, else an installed
// Japanese font, 12 pixels.
QFont InterfaceFont();

} // namespace skarvel::gui
