#include "ShellFixture.h"

#include "app/CommandIds.h"
#include "app/table/CEditListCtrl.h"

#include <QtEndian>

namespace {
QByteArray MarkerCount(qint32 n)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(n, bytes.data());
    return bytes;
}

QStringList ChildNames(const QTreeWidgetItem* root)
{
    QStringList names;
    for (int i = 0; root && i < root->childCount(); ++i)
        names << root->child(i)->text(0);
    return names;
}
}  // namespace

class TestFileTree : public QObject {
    Q_OBJECT

private slots:
    void listsTheFolder();
    void rootTextAndEmptyFolders();
    void clickShowsTheFile();
    void clicksThatDoNothing();
    void clickInTableModeSwitchesToGraph();
};

void TestFileTree::listsTheFolder()
{
    ShellFixture f;
    f.Sample(QStringLiteral("b.cdd"));
    f.Sample(QStringLiteral("A.CDD"));
    f.Sample(QStringLiteral("c.Cdd"));
    f.Bytes(QStringLiteral("marked.cdd"), MarkerCount(11) + QByteArray(600, '\0'));
    f.Bytes(QStringLiteral("other.cdd"), MarkerCount(12));
    f.Bytes(QStringLiteral("short.cdd"), QByteArray(2, '\x0b'));
    f.Bytes(QStringLiteral("notes.txt"), "x");
    f.Bytes(QStringLiteral("x.cddx"), "x");
    QDir(f.dataDir.path()).mkdir(QStringLiteral("folder.cdd"));

    CFileTreeView& tree = f.Tree();
    tree.m_strFolder = f.dataDir.path();
    tree.Refill();
    QTreeWidgetItem* root = tree.RootItem();
    QVERIFY(root);
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(root->text(0), QDir(f.dataDir.path()).dirName());
    QCOMPARE(root->data(0, CFileTreeView::kImageRole).toInt(), 3);
    QCOMPARE(root->data(0, CFileTreeView::kSelectedImageRole).toInt(), 3);
    QVERIFY(root->isExpanded());
    // Every ".cdd" file whatever the case of its extension, in name order; nothing else.
    QCOMPARE(ChildNames(root), QStringList({"A.CDD", "b.cdd", "c.Cdd", "marked.cdd", "other.cdd", "short.cdd"}));
    for (int i = 0; i < root->childCount(); ++i) {
        const QTreeWidgetItem* item = root->child(i);
        QCOMPARE(item->data(0, CFileTreeView::kPathRole).toString(), f.Path(item->text(0)));
        QCOMPARE(item->data(0, CFileTreeView::kImageRole).toInt(), 0);
        // Only a file that starts with a saved marker table selects as image 2.
        QCOMPARE(item->data(0, CFileTreeView::kSelectedImageRole).toInt(), item->text(0) == "marked.cdd" ? 2 : 1);
    }

    // A refill starts over from the folder as it is now.
    QFile::remove(f.Path(QStringLiteral("b.cdd")));
    tree.Refill();
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.RootItem()->childCount(), 5);
}

void TestFileTree::rootTextAndEmptyFolders()
{
    ShellFixture f;
    CFileTreeView& tree = f.Tree();
    tree.m_strFolder = f.Path(QStringLiteral("no-such-folder"));
    tree.Refill();
    QCOMPARE(tree.RootItem()->text(0), QStringLiteral("no-such-folder"));
    QCOMPARE(tree.RootItem()->childCount(), 0);

    // A folder text without a separator (a drive such as "C:") names no folder.
    tree.m_strFolder = QStringLiteral("C:");
    tree.Refill();
    QCOMPARE(tree.RootItem()->text(0), QString());

    tree.m_strFolder.clear();
    tree.Refill();
    QCOMPARE(tree.topLevelItemCount(), 0);
}

void TestFileTree::clickShowsTheFile()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString one = f.Sample(QStringLiteral("one.cdd"));
    f.Bytes(QStringLiteral("zero.cdd"), QByteArray());
    CFileTreeView& tree = f.Tree();
    tree.m_strFolder = f.dataDir.path();
    tree.Refill();
    QTreeWidgetItem* root = tree.RootItem();
    QTreeWidgetItem* item = root->child(0);
    QCOMPARE(item->text(0), QStringLiteral("one.cdd"));

    CDrawView& view = f.View();
    QVERIFY(f.ShowRead(one));
    f.PlaceAt(500, kBottomMarker);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(400, 100));
    QCOMPARE(view.MarkerLayer().Markers()[10].placed, 1);
    QVERIFY(view.MarkerLayer().CursorShown());
    view.File().ScreenData().primary.m_nSmoothWindow = 5;
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
    QVERIFY(f.prompts.Messages().isEmpty());
    QCOMPARE(view.File().FilePath(), one);
    QCOMPARE(view.File().Folder(), f.dataDir.path());
    QVERIFY(view.PendingRequests().reloadFile);
    QVERIFY(!view.PendingRequests().reloadOnSwitch);
    QCOMPARE(view.MarkerLayer().Markers()[10].label, QString());
    QCOMPARE(view.MarkerLayer().Markers()[10].placed, 0);
    QVERIFY(!view.MarkerLayer().CursorShown());
    QCOMPARE(view.File().ScreenData().primary.m_nSmoothWindow, 1);
    QCOMPARE(f.frame->windowTitle(), QDir::toNativeSeparators(one) + QStringLiteral(" - 磁测仪"));
    QCOMPARE(f.frame->RecentFiles().Paths(), QStringList{one});
    // The tree stays as it is, and a file chosen here alone unlocks nothing.
    QCOMPARE(tree.RootItem(), root);
    QCOMPARE(f.frame->m_bFileOpened, 0);
    QVERIFY(!f.frame->IsCommandEnabled(cmd::kFileSave));
    QVERIFY(!f.frame->IsCommandEnabled(cmd::kPrintSetup));
    QVERIFY(!f.frame->IsCommandEnabled(cmd::kSavePicture));
    QVERIFY(!f.frame->IsCommandEnabled(cmd::kExportData));

    // An empty file is refused and the display keeps the file it had.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(root->child(1)).center());
    QCOMPARE(f.prompts.Messages(), QStringList{"无法读取文件"});
    QCOMPARE(view.File().FilePath(), one);
}

void TestFileTree::clicksThatDoNothing()
{
    ShellFixture f;
    QVERIFY(f.Show());
    f.Sample(QStringLiteral("one.cdd"));
    CFileTreeView& tree = f.Tree();
    tree.m_strFolder = f.dataDir.path();
    tree.Refill();
    QTreeWidgetItem* root = tree.RootItem();

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(root).center());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(5, tree.viewport()->height() - 5));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(root->child(0)).center());
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(root).center());
    QVERIFY(f.View().File().FilePath().isEmpty());
    QVERIFY(f.prompts.m_calls.isEmpty());
}

void TestFileTree::clickInTableModeSwitchesToGraph()
{
    ShellFixture f;
    QVERIFY(f.Show());
    f.Sample(QStringLiteral("one.cdd"));
    f.frame->OnCommand(cmd::kTableMode);
    CFileTreeView& tree = f.Tree();
    tree.m_strFolder = f.dataDir.path();
    tree.Refill();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(tree.RootItem()->child(0)).center());
    QCOMPARE(f.frame->m_nViewMode, 32795);
    QVERIFY(f.View().PendingRequests().reloadOnSwitch);
    QVERIFY(!f.View().PendingRequests().reloadFile);
    QVERIFY(!f.frame->GetTable()->isVisible());
}

QTEST_MAIN(TestFileTree)
#include "tst_filetree.moc"
