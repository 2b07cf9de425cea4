#pragma once
// The chart library's header. Include it only through this file, after the
// Qt headers it needs.
#include <QtPrintSupport/QtPrintSupport>
#include <QtWidgets/QWidget>

// The chart library's header still uses Qt's bare keywords, which this program
// turns off (QT_NO_KEYWORDS). Lend them to it for its own header only; the Qt
// headers it pulls in are already included above, so nothing else sees them.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define emit Q_EMIT
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef foreach
#undef emit
#undef slots
#undef signals
