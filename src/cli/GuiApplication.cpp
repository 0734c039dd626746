#include "cli/CliCommon.h"

#include <QApplication>
#include <QByteArray>
#include <QtGlobal>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// Qt's notes about the environment (no runtime directory, no session) are not the program's
// messages; stderr carries one line, the program's own, when a command fails.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        if (g_previousHandler)
            g_previousHandler(type, context, message);
    }
}

}  // namespace

void EnsureGuiApplication(bool widgets)
{
    if (QCoreApplication::instance())
        return;
    // orvek-cli runs on machines without a display; a platform chosen by the caller still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    g_previousHandler = qInstallMessageHandler(QuietHandler);
    static int argc = 1;
    static char name[] = "orvek-cli";
    static char* argv[] = {name, nullptr};
    // It lives until the process ends: destroying it among the static destructors, after Qt's
    // own globals are gone, crashes.
    if (widgets)
        new QApplication(argc, argv);
    else
        new QGuiApplication(argc, argv);
}
