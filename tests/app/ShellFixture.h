#pragma once

#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"
#include "app/CMainFrame.h"
#include "app/CVarnelApp.h"
#include "app/tree/CFileTreeView.h"
#include "view/CDrawView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A main frame on scratch settings and a scratch folder of measurement files.
struct ShellFixture {
    QTemporaryDir settingsDir;
    QTemporaryDir dataDir;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;

    ShellFixture()
    {
        CVarnelApp::SetIdentity();
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        frame = std::make_unique<CMainFrame>(prompts);
        frame->resize(1040, 700);
    }

    // Shows the frame and waits until it is the active window, so that no later activation
    // raises the reload flags behind a test's back.
    bool Show()
    {
        frame->show();
        QApplication::setActiveWindow(frame.get());
        return QTest::qWaitForWindowActive(frame.get());
    }

    QString Path(const QString& name) const { return dataDir.filePath(name); }

    // Shows the cursor on the sample under x and places marker kind there, as with a click and the
    // context menu; returns the marker's depth.
    float PlaceAt(int x, int kind)
    {
        QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(x, 100));
        View().OnCommand(cmd::MarkerCommandId(kind));
        return View().MarkerLayer().Markers()[std::size_t(kind)].depth;
    }

    // Shows path in the view, as a file chosen in the tree, and waits for the paint that reads it.
    bool ShowRead(const QString& path)
    {
        View().ShowFile(path, dataDir.path());
        return QTest::qWaitFor([this] { return View().ShowsLoadedFile(); });
    }

    // A copy of a bundled sample under name.
    QString Sample(const QString& name, const QString& sample = QStringLiteral("P01-12m.cdd")) const
    {
        return CopySample(Path(name), sample);
    }

    QString Bytes(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
        return path;
    }

    CDrawView& View() const { return *frame->GetDrawView(); }
    // One paint of the view at its own size, as the event loop would run it.
    void PaintView() const
    {
        QImage client(View().size(), QImage::Format_RGB32);
        View().PaintInto(client);
    }
    CFileTreeView& Tree() const { return *frame->GetTreeView(); }
};
