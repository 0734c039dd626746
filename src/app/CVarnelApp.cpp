#include "app/CVarnelApp.h"

#include "app/CMainFrame.h"
#include "app/ShellTexts.h"
#include "view/GdiContext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

CVarnelApp::CVarnelApp(Prompts& prompts) : m_prompts(prompts) {}

CVarnelApp::~CVarnelApp() = default;

void CVarnelApp::SetIdentity()
{
    QCoreApplication::setOrganizationName(texts::kSettingsOrganisation);
    QCoreApplication::setApplicationName(texts::kSettingsApplication);
    // An empty display name, not a missing one: window systems that decorate titles (X11) append
    // " — " and the display name to every title that does not already end in it, and the titles
    // must read exactly as the program sets them.
    QGuiApplication::setApplicationDisplayName(QStringLiteral(""));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvek"));
}

bool CVarnelApp::LoadQtTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

bool CVarnelApp::InitInstance(const QStringList& arguments)
{
    SetIdentity();
    LoadQtTranslations();
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
