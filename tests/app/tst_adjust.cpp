#include "TableFiles.h"

#include "app/adjust/CAddPointDlg.h"
#include "app/table/CEditListCtrl.h"
#include "app/table/CListCtrlEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

CAddPointDlg* OpenStartDepthDialog(ShellFixture& f)
{
    f.frame->OnHotKey(cmd::kHotKeyStartDepth);
    // Dialogs closed before are deleted only when the event loop gets to it.
    for (CAddPointDlg* dialog : f.frame->findChildren<CAddPointDlg*>())
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

// Types text into the open dialog and presses OK.
void Confirm(CAddPointDlg& dialog, const QString& text)
{
    dialog.StartDepthEdit()->setText(text);
    dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
}

}  // namespace

class TestAdjust : public QObject {
    Q_OBJECT

private slots:
    void hotKeysNeedAnOpenedTable();
    void dialogRefusals_data();
    void dialogRefusals();
    void deeperStartAddsCopies();
    void shallowerStartDropsTheDeepest();
    void tailInsertion();
    void capacityLimits();
    void failedRewriteShowsTheFile();
};

void TestAdjust::hotKeysNeedAnOpenedTable()
{
    ShellFixture f;
    const QString path = f.Sample(QStringLiteral("a.cdd"), QStringLiteral("P02-20m.cdd"));
    const QByteArray bytes = FileBytes(path);
    f.frame->OnCommand(cmd::kTableMode);
    f.frame->OnHotKey(cmd::kHotKeyStartDepth);
    f.frame->OnHotKey(cmd::kHotKeyTail);
    QVERIFY(OpenAndLoad(f, path));
    f.frame->OnCommand(cmd::kGraphMode);
    f.frame->OnHotKey(cmd::kHotKeyStartDepth);
    f.frame->OnHotKey(cmd::kHotKeyTail);
    QVERIFY(!f.frame->findChild<CAddPointDlg*>());
    QVERIFY(f.prompts.m_calls.isEmpty());
    QCOMPARE(FileBytes(path), bytes);

    // Cancel closes the dialog and changes nothing.
    f.frame->OnCommand(cmd::kTableMode);
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->objectName(), QStringLiteral("dialog143"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("修正起点深度"));
    QCOMPARE(dialog->StartDepthEdit()->objectName(), QStringLiteral("1001"));
    QCOMPARE(dialog->StartDepthEdit()->text(), QStringLiteral("20"));
    QCOMPARE(dialog->findChildren<QLabel*>().first()->text(), QStringLiteral("请确认起点深度"));
    dialog->StartDepthEdit()->setText(QStringLiteral("21"));
    dialog->findChild<QPushButton*>(QStringLiteral("2"))->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(f.frame->m_nViewMode, 32794);
    QCOMPARE(FileBytes(path), bytes);
}

void TestAdjust::dialogRefusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("less than a step") << "20.20" << "";
    QTest::newRow("no change") << "20.005" << "数值未修改！";
    QTest::newRow("deeper than 160 m") << "180" << "请输入0-160之间数值！";
    QTest::newRow("below the dialog's range") << "0.5" << "请输入一个在 1 和 200 之间的数字。";
    QTest::newRow("above the dialog's range") << "250" << "请输入一个在 1 和 200 之间的数字。";
    QTest::newRow("not a number") << "2O" << "请输入一个数字。";
}

void TestAdjust::dialogRefusals()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    ShellFixture f;
    const QString path = f.Sample(QStringLiteral("a.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(OpenAsTable(f, path));
    const QByteArray bytes = FileBytes(path);
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    QVERIFY(dialog);
    Confirm(*dialog, text);
    // The dialog stays open with the typed text; nothing changes anywhere.
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->StartDepthEdit()->text(), text);
    QCOMPARE(f.prompts.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(FileBytes(path), bytes);
    QCOMPARE(f.View().File().ScreenData().primary.m_nCount, 81u);
    QVERIFY(!f.View().PendingRequests().reloadOnce);
    QCOMPARE(f.frame->m_nViewMode, 32794);
}

void TestAdjust::deeperStartAddsCopies()
{
    ShellFixture f;
    const QString path = f.Sample(QStringLiteral("a.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(OpenAsTable(f, path));
    const std::unique_ptr<FileSlot> before = LoadFile(path);
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    QVERIFY(dialog);
    Confirm(*dialog, QStringLiteral("21.00"));
    QVERIFY(!dialog->isVisible());
    QVERIFY(f.prompts.m_calls.isEmpty());

    // Four steps deeper: four copies of the shallowest sample, every depth one metre deeper.
    std::unique_ptr<FileSlot> after = LoadFile(path);
    QVERIFY(after);
    const CFileData& p = after->primary;
    QCOMPARE(p.m_nCount, 85u);
    QCOMPARE(p.m_fStartDepth, 21.0f);
    for (int i = 0; i < 81; ++i) {
        QCOMPARE(p.m_raw[std::size_t(i)].z, before->primary.m_raw[std::size_t(i)].z);
        QCOMPARE(p.m_raw[std::size_t(i)].depth, before->primary.m_raw[std::size_t(i)].depth + 1.0f);
    }
    const SampleRecord& last = before->primary.m_raw[80];
    const float e = last.depth;
    const float copies[4] = {e + 0.75f, e + 0.5f, e + 0.25f, e};
    for (int i = 81; i < 85; ++i)
        QVERIFY(p.m_raw[std::size_t(i)].z == last.z && p.m_raw[std::size_t(i)].depth == copies[i - 81]);
    // The secondary data set is carried over.
    QCOMPARE(after->secondary.m_nCount, before->secondary.m_nCount);

    // The screen shows the file; the next paint re-reads it in graph mode.
    const CDrawView& view = f.View();
    QCOMPARE(view.File().ScreenData().primary.m_nCount, 85u);
    QCOMPARE(view.File().ScreenData().primary.m_raw[84].dz, 0);
    QVERIFY(view.PendingRequests().reloadOnce);
    QCOMPARE(f.frame->m_nViewMode, 32795);
    QVERIFY(!f.frame->GetTable()->isVisibleTo(&f.View()));
    QVERIFY(f.prompts.Questions().isEmpty());
}

void TestAdjust::shallowerStartDropsTheDeepest()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString path = f.Sample(QStringLiteral("a.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(OpenAsTable(f, path));
    const std::unique_ptr<FileSlot> before = LoadFile(path);
    // With the grid focused: the rewritten file is not offered the grid's old values on the way
    // back to the graph.
    f.frame->GetTable()->setFocus();
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    QVERIFY(dialog);
    Confirm(*dialog, QStringLiteral("19.00"));
    QVERIFY(f.prompts.m_calls.isEmpty());
    std::unique_ptr<FileSlot> after = LoadFile(path);
    QCOMPARE(after->primary.m_nCount, 77u);
    QCOMPARE(after->primary.m_fStartDepth, 19.0f);
    for (int i = 0; i < 77; ++i) {
        QCOMPARE(after->primary.m_raw[std::size_t(i)].z, before->primary.m_raw[std::size_t(i + 4)].z);
        QCOMPARE(after->primary.m_raw[std::size_t(i)].depth, before->primary.m_raw[std::size_t(i + 4)].depth);
    }
    QCOMPARE(f.frame->m_nViewMode, 32795);
}

void TestAdjust::tailInsertion()
{
    ShellFixture f;
    const QString path = SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P03-30m.cdd"), 100);
    QVERIFY(OpenAsTable(f, path));
    const std::unique_ptr<FileSlot> before = LoadFile(path);
    f.frame->OnHotKey(cmd::kHotKeyTail);
    QCOMPARE(f.prompts.Messages(), QStringList{"尾部插点"});

    std::unique_ptr<FileSlot> after = LoadFile(path);
    QCOMPARE(after->primary.m_nCount, 105u);
    QCOMPARE(after->primary.m_fStartDepth, before->primary.m_fStartDepth);
    const SampleRecord& last = before->primary.m_raw[99];
    for (int i = 99; i < 105; ++i) {
        const SampleRecord& s = after->primary.m_raw[std::size_t(i)];
        QVERIFY(s.x == last.x && s.y == last.y && s.z == last.z && s.depth == last.depth);
    }
    QCOMPARE(after->primary.m_raw[98].z, before->primary.m_raw[98].z);

    // Still a table, refilled with the new samples and their differences.
    QCOMPARE(f.frame->m_nViewMode, 32794);
    QVERIFY(f.View().PendingRequests().tableRefill);
    QVERIFY(f.View().PendingRequests().reloadOnce);
    f.PaintView();
    CEditListCtrl& grid = *f.frame->GetTable();
    QCOMPARE(grid.rowCount(), 22);
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(grid.item(r, 1)->text(), QString::number(last.z));
        QCOMPARE(grid.item(r, 2)->text(), QStringLiteral("0"));
    }
}

void TestAdjust::capacityLimits()
{
    ShellFixture f;
    // 2044 samples: two metres deeper would pass 2048 samples, and so would five more.
    const QString full = SyntheticFile(f, QStringLiteral("full.cdd"), 2044);
    QVERIFY(OpenAsTable(f, full));
    const QByteArray fullBytes = FileBytes(full);
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    Confirm(*dialog, QStringLiteral("102"));
    QVERIFY(dialog->isVisible());
    f.frame->OnHotKey(cmd::kHotKeyTail);
    QCOMPARE(f.prompts.Messages(),
             QStringList({"修正后采样点将超过2048个，未修改。", "插点后采样点将超过2048个，未修改。"}));
    QCOMPARE(FileBytes(full), fullBytes);
    QCOMPARE(f.View().File().ScreenData().primary.m_nCount, 2044u);
    dialog->reject();

    // Five samples from 12.00 m: a start at 1.00 m would remove them all.
    f.prompts.Clear();
    const QString few = SampleWithCount(f, QStringLiteral("few.cdd"), QStringLiteral("P01-12m.cdd"), 5);
    QVERIFY(OpenAsTable(f, few));
    const QByteArray fewBytes = FileBytes(few);
    dialog = OpenStartDepthDialog(f);
    Confirm(*dialog, QStringLiteral("1"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(f.prompts.Messages(), QStringList{"修正后将没有采样点，未修改。"});
    QCOMPARE(FileBytes(few), fewBytes);
    dialog->reject();

    // No sample at all: nothing to copy.
    f.prompts.Clear();
    const QString none = SampleWithCount(f, QStringLiteral("none.cdd"), QStringLiteral("P01-12m.cdd"), 0);
    QVERIFY(OpenAsTable(f, none));
    f.frame->OnHotKey(cmd::kHotKeyTail);
    QCOMPARE(f.prompts.Messages(), QStringList{"文件中没有采样点，未修改。"});
}

void TestAdjust::failedRewriteShowsTheFile()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString path = SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P03-30m.cdd"), 100);
    QVERIFY(OpenAsTable(f, path));
    const std::unique_ptr<FileSlot> before = LoadFile(path);
    // An edit that was never written back, then a file that may not be written.
    CEditListCtrl& grid = *f.frame->GetTable();
    grid.BeginEdit(0, 1);
    grid.EditBox()->setText(QStringLiteral("123456"));
    grid.OnEndEdit();
    QCOMPARE(f.View().File().ScreenData().primary.m_raw[99].z, 123456);
    QFile::setPermissions(path, QFile::ReadOwner);
    const QByteArray bytes = FileBytes(path);

    f.frame->OnHotKey(cmd::kHotKeyTail);
    QCOMPARE(f.prompts.Messages(), QStringList({"尾部插点", "无法读取文件"}));
    QCOMPARE(FileBytes(path), bytes);
    // Memory is the file again: no copies, no unsaved edit.
    const CFileData& shown = f.View().File().ScreenData().primary;
    QCOMPARE(shown.m_nCount, 100u);
    for (int i = 0; i < 100; ++i)
        QCOMPARE(shown.m_raw[std::size_t(i)].z, before->primary.m_raw[std::size_t(i)].z);
    QCOMPARE(f.frame->m_nViewMode, 32794);

    f.prompts.Clear();
    CAddPointDlg* dialog = OpenStartDepthDialog(f);
    Confirm(*dialog, QStringLiteral("29"));
    QCOMPARE(f.prompts.Messages(), QStringList{"无法读取文件"});
    QCOMPARE(FileBytes(path), bytes);
    QCOMPARE(shown.m_nCount, 100u);
    QCOMPARE(shown.m_fStartDepth, before->primary.m_fStartDepth);
}

QTEST_MAIN(TestAdjust)
#include "tst_adjust.moc"
