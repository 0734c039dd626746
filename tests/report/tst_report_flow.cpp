// From the dialog to paper: report values saved, two files with both page kinds chosen,
// previewed, then printed to PDF.
#include "ReportTestFiles.h"
#include "support/ScriptedPrompts.h"

#include "report/CPrintSetDlg.h"
#include "report/PrintJob.h"
#include "report/PrintSelection.h"
#include "view/CDrawView.h"

#include <QCheckBox>
#include <QFile>
#include <QPainter>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>

#include <memory>

class TestReportFlow : public QObject {
    Q_OBJECT
private slots:
    void fillSaveChoosePreviewPrint()
    {
        TempDir dir;
        for (const char* name : {"P02-20m.cdd", "P03-30m.cdd"})
            CopySample(Q(dir.file(name)), QString::fromLatin1(name));
        auto view = std::make_unique<CDrawView>();
        view->File().Choose(Q(dir.file("P03-30m.cdd")), Q(dir.path()));
        PrintSelection lists;
        ScriptedPrompts prompts;

        {
            CPrintSetDlg dlg(*view, lists, {QStringLiteral("P03-30m.cdd"), QStringLiteral("P02-20m.cdd")}, prompts);
            dlg.SetControlText(CPrintSetDlg::IDC_ENGINEERING_NAME, QStringLiteral("东湖新区综合管廊工程"));
            dlg.SetControlText(CPrintSetDlg::IDC_DETECTED_LENGTH, QStringLiteral("26.00"));
            dlg.SetControlText(CPrintSetDlg::IDC_DESIGN_CAGE, QStringLiteral("26.00"));
            dlg.SetControlText(CPrintSetDlg::IDC_DESIGN_PILE, QStringLiteral("28.50"));
            dlg.SetControlText(CPrintSetDlg::IDC_NOTES,
                               QStringLiteral("旁孔磁测法检测，孔距0.8m，笼底位于26.50m处，一处搭接接头位于12.50m，"
                                              "检测结果与设计笼长相符。"));
            dlg.OnSave();
            QCOMPARE(prompts.Messages(), QStringList{QStringLiteral("已保存！")});
            qobject_cast<QCheckBox*>(dlg.Control(CPrintSetDlg::IDC_SELECT_ALL))->setChecked(true);
            dlg.OnSelectAllClicked();
            qobject_cast<QCheckBox*>(dlg.Control(CPrintSetDlg::IDC_PRINT_DATA))->setChecked(true);
            dlg.OnOK();
        }
        QCOMPARE(lists.m_printFiles, (std::vector<std::string>{"P02-20m.cdd", "P03-30m.cdd"}));
        QCOMPARE(lists.m_printReady, 1);

        PrintJob job(view->File(), lists, prompts);
        job.SetReadsConfiguration(false);
        job.StartCommand(PrintJob::kPreview);
        QCOMPARE(job.MaximumPage(), 4);  // 81 and 121 samples: one data page each

        QPrinter printer(QPrinter::HighResolution);
        PrintJob::PreparePrinter(printer);
        QPrintPreviewDialog preview(&printer);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) { job.RenderPreview(*p); });
        preview.show();
        auto* widget = preview.findChild<QPrintPreviewWidget*>();
        QVERIFY(widget);
        QTRY_COMPARE(widget->pageCount(), 4);
        preview.close();
        QCOMPARE(lists.m_printReady, 1);

        const QByteArray keep = qgetenv("ORVEK_REPORT_PDF");
        const QString pdf = keep.isEmpty() ? Q(dir.file("report.pdf")) : QString::fromLocal8Bit(keep);
        job.StartCommand(PrintJob::kPrint);
        QCOMPARE(job.PrintToPdf(pdf), 4);
        QVERIFY(QFile(pdf).size() > 1000);
        QVERIFY(lists.m_printFiles.empty());
        QCOMPARE(lists.m_printReady, 0);
        QCOMPARE(prompts.Messages().size(), 1);

        // P02 has a joint and a bottom marker stored: they come onto its waveform page.
        lists.m_printFiles = {"P02-20m.cdd"};
        job.StartCommand(PrintJob::kPreview);
        RecordingDevice device(QSize(7016, 4961));
        QPainter painter(&device);
        job.BeginPrinting(device);
        job.PrintPage(painter, 1);
        QVERIFY(device.FindText(QStringLiteral("8.25")));
        QVERIFY(device.FindText(QStringLiteral("16.25")));
    }
};

QTEST_MAIN(TestReportFlow)
#include "tst_report_flow.moc"
