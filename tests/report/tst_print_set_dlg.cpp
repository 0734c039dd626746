// The print settings dialog: filling, selecting, saving the report values and handing over.
#include "ReportTestFiles.h"
#include "support/ScriptedPrompts.h"

#include "data/MeasurementFile.h"
#include "report/CPrintSetDlg.h"
#include "report/PrintSelection.h"
#include "view/CDrawView.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

using D = CPrintSetDlg;

struct DialogFixture {
    TempDir dir;
    std::unique_ptr<CDrawView> view = std::make_unique<CDrawView>();
    PrintSelection lists;
    ScriptedPrompts prompts;
    std::unique_ptr<CPrintSetDlg> dlg;

    DialogFixture()
    {
        CddBuilder b = SampleFile(81, "P1");  // deepest sample at 20.00 m
        b.markerCount = 11;
        b.markers[10] = 16.25f;
        WriteBytes(dir.file("b.cdd"), b.bytes());
        WriteBytes(dir.file("A.cdd"), WithReport(SampleFile(30, "PA"), "SAVED-PILE", "saved notes").bytes());
        WriteBytes(dir.file("c.cdd"), SampleFile(20, "PC").bytes());
        view->File().Choose(Q(dir.file("b.cdd")), Q(dir.path()));
        // Left over from an earlier job: opening the dialog empties it.
        lists.m_printFiles = {"old.cdd"};
        lists.m_overflowFiles[1] = {"old.cdd"};
        lists.m_overflowCount[1] = 1;
        lists.m_printReady = 1;
        Open({QStringLiteral("c.cdd"), QStringLiteral("b.cdd"), QStringLiteral("A.cdd"), QStringLiteral("gone.cdd")});
    }
    void Open(const QStringList& treeFiles)
    {
        dlg = std::make_unique<CPrintSetDlg>(*view, lists, treeFiles, prompts);
    }
    QString Text(int id) const { return dlg->ControlText(id); }
    QListWidget* List() const { return qobject_cast<QListWidget*>(dlg->Control(D::IDC_FILE_LIST)); }
    QCheckBox* Box(int id) const { return qobject_cast<QCheckBox*>(dlg->Control(id)); }
    void Select(const QString& name) const
    {
        List()->setCurrentItem(List()->findItems(name, Qt::MatchExactly).value(0));
    }
    // Check boxes are clicked on their indicator, which a short label leaves at the far left.
    void Click(int id) const
    {
        QWidget* control = dlg->Control(id);
        const QPoint at = qobject_cast<QCheckBox*>(control) ? QPoint(6, control->height() / 2) : control->rect().center();
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }
};

const int kReportFields[] = {D::IDC_ENGINEERING_NAME, D::IDC_PROJECT,     D::IDC_SITE,
                             D::IDC_PILE_NO,          D::IDC_DETECTED_LENGTH, D::IDC_START_DEPTH,
                             D::IDC_DESIGN_CAGE,      D::IDC_DESIGN_PILE, D::IDC_DATE,
                             D::IDC_NOTES};

}  // namespace

class TestPrintSetDlg : public QObject {
    Q_OBJECT
private slots:
    void opensWithDefaultsOfTheDisplayedFile()
    {
        DialogFixture f;
        QCOMPARE(f.dlg->windowTitle(), QStringLiteral("打印设置"));
        QCOMPARE(f.Text(D::IDC_START_DEPTH), QStringLiteral("20.00"));
        QCOMPARE(f.Text(D::IDC_PILE_NO), QStringLiteral("P1"));
        QCOMPARE(f.Text(D::IDC_DESIGN_CAGE), QStringLiteral("16.25"));
        QCOMPARE(f.Text(D::IDC_DATE), QStringLiteral("2024-05-17"));
        QCOMPARE(f.Text(D::IDC_PROJECT), QStringLiteral("PRJ"));
        QCOMPARE(f.Text(D::IDC_SITE), QStringLiteral("SITE"));
        for (int id : {D::IDC_ENGINEERING_NAME, D::IDC_DETECTED_LENGTH, D::IDC_DESIGN_PILE, D::IDC_NOTES})
            QVERIFY2(f.Text(id).isEmpty(), qPrintable(QString::number(id)));
        QCOMPARE(qobject_cast<QLineEdit*>(f.dlg->Control(D::IDC_ENGINEERING_NAME))->maxLength(), 32);

        QVERIFY(f.Box(D::IDC_TITLE_CHECK)->isChecked());
        QVERIFY(f.Box(D::IDC_PRINT_WAVE)->isChecked());
        QVERIFY(!f.Box(D::IDC_PRINT_DATA)->isChecked());
        QVERIFY(!f.Box(D::IDC_SELECT_ALL)->isChecked());

        // Sorted without regard to case; the displayed file is selected and named.
        QStringList names;
        for (int i = 0; i < f.List()->count(); ++i)
            names << f.List()->item(i)->text();
        QCOMPARE(names, (QStringList{"A.cdd", "b.cdd", "c.cdd", "gone.cdd"}));
        QCOMPARE(f.List()->currentRow(), 1);
        QCOMPARE(f.Text(D::IDC_CURRENT_FILE), QStringLiteral("b.cdd"));
        QCOMPARE(f.dlg->m_strSelectedPath, Q(f.dir.file("b.cdd")));

        QVERIFY(f.lists.m_printFiles.empty());
        QVERIFY(f.lists.m_overflowFiles[1].empty());
        QCOMPARE(f.lists.m_overflowCount[1], 0);
    }

    void selectingAnotherFileReplacesEveryField()
    {
        DialogFixture f;
        f.Select(QStringLiteral("A.cdd"));
        QCOMPARE(f.Text(D::IDC_CURRENT_FILE), QStringLiteral("A.cdd"));
        QCOMPARE(f.Text(D::IDC_PILE_NO), QStringLiteral("SAVED-PILE"));
        QCOMPARE(f.Text(D::IDC_ENGINEERING_NAME), QStringLiteral("ENG-NAME"));
        QCOMPARE(f.Text(D::IDC_NOTES), QStringLiteral("saved notes"));
        QCOMPARE(f.Text(D::IDC_DETECTED_LENGTH), QStringLiteral("41.30"));
        QCOMPARE(f.Text(D::IDC_START_DEPTH), QStringLiteral("45.00"));
        QCOMPARE(f.Text(D::IDC_PROJECT), QStringLiteral("RPROJECT"));
        QCOMPARE(f.dlg->m_strSelectedPath, Q(f.dir.file("A.cdd")));

        // Back to a file without a saved report: nothing of A's values remains.
        f.Select(QStringLiteral("c.cdd"));
        QCOMPARE(f.Text(D::IDC_PILE_NO), QStringLiteral("PC"));
        QCOMPARE(f.Text(D::IDC_START_DEPTH), QStringLiteral("4.75"));
        for (int id : {D::IDC_ENGINEERING_NAME, D::IDC_DETECTED_LENGTH, D::IDC_DESIGN_PILE, D::IDC_NOTES})
            QVERIFY(f.Text(id).isEmpty());

        // A listed file that cannot be read shows no values at all.
        f.Select(QStringLiteral("gone.cdd"));
        QCOMPARE(f.Text(D::IDC_CURRENT_FILE), QStringLiteral("gone.cdd"));
        for (int id : kReportFields)
            QVERIFY(f.Text(id).isEmpty());

        f.List()->clearSelection();
        QCOMPARE(f.Text(D::IDC_CURRENT_FILE), QStringLiteral("未知文件"));
    }

    void titleBoxEnablesTheNameAndEmptiesTheTitle()
    {
        DialogFixture f;
        f.dlg->SetControlText(D::IDC_ENGINEERING_NAME, QStringLiteral("桥梁工程"));
        f.Click(D::IDC_TITLE_CHECK);
        QVERIFY(!f.dlg->Control(D::IDC_ENGINEERING_NAME)->isEnabled());
        f.Click(D::IDC_OK);
        QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
        QCOMPARE(f.lists.m_printSettings.printTitle, 0);
        QVERIFY(f.lists.m_printSettings.texts[0].isEmpty());
        // Nothing checked: nothing to print.
        QVERIFY(f.lists.m_printFiles.empty());
        QCOMPARE(f.lists.m_printReady, 0);
    }

    void selectAllAndOkHandOverTheSortedList()
    {
        DialogFixture f;
        f.Click(D::IDC_SELECT_ALL);
        f.Click(D::IDC_PRINT_DATA);
        f.dlg->SetControlText(D::IDC_ENGINEERING_NAME, QStringLiteral("桥梁工程"));
        f.dlg->SetControlText(D::IDC_NOTES, QStringLiteral("说明"));
        f.Click(D::IDC_OK);
        QCOMPARE(f.lists.m_printFiles, (std::vector<std::string>{"A.cdd", "b.cdd", "c.cdd", "gone.cdd"}));
        QCOMPARE(f.lists.m_printReady, 1);
        const PrintSettings& s = f.lists.m_printSettings;
        QCOMPARE(s.printTitle, 1);
        QCOMPARE(s.printWave, 1);
        QCOMPARE(s.printTable, 1);
        QCOMPARE(s.texts[0], QStringLiteral("桥梁工程"));
        QCOMPARE(s.texts[1], QStringLiteral("说明"));
        QCOMPARE(s.texts[3], QStringLiteral("16.25"));  // design cage
        QCOMPARE(s.texts[7], QStringLiteral("20.00"));  // start depth

        // Unticking "全选" clears every mark again.
        DialogFixture g;
        g.Click(D::IDC_SELECT_ALL);
        g.Click(D::IDC_SELECT_ALL);
        g.List()->item(2)->setCheckState(Qt::Checked);
        g.Click(D::IDC_OK);
        QCOMPARE(g.lists.m_printFiles, std::vector<std::string>{"c.cdd"});
    }

    void cancelChangesNothing()
    {
        DialogFixture f;
        f.lists.m_printSettings.printTable = 1;
        f.Click(D::IDC_SELECT_ALL);
        f.Click(D::IDC_TITLE_CHECK);
        f.Click(D::IDC_CANCEL);
        QCOMPARE(f.dlg->result(), int(QDialog::Rejected));
        QVERIFY(f.lists.m_printFiles.empty());
        QCOMPARE(f.lists.m_printReady, 1);
        QCOMPARE(f.lists.m_printSettings.printTitle, 1);
        QCOMPARE(f.lists.m_printSettings.printTable, 1);
    }

    void saveStoresTheReportBlock()
    {
        DialogFixture f;
        f.dlg->SetControlText(D::IDC_ENGINEERING_NAME, QStringLiteral("滨江大道桥梁桩基工程"));
        f.dlg->SetControlText(D::IDC_DETECTED_LENGTH, QStringLiteral("16.85"));
        f.dlg->SetControlText(D::IDC_DESIGN_PILE, QStringLiteral("abc"));
        f.dlg->SetControlText(D::IDC_NOTES, QStringLiteral("旁孔磁测法"));
        f.Click(D::IDC_SAVE);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("已保存！")});
        QCOMPARE(f.prompts.m_calls.front().kind, Prompts::Kind::Information);
        QCOMPARE(f.dlg->m_strNotes, QStringLiteral("旁孔磁测法"));
        // The displayed file was saved: the view reads it again at its next paint.
        QVERIFY(f.view->PendingRequests().reloadOnce);

        FileSlot slot;
        QCOMPARE(HeaderLoad(slot, f.dir.file("b.cdd")), LoadResult::Ok);
        QCOMPARE(slot.primary.m_nReportFlag, 1);
        QCOMPARE(slot.primary.m_fDetectedLength, 16.85f);
        QCOMPARE(slot.primary.m_fDesignPileLength, 0.0f);
        QCOMPARE(slot.primary.m_fDesignCageLength, 16.25f);
        QCOMPARE(QString::fromStdU16String(slot.primary.m_strEngineeringName), QStringLiteral("滨江大道桥梁桩基工程"));
        QCOMPARE(QString::fromStdU16String(slot.primary.m_strReportPileNo), QStringLiteral("P1"));

        // Opened again, the dialog shows the saved values.
        f.Open({QStringLiteral("b.cdd")});
        QCOMPARE(f.Text(D::IDC_DETECTED_LENGTH), QStringLiteral("16.85"));
        QCOMPARE(f.Text(D::IDC_DESIGN_PILE), QStringLiteral("0.00"));
    }

    // Every field in its place: all ten saved and shown again, the first eight printed in order.
    void everyFieldSavedShownAndPrinted()
    {
        DialogFixture f;
        const std::pair<int, QString> typed[] = {{D::IDC_ENGINEERING_NAME, "工程"}, {D::IDC_NOTES, "说明"},
                                                 {D::IDC_DESIGN_PILE, "30.50"},     {D::IDC_DESIGN_CAGE, "18.25"},
                                                 {D::IDC_DATE, "2024-6-1"},         {D::IDC_PILE_NO, "P9"},
                                                 {D::IDC_DETECTED_LENGTH, "17.75"}, {D::IDC_START_DEPTH, "21.50"},
                                                 {D::IDC_PROJECT, "项目"},          {D::IDC_SITE, "工地"}};
        for (const auto& [id, text] : typed)
            f.dlg->SetControlText(id, text);
        f.Click(D::IDC_SAVE);

        f.Open({QStringLiteral("b.cdd")});
        for (const auto& [id, text] : typed)
            QCOMPARE(f.Text(id), text);
        f.Click(D::IDC_OK);
        for (std::size_t i = 0; i < f.lists.m_printSettings.texts.size(); ++i)
            QCOMPARE(f.lists.m_printSettings.texts[i], typed[i].second);
    }

    void saveRefusals()
    {
        DialogFixture f;
        const std::vector<unsigned char> before = ReadBytes(f.dir.file("b.cdd"));
        f.dlg->SetControlText(D::IDC_NOTES, QString(300, u'长'));
        f.Click(D::IDC_SAVE);
        QCOMPARE(f.prompts.Messages(), QStringList{QString::fromUtf8(WriteResultMessage(WriteResult::TextTooLong))});
        QCOMPARE(ReadBytes(f.dir.file("b.cdd")), before);


        f.prompts.Clear();
        f.Select(QStringLiteral("gone.cdd"));
        f.Click(D::IDC_SAVE);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("无法读取文件")});
        QVERIFY(!QFile::exists(Q(f.dir.file("gone.cdd"))));
    }

    void filesThatAreNotMeasurementFilesAreNeverWritten()
    {
        DialogFixture f;
        WriteBytes(f.dir.file("empty.cdd"), {});
        WriteBytes(f.dir.file("text.cdd"), std::vector<unsigned char>(300, 'a'));
        const std::vector<unsigned char> text = ReadBytes(f.dir.file("text.cdd"));
        f.Open({QStringLiteral("empty.cdd"), QStringLiteral("text.cdd")});

        // An empty file is announced as soon as it is selected, and saving into it is refused.
        f.prompts.Clear();
        f.Select(QStringLiteral("empty.cdd"));
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("当前文件无效")});
        f.Click(D::IDC_SAVE);
        QCOMPARE(f.prompts.Messages(), (QStringList{QStringLiteral("当前文件无效"), QStringLiteral("当前文件无效")}));
        QCOMPARE(QFileInfo(Q(f.dir.file("empty.cdd"))).size(), 0);

        f.prompts.Clear();
        f.Select(QStringLiteral("text.cdd"));
        f.dlg->SetControlText(D::IDC_PILE_NO, QStringLiteral("P9"));
        f.Click(D::IDC_SAVE);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("当前文件无效")});
        QCOMPARE(ReadBytes(f.dir.file("text.cdd")), text);

        // Opened on an empty file on display: the same message at once.
        f.prompts.Clear();
        f.view->File().Choose(Q(f.dir.file("empty.cdd")), Q(f.dir.path()));
        f.Open({QStringLiteral("empty.cdd")});
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("当前文件无效")});
    }
};

QTEST_MAIN(TestPrintSetDlg)
#include "tst_print_set_dlg.moc"
