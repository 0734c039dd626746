#include "TableFiles.h"
#include "app/CStatusPane.h"

#include "app/AppIcons.h"
#include "app/CAboutDlg.h"
#include "app/CommandIds.h"
#include "app/QtPrompts.h"
#include "app/table/CEditListCtrl.h"
#include "report/CPrintSetDlg.h"
#include "view/CSmoothSetDlg.h"

#include <QCheckBox>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolBar>

class TestMainFrame : public QObject {
    Q_OBJECT

private slots:
    void windowParts();
    void acceleratorsAndHotKeys();
    void keysReachTheirCommands();
    void enablingRules_data();
    void enablingRules();
    void fileOpenDialog();
    void openByPath();
    void modesAndToggles();
    void activationAsksForReload();
    void loadFailureIsReportedOnce();
    void recentFiles();
    void commandLine();
    void aboutAndFilters();
    void commandsReachTheView();
    void qtDialogsSpeakChinese();
    void iconsAreDrawn();
};

void TestMainFrame::windowParts()
{
    ShellFixture f;
    CMainFrame& frame = *f.frame;
    for (int id = 59142; id <= 59150; ++id) {
        QVERIFY(frame.StatusPane(id));
        QCOMPARE(frame.StatusPane(id)->text(), QStringLiteral(" "));
    }
    QVERIFY(f.Show());
    QCOMPARE(frame.windowTitle(), QStringLiteral("Orvek 钢筋笼长度检测仪分析软件"));

    // The tree takes one eighth of the splitter.
    const QList<int> sizes = frame.GetSplitter()->sizes();
    const int width = frame.GetSplitter()->width();
    QCOMPARE(sizes.size(), 2);
    QVERIFY(qAbs(sizes[0] - width / 8) <= 1);

    // Menu texts as the operators know them, with their ids.
    const std::pair<int, const char16_t*> items[] = {
        {57601, u"打开(&O)...\tCtrl+O"}, {57603, u"保存(&S)\tCtrl+S"}, {57607, u"打印(&P)...\tCtrl+P"},
        {57609, u"打印预览(&V)...\tCtrl+V"}, {57606, u"打印设置(&R)...\tCtrl+R"},
        {32815, u"保存图片(&B)   \tCtrl+B"}, {32816, u"导出数据(&E)   \tCtrl+E"},
        {57616, u"最近的文件"}, {57665, u"退出(&X)"}, {32776, u"X方向"}, {32778, u"Y方向"},
        {32780, u"Z方向"}, {32795, u"图形     \tF7"}, {32794, u"表格    \tF8"}, {57664, u"关于Orvek(&A)..."},
    };
    for (const auto& [id, text] : items) {
        QVERIFY2(frame.Action(id), qPrintable(QString::number(id)));
        QCOMPARE(frame.Action(id)->text(), QString::fromUtf16(text));
    }
    QStringList menus;
    for (QAction* menu : frame.menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, QStringList({"文件(&F)", "编辑(&E)", "视图(&V)", "查看(&C)", "帮助(&H)"}));
    QVERIFY(frame.Action(cmd::kToggleZ)->isChecked());
    QVERIFY(!frame.Action(cmd::kToggleX)->isChecked());

    // Toolbar buttons in order, 0 for the separator.
    QList<int> buttons;
    const auto* toolBar = frame.findChild<QToolBar*>(QStringLiteral("toolBar128"));
    QVERIFY(toolBar);
    for (QAction* a : toolBar->actions())
        buttons << (a->isSeparator() ? 0 : a->data().toInt());
    QCOMPARE(buttons, QList<int>({57601, 57603, 0, 32827, 32826, 57607, 57664, 0, cmd::kAutoInterpret}));

    // Nine panes keyed by id, starting as a single space; the view writes them through the
    // frame's pane interface.
    QVERIFY(!frame.StatusPane(59141) && !frame.StatusPane(59151));
    IStatusPanes& panes = frame;
    panes.SetPaneText(59146, QStringLiteral("测点总数;49"));
    panes.SetPaneWidth(59146, 300);
    QCOMPARE(frame.StatusPane(59146)->text(), QStringLiteral("测点总数;49"));
    QVERIFY(frame.StatusPane(59146)->sizeHint().width() >= 300);

    // The view's child control: the grid, hidden until table mode.
    CEditListCtrl* table = frame.GetTable();
    QCOMPARE(table->parentWidget(), &f.View());
    QCOMPARE(table->columnCount(), 15);
    QCOMPARE(table->horizontalHeaderItem(13)->text(), QStringLiteral("垂直分量"));
    QVERIFY(!table->isVisible());
}

void TestMainFrame::acceleratorsAndHotKeys()
{
    ShellFixture f;
    QMultiMap<int, QKeySequence> keys;
    QMap<int, QShortcut*> hotKeys;
    for (QShortcut* s : f.frame->findChildren<QShortcut*>()) {
        if (s->property("commandId").isValid()) {
            QCOMPARE(s->context(), Qt::WindowShortcut);
            keys.insert(s->property("commandId").toInt(), s->key());
        } else if (s->property("hotKeyId").isValid()) {
            hotKeys.insert(s->property("hotKeyId").toInt(), s);
        }
    }
    // Exactly the accelerator table: 16 keys, F7/F8 under their own ids, Ctrl+V is paste.
    QCOMPARE(keys.size(), 16);
    QCOMPARE(keys.value(32819), QKeySequence(Qt::Key_F7));
    QCOMPARE(keys.value(59410), QKeySequence(Qt::Key_F8));
    QVERIFY(keys.values(57637).contains(QKeySequence(Qt::CTRL | Qt::Key_V)));
    QVERIFY(keys.values(57637).contains(QKeySequence(Qt::SHIFT | Qt::Key_Insert)));
    QVERIFY(keys.values(57643).contains(QKeySequence(Qt::ALT | Qt::Key_Backspace)));
    QCOMPARE(keys.values(57601), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_O)}));
    QVERIFY(keys.values(57609).isEmpty() && keys.values(57606).isEmpty());

    QCOMPARE(hotKeys.keys(), QList<int>({0x5000, 0x5001}));
    QCOMPARE(hotKeys[0x5000]->key(), QKeySequence(Qt::CTRL | Qt::META | Qt::Key_I));
    QCOMPARE(hotKeys[0x5001]->key(), QKeySequence(Qt::CTRL | Qt::META | Qt::Key_E));
    QCOMPARE(hotKeys[0x5000]->context(), Qt::ApplicationShortcut);

    // The hot keys act only on an opened file shown as a table.
    CMainFrame& frame = *f.frame;
    QVERIFY(!frame.HotKeyAllowed());
    frame.OnCommand(cmd::kTableMode);
    QVERIFY(!frame.HotKeyAllowed());
    frame.m_bFileOpened = 1;
    QVERIFY(frame.HotKeyAllowed());
    frame.OnCommand(cmd::kGraphMode);
    QVERIFY(!frame.HotKeyAllowed());
}

void TestMainFrame::keysReachTheirCommands()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    QTest::keyClick(&frame, Qt::Key_F8);
    QCOMPARE(frame.m_nViewMode, 32794);
    QTest::keyClick(&frame, Qt::Key_F7);
    QCOMPARE(frame.m_nViewMode, 32795);

    // Ctrl+V is paste, not the preview its menu text names; Ctrl+S is refused while Save is
    // greyed out, like the menu item.
    frame.GetPrintSelection().m_printReady = 1;
    QTest::keyClick(&frame, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.prompts.m_calls.size(), 0);

    QTest::keyClick(&frame, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.prompts.Count(ScriptedPrompts::Call::OpenFile), 1);
}

void TestMainFrame::enablingRules_data()
{
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("printReady");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QList<int>>("disabled");
    const QList<int> fileCommands{57606, 32815, 32816, 32827};
    const QList<int> printCommands{57607, 57609, 32826};
    QTest::newRow("nothing opened") << 0 << 32795 << 0 << QList<int>{32794, 57601, 57664}
                                    << (fileCommands + printCommands + QList<int>{57603, 32795});
    QTest::newRow("opened, graph") << 1 << 32795 << 0 << (fileCommands + QList<int>{57603, 32794})
                                   << (printCommands + QList<int>{32795});
    QTest::newRow("opened, table") << 1 << 32794 << 0 << (fileCommands + QList<int>{32795})
                                   << (printCommands + QList<int>{57603, 32794});
    QTest::newRow("print ready") << 1 << 32795 << 1 << (printCommands + fileCommands) << QList<int>{32795};
}

void TestMainFrame::enablingRules()
{
    QFETCH(int, opened);
    QFETCH(int, mode);
    QFETCH(int, printReady);
    QFETCH(QList<int>, enabled);
    QFETCH(QList<int>, disabled);
    ShellFixture f;
    CMainFrame& frame = *f.frame;
    frame.m_bFileOpened = opened;
    frame.GetPrintSelection().m_printReady = printReady;
    if (mode == 32794)
        frame.OnCommand(cmd::kTableMode);
    frame.UpdateCommandUI();
    for (int id : enabled) {
        QVERIFY2(frame.IsCommandEnabled(id), qPrintable(QString::number(id)));
        if (QAction* a = frame.Action(id))
            QVERIFY2(a->isEnabled(), qPrintable(QString::number(id)));
    }
    for (int id : disabled) {
        QVERIFY2(!frame.IsCommandEnabled(id), qPrintable(QString::number(id)));
        if (QAction* a = frame.Action(id))
            QVERIFY2(!a->isEnabled(), qPrintable(QString::number(id)));
    }
}

void TestMainFrame::fileOpenDialog()
{
    ShellFixture f;
    CMainFrame& frame = *f.frame;
    const QString good = f.Sample(QStringLiteral("good.cdd"));
    const QString empty = f.Bytes(QStringLiteral("empty.cdd"), QByteArray());

    // Cancel ends silently; the dialog asks for ".cdd" files with the read-only box checked.
    frame.OnCommand(cmd::kFileOpen);
    const Prompts::FileRequest request = f.prompts.LastFileRequest();
    QCOMPARE(request.filter, QStringLiteral(" Files (*.cdd)|*.cdd|All Files (*.*)|*.*||"));
    QVERIFY(request.readOnlyBox && request.readOnlyChecked);
    QVERIFY(f.prompts.Messages().isEmpty());

    f.prompts.AnswerFile(empty);
    frame.OnCommand(cmd::kFileOpen);
    QCOMPARE(f.prompts.Messages(), QStringList{"无法读取文件"});
    QCOMPARE(frame.m_bFileOpened, 0);
    QVERIFY(f.View().File().FilePath().isEmpty());
    QVERIFY(frame.RecentFiles().Paths().isEmpty());

    f.prompts.Clear();
    // The cursor on a file shown before.
    f.View().File().ScreenData() = *LoadFile(good);
    QTest::mouseClick(&f.View(), Qt::LeftButton, {}, QPoint(300, 100));
    QVERIFY(f.View().MarkerLayer().CursorShown());
    ClearLoadedData(f.View().File().ScreenData());
    f.View().File().ScreenData().primary.m_nSmoothWindow = 7;
    f.prompts.AnswerFile(good, true);
    frame.OnCommand(cmd::kFileOpen);
    QVERIFY(f.prompts.Messages().isEmpty());
    QCOMPARE(frame.m_bFileOpened, 1);
    QCOMPARE(frame.windowTitle(), QDir::toNativeSeparators(good) + QStringLiteral(" - 磁测仪"));
    QCOMPARE(frame.RecentFiles().Paths(), QStringList{good});
    QVERIFY(frame.IsCommandEnabled(cmd::kFileSave));
    // The tree lists the file's folder; the view is told, not loaded.
    QCOMPARE(f.Tree().m_strFolder, f.dataDir.path());
    QCOMPARE(f.Tree().RootItem()->childCount(), 2);
    CDrawView& view = f.View();
    QCOMPARE(view.File().FilePath(), good);
    QCOMPARE(view.File().Folder(), f.dataDir.path());
    QVERIFY(view.PendingRequests().reloadFile);
    QVERIFY(!view.PendingRequests().reloadOnSwitch);
    QVERIFY(!view.MarkerLayer().CursorShown());
    QCOMPARE(view.File().ScreenData().primary.m_nSmoothWindow, 1);
    QCOMPARE(view.File().ScreenData().primary.m_nCount, 0u);
}

void TestMainFrame::openByPath()
{
    ShellFixture f;
    CMainFrame& frame = *f.frame;
    QVERIFY(!frame.OpenDocumentFile(f.Path(QStringLiteral("missing.cdd"))));
    QVERIFY(!frame.OpenDocumentFile(f.dataDir.path()));
    QVERIFY(!frame.OpenDocumentFile(f.Bytes(QStringLiteral("empty.cdd"), QByteArray())));
    QCOMPARE(f.prompts.Messages(), QStringList({"文件不存在！", "无法读取文件", "无法读取文件"}));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Orvek 钢筋笼长度检测仪分析软件"));

    // A path without a folder is still shown, but the tree is left alone and nothing unlocks.
    f.prompts.Clear();
    f.Sample(QStringLiteral("bare.cdd"));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(f.dataDir.path());
    const bool opened = frame.OpenDocumentFile(QStringLiteral("bare.cdd"));
    QDir::setCurrent(cwd);
    QVERIFY(opened);
    QCOMPARE(f.prompts.Messages(), QStringList{"未有选择文件，请重试！"});
    QCOMPARE(frame.m_bFileOpened, 0);
    QCOMPARE(f.Tree().topLevelItemCount(), 0);
    QCOMPARE(f.View().File().FilePath(), QStringLiteral("bare.cdd"));
    QCOMPARE(f.View().File().Folder(), QString());
    QCOMPARE(frame.windowTitle(), QStringLiteral("bare.cdd - 磁测仪"));

    // Open by path does not touch the recent list.
    QVERIFY(frame.OpenDocumentFile(f.Sample(QStringLiteral("full.cdd"))));
    QCOMPARE(frame.m_bFileOpened, 1);
    QVERIFY(frame.RecentFiles().Paths().isEmpty());
}

void TestMainFrame::modesAndToggles()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    CDrawView& view = f.View();
    QVERIFY(f.ShowRead(f.Sample(QStringLiteral("a.cdd"))));
    f.PlaceAt(300, 3);
    QVERIFY(view.PendingRequests().reloadFile);
    QCOMPARE(view.MarkerLayer().Markers()[3].placed, 1);

    frame.OnCommand(cmd::kTableMode);
    QCOMPARE(frame.m_nViewMode, 32794);
    QVERIFY(!view.PendingRequests().reloadFile);
    QVERIFY(view.PendingRequests().tableRefill);
    QVERIFY(frame.GetTable()->isVisible());
    QCOMPARE(frame.GetTable()->geometry(), view.rect());
    QCOMPARE(frame.GetTable()->columnWidth(0), (view.width() - 2 * frame.GetTable()->frameWidth()) / 15);
    // The view still paints under the grid: that paint is what asks the grid to refill.
    QTRY_VERIFY(!view.PendingRequests().tableRefill);
    // In table mode the grid follows the view's size.
    frame.resize(frame.width() - 100, frame.height() - 50);
    QTRY_COMPARE(frame.GetTable()->geometry(), view.rect());

    frame.OnCommand(cmd::kGraphMode);
    QCOMPARE(frame.m_nViewMode, 32795);
    QVERIFY(!view.PendingRequests().tableRefill);
    QVERIFY(!frame.GetTable()->isVisible());
    QVERIFY(!view.PendingRequests().markerRedrawBlocked);
    QVERIFY(view.PendingRequests().redrawMarkers);
    QCOMPARE(view.MarkerLayer().Markers()[3].placed, 0);

    // Toggles: count follows the switches down to zero, check marks follow the flags.
    view.RequestReload(CDrawCanvas::Reload::EveryPaint);
    QTRY_VERIFY(!view.PendingRequests().redrawMarkers);
    f.PlaceAt(500, kBottomMarker);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(400, 100));
    QVERIFY(view.PendingRequests().reloadFile);
    QCOMPARE(view.MarkerLayer().Markers()[10].placed, 1);
    QVERIFY(view.MarkerLayer().CursorShown());
    frame.Action(cmd::kToggleX)->trigger();
    QCOMPARE(frame.m_bShowX, 1);
    QCOMPARE(frame.m_nShownComponents, 2);
    QVERIFY(frame.Action(cmd::kToggleX)->isChecked());
    QVERIFY(!view.PendingRequests().reloadFile);
    QVERIFY(view.PendingRequests().redrawMarkers);
    QVERIFY(!view.PendingRequests().markerRedrawBlocked);
    QVERIFY(!view.MarkerLayer().CursorShown());
    QCOMPARE(view.MarkerLayer().Markers()[10].placed, 0);
    frame.OnCommand(cmd::kToggleX);
    frame.OnCommand(cmd::kToggleZ);
    QCOMPARE(frame.m_nShownComponents, 0);
    QVERIFY(!frame.Action(cmd::kToggleZ)->isChecked());
    QVERIFY(!frame.ShowX() && !frame.ShowY() && !frame.ShowZ());
    frame.OnCommand(cmd::kToggleY);
    QCOMPARE(frame.ShownComponents(), 1);
    QVERIFY(frame.Action(cmd::kToggleY)->isChecked());
}

void TestMainFrame::activationAsksForReload()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CDrawView& view = f.View();
    QVERIFY(f.ShowRead(f.Sample(QStringLiteral("a.cdd"))));
    view.RequestRepaint();
    f.PlaceAt(300, 0);
    QTRY_VERIFY(!view.PendingRequests().redrawMarkers);
    QVERIFY(!view.PendingRequests().reloadFile);
    QCOMPARE(view.MarkerLayer().Markers()[0].placed, 1);

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!view.PendingRequests().reloadFile);
    QApplication::setActiveWindow(f.frame.get());
    QVERIFY(view.PendingRequests().reloadFile);
    QVERIFY(view.PendingRequests().redrawMarkers);
    QCOMPARE(view.MarkerLayer().Markers()[0].placed, 0);
    // The paint that follows re-reads the file and puts the marker up again.
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    QTRY_VERIFY(!view.PendingRequests().redrawMarkers);
    QCOMPARE(view.MarkerLayer().Markers()[0].placed, 1);
    QVERIFY(view.MarkerLayer().MarkerOnImage(0));
}

void TestMainFrame::loadFailureIsReportedOnce()
{
    ShellFixture f;
    QVERIFY(f.Show());
    // The header announces more samples than the file holds.
    const QString good = f.Sample(QStringLiteral("cut.cdd"), QStringLiteral("P03-30m.cdd"));
    QFile file(good);
    QVERIFY(file.resize(1100));
    QVERIFY(f.frame->OpenDocumentFile(good));
    f.View().repaint();
    QTRY_COMPARE(f.prompts.Messages(), QStringList{"文件不完整，无法读取"});
    f.View().repaint();
    QTest::qWait(20);
    QCOMPARE(f.prompts.Messages().size(), 1);
}

void TestMainFrame::recentFiles()
{
    RecentFileList list(4);
    for (const char* p : {"/a/1.cdd", "/a/2.cdd", "/a/3.cdd", "/a/4.cdd", "/a/2.cdd", "/a/5.cdd"})
        list.Add(QString::fromLatin1(p));
    QCOMPARE(list.Paths(), QStringList({"/a/5.cdd", "/a/2.cdd", "/a/4.cdd", "/a/3.cdd"}));
    list.Add(QStringLiteral("/b&c/6.cdd"));
    QCOMPARE(list.MenuText(0), QDir::toNativeSeparators(QStringLiteral("&1 /b&&c/6.cdd")));
    QVERIFY(list.MenuText(4).isEmpty());

    ShellFixture f;
    const QString a = f.Sample(QStringLiteral("a.cdd"));
    const QString b = f.Sample(QStringLiteral("b.cdd"));
    f.prompts.AnswerFile(a);
    f.frame->OnCommand(cmd::kFileOpen);
    f.prompts.AnswerFile(b);
    f.frame->OnCommand(cmd::kFileOpen);
    {
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("Recent File List/File1")).toString(), b);
        QCOMPARE(settings.value(QStringLiteral("Recent File List/File2")).toString(), a);
        QCOMPARE(settings.organizationName(), QStringLiteral("应用程序向导生成的本地应用程序"));
    }
    QCOMPARE(f.frame->Action(cmd::kMruFirst + 1)->text(), QStringLiteral("&2 ") + QDir::toNativeSeparators(a));
    QVERIFY(!f.frame->Action(cmd::kMruFirst + 2)->isVisible());

    // A new frame reads the list back; a vanished entry tells the operator and leaves the list.
    CMainFrame second(f.prompts);
    QCOMPARE(second.RecentFiles().Paths(), QStringList({b, a}));
    QFile::remove(b);
    second.OnCommand(cmd::kMruFirst);
    QCOMPARE(f.prompts.Messages(), QStringList{"文件不存在！"});
    QCOMPARE(second.RecentFiles().Paths(), QStringList{a});
    second.OnCommand(cmd::kMruFirst);
    QCOMPARE(second.GetDrawView()->File().FilePath(), a);
    QCOMPARE(second.m_bFileOpened, 1);
}

void TestMainFrame::commandLine()
{
    QCOMPARE(CVarnelApp::FileArgument({}), QString());
    QCOMPARE(CVarnelApp::FileArgument({QStringLiteral("-x"), QStringLiteral("/d/p.cdd")}), QStringLiteral("/d/p.cdd"));
    QCOMPARE(CVarnelApp::FileArgument({QStringLiteral("p.cdd")}), QDir::current().absoluteFilePath("p.cdd"));

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    {
        CVarnelApp app(prompts);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        // A file that cannot be shown ends the program after the message.
        QVERIFY(!app.InitInstance({dir.filePath(QStringLiteral("none.cdd"))}));
        QCOMPARE(prompts.Messages(), QStringList{"文件不存在！"});
    }
    CVarnelApp app(prompts);
    // A copy: the program writes the folder's configuration file beside what it shows.
    QDir(dir.path()).mkdir(QStringLiteral("site"));
    const QString sample = CopySample(dir.filePath(QStringLiteral("site/P01-12m.cdd")), QStringLiteral("P01-12m.cdd"));
    QVERIFY(app.InitInstance({sample}));
    QVERIFY(app.MainFrame()->isVisible());
    QCOMPARE(app.MainFrame()->windowTitle(), QDir::toNativeSeparators(sample) + QStringLiteral(" - 磁测仪"));
    QCOMPARE(app.MainFrame()->GetTreeView()->RootItem()->text(0), QStringLiteral("site"));
}

void TestMainFrame::aboutAndFilters()
{
    ShellFixture f;
    f.frame->OnCommand(cmd::kAppAbout);
    auto* about = f.frame->findChild<CAboutDlg*>();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("关于Orvek"));
    QStringList lines;
    for (QLabel* label : about->findChildren<QLabel*>())
        lines << label->text();
    QVERIFY(lines.contains(QStringLiteral("钢筋笼长度检测仪分析软件")));
    QVERIFY(lines.contains(QStringLiteral("版本:V1.9.0.9")));
    QVERIFY(lines.contains(QStringLiteral("更新日期:2019年9月11日")));
    about->accept();

    QCOMPARE(QtFilterFromPipes(QStringLiteral(" Files (*.cdd)|*.cdd|All Files (*.*)|*.*||")),
             QStringLiteral(" Files (*.cdd);;All Files (*.*)"));
    QCOMPARE(QtFilterFromPipes(QStringLiteral("Excel 文件(*.xls)|*.xls||")), QStringLiteral("Excel 文件(*.xls)"));
    QCOMPARE(QtFilterFromPipes(QStringLiteral("Data|*.a;*.b||")), QStringLiteral("Data (*.a *.b)"));

    f.frame->OnCommand(cmd::kStoreMessage);
    QCOMPARE(f.prompts.Messages(), QStringList{"存盘"});
}

void TestMainFrame::commandsReachTheView()
{
    ShellFixture f;
    CMainFrame& frame = *f.frame;
    const QString path = f.Sample(QStringLiteral("a.cdd"));
    QVERIFY(frame.OpenDocumentFile(path));
    f.PaintView();

    // Save is the view's: it asks where to write the copy with the markers.
    frame.OnCommand(cmd::kTableMode);
    frame.OnCommand(cmd::kFileSave);
    QCOMPARE(f.prompts.Count(ScriptedPrompts::Call::SaveFile), 0);
    frame.OnCommand(cmd::kGraphMode);
    frame.OnCommand(cmd::kFileSave);
    QCOMPARE(f.prompts.Count(ScriptedPrompts::Call::SaveFile), 1);
    QCOMPARE(f.prompts.LastFileRequest().initialPath, path);

    // The smoothing dialog of the view's context menu is shown by the frame.
    emit f.View().smoothSettingsRequested();
    auto* dialog = frame.findChild<CSmoothSetDlg*>();
    QVERIFY(dialog && dialog->isVisible());
    dialog->reject();

    // Print and preview come alive once the print settings were confirmed with files chosen.
    frame.Action(cmd::kToolPrintSetup)->trigger();
    auto* printSetup = frame.findChild<CPrintSetDlg*>();
    QVERIFY(printSetup && printSetup->isVisible());
    auto* selectAll = qobject_cast<QCheckBox*>(printSetup->Control(CPrintSetDlg::IDC_SELECT_ALL));
    QVERIFY(selectAll);
    selectAll->setChecked(true);
    printSetup->OnSelectAllClicked();
    printSetup->OnOK();
    QCOMPARE(frame.GetPrintSelection().m_printFiles, std::vector<std::string>{"a.cdd"});
    QVERIFY(frame.Action(cmd::kPrint)->isEnabled());
    QVERIFY(frame.Action(cmd::kToolPreview)->isEnabled());
}

void TestMainFrame::qtDialogsSpeakChinese()
{
    QVERIFY(CVarnelApp::LoadQtTranslations());
    const QString preview = QCoreApplication::translate("QPrintPreviewDialog", "Print Preview");
    QVERIFY(preview != QStringLiteral("Print Preview"));
    QVERIFY(QCoreApplication::translate("QFileDialog", "Open") != QStringLiteral("Open"));
}

// Every picture comes out of its resource file: drawn at each size and pixel ratio, no two alike,
// and on the window and the toolbar buttons.
void TestMainFrame::iconsAreDrawn()
{
    QList<QImage> seen;
    for (int i = int(IconId::App); i <= int(IconId::Interpret); ++i) {
        for (int size : {16, 48}) {
            const QImage image = PaintIcon(IconId(i), size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            int drawn = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    drawn += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            QVERIFY2(drawn > size * size / 8, qPrintable(QString::number(i)));
            QVERIFY(!seen.contains(image));
            seen << image;
        }
        // The icon is drawn afresh at the pixel ratio of its screen rather than scaled from another size.
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
            QImage shown = MakeIcon(IconId(i)).pixmap(QSize(24, 24), ratio).toImage();
            shown.setDevicePixelRatio(1.0);
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     PaintIcon(IconId(i), qRound(24 * ratio))
                         .toImage()
                         .convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }

    ShellFixture f;
    QVERIFY(!f.frame->windowIcon().isNull());
    for (QAction* a : f.frame->findChild<QToolBar*>(QStringLiteral("toolBar128"))->actions())
        QVERIFY(a->isSeparator() || !a->icon().isNull());
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
