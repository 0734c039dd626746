// What the desktop program shows, saves and writes always belongs to the file on display.
#include "TableFiles.h"

#include "analysis/MarkerMath.h"
#include "app/CStatusPane.h"
#include "app/table/CEditListCtrl.h"
#include "report/CPrintSetDlg.h"
#include "view/IStatusPanes.h"

#include <QGuiApplication>
#include <QStatusBar>

namespace {

// The frame loses the focus to another window and gets it back, as when a dialog closes.
bool Reactivate(ShellFixture& f)
{
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    if (!QTest::qWaitForWindowActive(&other))
        return false;
    QApplication::setActiveWindow(f.frame.get());
    return QTest::qWaitForWindowActive(f.frame.get());
}

// Depth of the sample that the view's column x shows.
float DepthAtColumn(const CDrawView& view, int x)
{
    const int entry = view.IndexFromPixel(x);
    return entry < 0 ? -1.0f : view.File().ScreenData().primary.m_depthPixels[std::size_t(entry)].depth;
}

std::unique_ptr<FileSlot> SaveCopy(ShellFixture& f, const QString& name)
{
    const QString copy = f.Path(name);
    f.prompts.AnswerFile(copy);
    f.frame->OnCommand(cmd::kFileSave);
    return QFile::exists(copy) ? LoadFile(copy) : nullptr;
}

}  // namespace

class TestFileIdentity : public QObject {
    Q_OBJECT

private slots:
    void rejectedFileShowsAndWritesNothing();
    void anotherFileForgetsTheMarkers();
    void reloadKeepsWhatTheOperatorPlaced();
    void resizeKeepsMarkersAndCursorAtTheirSamples();
    void titleAndStatusPanes();
};

void TestFileIdentity::rejectedFileShowsAndWritesNothing()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QVERIFY(OpenAndLoad(f, f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    // A text file that passes the open checks but not the load.
    const QString bad = f.Bytes(QStringLiteral("notes.cdd"), QByteArray(3000, 'a'));
    const QByteArray badBytes = FileBytes(bad);
    QVERIFY(f.frame->OpenDocumentFile(bad));
    f.View().repaint();
    const QString problem = QStringLiteral("文件不完整，无法读取");
    QTRY_COMPARE(f.prompts.Messages(), QStringList{problem});
    f.prompts.Clear();

    CDrawView& view = f.View();
    QVERIFY(!view.ShowsLoadedFile());
    QCOMPARE(view.File().ScreenData().primary.m_nCount, 0u);
    QVERIFY(!view.MarkerLayer().Markers()[kBottomMarker].placed);
    QCOMPARE(f.frame->StatusPane(pane::kCount)->text(), QString());
    QCOMPARE(f.frame->StatusPane(pane::kPileNo)->text(), QString());

    // The table shows nothing and leaving it writes nothing.
    ShowTable(f);
    f.frame->GetTable()->setFocus();
    f.prompts.m_bDefaultAnswer = true;
    f.frame->OnCommand(cmd::kGraphMode);
    QVERIFY(f.prompts.Questions().isEmpty());

    // The hot-key tools and File / Save refuse with the load's own message.
    ShowTable(f);
    f.prompts.Clear();
    f.frame->OnTailInsertion();
    f.frame->OnStartDepthCorrection();
    f.frame->OnCommand(cmd::kGraphMode);
    QCOMPARE(SaveCopy(f, QStringLiteral("copy.cdd")), nullptr);
    QCOMPARE(f.prompts.Messages(), (QStringList{problem, problem, problem}));

    // The print settings dialog neither shows the previous file's values nor saves into this one.
    f.prompts.Clear();
    CPrintSetDlg dialog(view, f.frame->GetPrintSelection(), {QStringLiteral("notes.cdd")}, f.prompts);
    QVERIFY(dialog.ControlText(CPrintSetDlg::IDC_START_DEPTH).isEmpty());
    QVERIFY(dialog.ControlText(CPrintSetDlg::IDC_PILE_NO).isEmpty());
    QTest::mouseClick(dialog.Control(CPrintSetDlg::IDC_SAVE), Qt::LeftButton);
    QCOMPARE(f.prompts.Messages(), QStringList{"当前文件无效"});
    QCOMPARE(FileBytes(bad), badBytes);
}

void TestFileIdentity::anotherFileForgetsTheMarkers()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QVERIFY(OpenAndLoad(f, f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    QCOMPARE(f.View().MarkerLayer().Markers()[kBottomMarker].depth, 40.5f);
    QTest::mouseClick(&f.View(), Qt::LeftButton, {}, QPoint(300, 100));
    QVERIFY(f.frame->StatusPane(pane::kReadout)->text().trimmed().size() > 0);

    QVERIFY(OpenAndLoad(f, f.Sample(QStringLiteral("p01.cdd"))));
    for (const MarkerRecord& marker : f.View().MarkerLayer().Markers()) {
        QCOMPARE(marker.placed, 0);
        QCOMPARE(marker.depth, 0.0f);
    }
    QVERIFY(!f.View().MarkerLayer().CursorShown());
    QCOMPARE(f.frame->StatusPane(pane::kReadout)->text(), QStringLiteral(" "));
    const std::unique_ptr<FileSlot> copy = SaveCopy(f, QStringLiteral("copy.cdd"));
    QVERIFY(copy);
    QCOMPARE(copy->markerDepth, (std::array<float, kMarkerSlots>{}));
}

void TestFileIdentity::reloadKeepsWhatTheOperatorPlaced()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QVERIFY(f.frame->OpenDocumentFile(f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    CDrawView& view = f.View();
    view.repaint();
    QCOMPARE(view.MarkerLayer().Markers()[0].depth, 12.0f);
    const int width = view.width();
    const float joint3 = f.PlaceAt(width / 3, 2);
    const float bottom = f.PlaceAt(width * 2 / 3, kBottomMarker);
    QVERIFY(joint3 > 0.0f && bottom > 0.0f && bottom != 40.5f);

    // Back from a dialog the file is read again; the screen keeps what the operator placed.
    QVERIFY(Reactivate(f));
    QVERIFY(view.PendingRequests().reloadFile);
    view.repaint();
    QCOMPARE(view.MarkerLayer().Markers()[2].depth, joint3);
    QCOMPARE(view.MarkerLayer().Markers()[kBottomMarker].depth, bottom);
    for (int kind : {0, 1, 2, kBottomMarker})
        QVERIFY2(view.MarkerLayer().MarkerOnImage(kind), qPrintable(QString::number(kind)));

    // File / Save writes what is on the screen.
    const std::unique_ptr<FileSlot> copy = SaveCopy(f, QStringLiteral("copy.cdd"));
    QVERIFY(copy);
    QCOMPARE(copy->markerDepth[0], 12.0f);
    QCOMPARE(copy->markerDepth[2], joint3);
    QCOMPARE(copy->markerDepth[kBottomMarker], bottom);
}

void TestFileIdentity::resizeKeepsMarkersAndCursorAtTheirSamples()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QVERIFY(f.frame->OpenDocumentFile(f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    CDrawView& view = f.View();
    view.repaint();
    const int oldWidth = view.width();
    const float joint5 = f.PlaceAt(oldWidth / 2, 4);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(oldWidth / 4, 100));
    const float cursorDepth = DepthAtColumn(view, view.MarkerLayer().CursorX());

    // Maximised, or the splitter dragged: everything is drawn again at the new width.
    f.frame->resize(1600, 900);
    QApplication::processEvents();
    view.repaint();
    QVERIFY(view.width() != oldWidth);
    QVERIFY(view.MarkerLayer().MarkerOnImage(4));
    QCOMPARE(DepthAtColumn(view, view.MarkerLayer().Markers()[4].x), joint5);
    QCOMPARE(view.MarkerLayer().Markers()[4].depth, joint5);
    QCOMPARE(view.MarkerLayer().Markers()[kBottomMarker].depth, 40.5f);
    QCOMPARE(DepthAtColumn(view, view.MarkerLayer().Markers()[kBottomMarker].x), 40.5f);
    QVERIFY(view.MarkerLayer().CursorShown() && view.MarkerLayer().CursorOnImage());
    QCOMPARE(view.MarkerLayer().CursorLineStart().x(), view.MarkerLayer().CursorX());
    QCOMPARE(DepthAtColumn(view, view.MarkerLayer().CursorX()), cursorDepth);
    // The next marker lands on the sample under the cursor.
    view.OnCommand(cmd::MarkerCommandId(5));
    QCOMPARE(view.MarkerLayer().Markers()[5].depth, cursorDepth);
}

void TestFileIdentity::titleAndStatusPanes()
{
    ShellFixture f;
    QVERIFY(f.Show());
    f.frame->resize(800, 600);
    const QString path = f.Sample(QStringLiteral("a-long-name-of-a-pile-on-a-busy-site.cdd"), QStringLiteral("P04-45m.cdd"));
    QVERIFY(f.frame->OpenDocumentFile(path));
    f.View().repaint();
    QApplication::processEvents();

    // The window system may add the display name unless the title already ends in it.
    const QString title = f.frame->windowTitle();
    QCOMPARE(title, path + QStringLiteral(" - 磁测仪"));
    QVERIFY(title.endsWith(QGuiApplication::applicationDisplayName()));

    // At 800 pixels the panes share the bar without drawing over each other; a cut text ends in
    // "…" and the whole of it is in the tool tip.
    int right = -1;
    for (int id = pane::kProject; id <= pane::kStep; ++id) {
        const CStatusPane* pane = f.frame->StatusPane(id);
        QVERIFY2(pane->geometry().left() > right, qPrintable(QString::number(id)));
        right = pane->geometry().right();
        if (pane->ShownText() != pane->text())
            QVERIFY(pane->ShownText().endsWith(QStringLiteral("…")));
    }
    QVERIFY(right < f.frame->statusBar()->width());
    const CStatusPane* file = f.frame->StatusPane(pane::kFile);
    QCOMPARE(file->text(), QStringLiteral("当前选中文件：") + path);
    QCOMPARE(file->toolTip(), file->text());
    QVERIFY(file->ShownText().endsWith(QStringLiteral("…")));
    // With room the whole text shows.
    f.frame->resize(3000, 600);
    QApplication::processEvents();
    QCOMPARE(file->ShownText(), file->text());
}

QTEST_MAIN(TestFileIdentity)
#include "tst_file_identity.moc"
