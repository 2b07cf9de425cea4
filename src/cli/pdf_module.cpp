// skarvel-pdf.so: the command line's PDF writer, a module of its own so that
// skarvel-cli loads QtGui only when it writes a PDF (app/modules.h opens
// it). It starts the Qt application the writer's fonts need, on the
// offscreen platform whatever the environment asks for: a display platform
// without a display would end the program.

#include "picture/qt_page_canvas.h"

#include <QGuiApplication>

namespace {

// Qt's runtime folder warning, which says nothing to a user of the command line.
void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (!message.startsWith(QStringLiteral("QStandardPaths:"))) {
        qt_message_output(type, context, message);
    }
}

void StartOffscreenApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    static int argc = 3;
    static char name[] = "skarvel-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    const QtMessageHandler previous = qInstallMessageHandler(QuietAboutRuntimeFolder);
    static QGuiApplication application(argc, argv);
    qInstallMessageHandler(previous);
}

} // namespace

// A new PDF document whose pages draw in 1/unitsPerMm mm; the caller owns it.
extern "C" __attribute__((visibility("default"))) skarvel::picture::PageDocument*
skarvel_pdf_document(int unitsPerMm) {
    StartOffscreenApplication();
    return skarvel::picture::NewPdfDocument(unitsPerMm).release();
}
