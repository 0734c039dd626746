// What the desktop program adds for operators who work from the keyboard and on small screens:
// the status line shares its width by need, the table scrolls rather than cutting its cells, the
// cursor and the tree answer to the usual keys, folders are remembered and files can be dropped.
#include "ShellFixture.h"

#include "app/CStatusLine.h"
#include "app/CStatusPane.h"
#include "app/CommandIds.h"
#include "app/table/CEditListCtrl.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QtTest>

class TestDesktopAdditions : public QObject {
    Q_OBJECT
private slots:
    void statusLineSharesByNeed();
    void cursorKeysAndTree();
    void narrowTableScrolls();
    void foldersAndDrops();
    void splitterIsRemembered();
};

void TestDesktopAdditions::statusLineSharesByNeed()
{
    // Room for all: every pane its need, the message pane the rest.
    QCOMPARE(CStatusLine::ShareWidths({40, 100, 60}, 300, 50), std::vector<int>({140, 100, 60}));
    // Short panes keep their whole text; only the long one is cut.
    QCOMPARE(CStatusLine::ShareWidths({40, 60, 500, 70}, 300, 50), std::vector<int>({40, 60, 130, 70}));
    // A long message comes first while the others keep their floor.
    const std::vector<int> squeezed = CStatusLine::ShareWidths({400, 60, 500, 70}, 500, 50);
    QCOMPARE(squeezed[0], 350);
    QCOMPARE(squeezed[1] + squeezed[2] + squeezed[3], 150);
    QCOMPARE(squeezed[1], 50);

    ShellFixture f;
    QVERIFY(f.Show());
    f.frame->resize(1280, 800);
    QVERIFY(f.frame->OpenDocumentFile(f.Sample(QStringLiteral("p03.cdd"), QStringLiteral("P03-30m.cdd"))));
    f.View().repaint();
    QApplication::processEvents();
    // At 1280 pixels only the file pane, the longest, is cut.
    for (int id = pane::kProject; id <= pane::kStep; ++id) {
        const CStatusPane* pane = f.frame->StatusPane(id);
        if (id != pane::kFile)
            QCOMPARE(pane->ShownText(), pane->text());
    }
}

void TestDesktopAdditions::cursorKeysAndTree()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString a = f.Sample(QStringLiteral("a.cdd"));
    const QString b = f.Sample(QStringLiteral("b.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(f.frame->OpenDocumentFile(a));
    f.View().repaint();
    const CMarkerLayer& layer = f.View().MarkerLayer();
    const int count = int(f.View().File().ScreenData().primary.m_nCount);

    QTest::keyClick(&f.View(), Qt::Key_End);
    QVERIFY(layer.CursorShown());
    QCOMPARE(layer.CursorIndex(), count - 1);
    QTest::keyClick(&f.View(), Qt::Key_PageUp);
    QCOMPARE(layer.CursorIndex(), count - 1 - count / 10);
    QTest::keyClick(&f.View(), Qt::Key_Home);
    QVERIFY(layer.CursorIndex() <= 1);
    QTest::keyClick(&f.View(), Qt::Key_PageDown);
    QVERIFY(layer.CursorIndex() >= count / 10);

    // The tree highlights the file on display; Enter opens the highlighted one.
    CFileTreeView& tree = f.Tree();
    QCOMPARE(tree.currentItem()->data(0, CFileTreeView::kPathRole).toString(), a);
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Down);
    QCOMPARE(f.View().File().FilePath(), a);
    QTest::keyClick(&tree, Qt::Key_Return);
    QCOMPARE(f.View().File().FilePath(), b);
}

void TestDesktopAdditions::narrowTableScrolls()
{
    ShellFixture f;
    QVERIFY(f.Show());
    f.frame->resize(800, 600);
    QVERIFY(f.frame->OpenDocumentFile(f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    f.View().repaint();
    f.frame->OnCommand(cmd::kTableMode);
    f.View().repaint();
    QApplication::processEvents();
    CEditListCtrl& table = *f.frame->GetTable();
    // Every cell shows its whole text; the grid scrolls sideways instead.
    const QFontMetrics metrics(table.font());
    for (int c = 0; c < table.columnCount(); ++c)
        QVERIFY2(table.columnWidth(c) > metrics.horizontalAdvance(table.item(0, c)->text()),
                 qPrintable(QString::number(c)));
    QVERIFY(table.horizontalScrollBar()->maximum() > 0);
}

void TestDesktopAdditions::foldersAndDrops()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString a = f.Sample(QStringLiteral("a.cdd"));
    f.prompts.AnswerFile(a);
    f.frame->OnCommand(cmd::kFileOpen);
    QCOMPARE(f.View().File().FilePath(), a);

    // A new window with nothing shown opens File / Open where the last file came from.
    CMainFrame other(f.prompts);
    other.OnCommand(cmd::kFileOpen);
    QCOMPARE(QDir(f.prompts.LastFileRequest().initialPath), QDir(f.dataDir.path()));

    // A ".cdd" dropped on the window opens like File / Open; anything else is refused.
    const QString b = f.Sample(QStringLiteral("b.cdd"), QStringLiteral("P02-20m.cdd"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(f.Path(QStringLiteral("notes.txt"))), QUrl::fromLocalFile(b)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.frame.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.frame.get(), &drop);
    QVERIFY(QTest::qWaitFor([&] { return f.View().File().FilePath() == b; }));
    QCOMPARE(f.frame->RecentFiles().Paths().first(), b);
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(f.Path(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(f.frame.get(), &refused);
    QVERIFY(!refused.isAccepted());
}

void TestDesktopAdditions::splitterIsRemembered()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QSplitter& splitter = *f.frame->GetSplitter();
    const int before = splitter.sizes().value(0);
    QSplitterHandle* handle = splitter.handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(150, 0)),
                     handle->mapToGlobal(QPointF(grip + QPoint(150, 0))), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(150, 0));
    const int dragged = splitter.sizes().value(0);
    QVERIFY2(dragged > before + 100, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(dragged)));

    // The next window starts with the tree as wide as it was left.
    CMainFrame other(f.prompts);
    other.resize(f.frame->size());
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QCOMPARE(other.GetSplitter()->sizes().value(0), dragged);
}

QTEST_MAIN(TestDesktopAdditions)
#include "tst_desktop_additions.moc"
