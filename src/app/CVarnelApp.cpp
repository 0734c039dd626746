#include "app/CVarnelApp.h"

#include "app/CMainFrame.h"
#include "app/ShellTexts.h"
#include "view/GdiContext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

CVarnelApp::CVarnelApp(Prompts& prompts) : m_prompts(prompts) {}

CVarnelApp::~CVarnelApp() = default;

void CVarnelApp::SetIdentity()
{
    QCoreApplication::setOrganizationName(texts::kSettingsOrganisation);
    QCoreApplication::setApplicationName(texts::kSettingsApplication);
    QGuiApplication::setApplicationDisplayName(texts::kAppTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("orvek"));
}

bool CVarnelApp::InitInstance(const QStringList& arguments)
{
    SetIdentity();
    gdi::RegisterFontSubstitutes();

    m_pMainFrame = std::make_unique<CMainFrame>(m_prompts);

    const QString path = FileArgument(arguments);
    if (!path.isEmpty() && !OpenDocumentFile(path))
        return false;

    m_pMainFrame->show();
    m_pMainFrame->update();
    return true;
}

bool CVarnelApp::OpenDocumentFile(const QString& path)
{
    return m_pMainFrame && m_pMainFrame->OpenDocumentFile(path);
}

QString CVarnelApp::FileArgument(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        return QFileInfo(argument).absoluteFilePath();
    }
    return QString();
}
