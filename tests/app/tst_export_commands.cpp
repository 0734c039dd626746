// "保存图片" and "导出数据" from the menu: the frame hands them to the view, whose requests run the
// exports and show their outcome. "导出LAS文件…" and "导出CSV文件…" run from the frame itself.
#include "ShellFixture.h"

#include "app/CommandIds.h"
#include "data/LasReader.h"
#include "report/CSavePicDlg.h"

#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>

class TestExportCommands : public QObject {
    Q_OBJECT
private slots:
    void savePictureShowsTheNoticeOrTheFailure()
    {
        ShellFixture f;
        const QString cdd = f.Sample(QStringLiteral("p1.cdd"), QStringLiteral("P05-60m.cdd"));
        QVERIFY(f.frame->OpenDocumentFile(cdd));
        QVERIFY(f.Show());
        QTRY_VERIFY(!f.View().File().ScreenData().primary.m_raw.empty() &&
                    f.View().File().ScreenData().primary.m_nCount == 241);

        f.frame->OnCommand(cmd::kSavePicture);
        QCOMPARE(QDir(f.dataDir.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files),
                 (QStringList{"p1_1.bmp", "p1_2.bmp", "p1_3.bmp"}));
        QImage graph(f.Path(QStringLiteral("p1_1.bmp")));
        const QScreen* screen = f.View().screen();
        QCOMPARE(graph.size(), screen->size() * screen->devicePixelRatio());
        // The snapshot of the view is on it: the upper half carries the curves in black.
        int ink = 0;
        for (int y = 40; y < graph.height() / 2; ++y)
            for (int x = 0; x < graph.width(); ++x)
                ink += qGray(graph.pixel(x, y)) == 0;
        QVERIFY2(ink > graph.width(), qPrintable(QString::number(ink)));

        auto* dlg = f.frame->findChild<CSavePicDlg*>(QStringLiteral("dialog144"));
        QVERIFY(dlg);
        QCOMPARE(dlg->NoticeEdit()->toPlainText(),
                 QStringLiteral("图片已保存至") + QDir::toNativeSeparators(f.Path(QStringLiteral("p1*.bmp"))));
        dlg->accept();
        QVERIFY(f.prompts.Messages().isEmpty());

        // A picture that cannot be written: the message instead of the notice.
        QTRY_VERIFY(!f.frame->findChild<CSavePicDlg*>());
        QFile::remove(f.Path(QStringLiteral("p1_2.bmp")));
        QVERIFY(QDir(f.dataDir.path()).mkdir(QStringLiteral("p1_2.bmp")));
        f.frame->OnCommand(cmd::kSavePicture);
        QCOMPARE(f.prompts.Messages(),
                 QStringList{QStringLiteral("无法创建文件：") + QDir::toNativeSeparators(f.Path(QStringLiteral("p1_2.bmp")))});
        QVERIFY(!f.frame->findChild<CSavePicDlg*>());
    }

    void exportDataAsksForTheWorkbook()
    {
        ShellFixture f;
        QVERIFY(f.frame->OpenDocumentFile(f.Sample(QStringLiteral("p1.cdd"))));
        QVERIFY(f.Show());
        QTRY_VERIFY(f.View().File().ScreenData().primary.m_nCount > 0);

        const QString xls = f.Path(QStringLiteral("FileList.xls"));
        f.prompts.AnswerFile(xls);
        f.frame->OnCommand(cmd::kExportData);
        QCOMPARE(f.prompts.LastFileRequest().title, QStringLiteral("文件列表另存为"));
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("保存查询结果为Excel文件成功！")});
        QVERIFY(QFileInfo(xls).size() > 0);
        QCOMPARE(f.frame->ExportList().size(), std::size_t(f.View().File().ScreenData().primary.m_nCount));
    }

    void logExportsWriteTheFileOnDisplayWithItsSmoothing()
    {
        ShellFixture f;
        const QList<QAction*> items = f.frame->menuBar()->actions().first()->menu()->actions();
        const qsizetype at = items.indexOf(f.frame->Action(cmd::kExportData));
        QCOMPARE(items.value(at + 1)->text(), QStringLiteral("导出LAS文件…"));
        QCOMPARE(items.value(at + 2)->text(), QStringLiteral("导出CSV文件…"));
        QVERIFY(!f.frame->IsCommandEnabled(cmd::kExportLas) && !f.frame->IsCommandEnabled(cmd::kExportCsv));

        const QString cdd = f.Sample(QStringLiteral("p2.CDD"), QStringLiteral("P02-20m.cdd"));
        QVERIFY(f.frame->OpenDocumentFile(cdd));
        QVERIFY(f.Show());
        QTRY_VERIFY(f.View().File().ScreenData().primary.m_nCount == 81);
        f.View().File().ScreenData().primary.m_nSmoothWindow = 3;

        f.prompts.AnswerFile(f.Path(QStringLiteral("p2.las")));
        f.frame->OnCommand(cmd::kExportLas);
        const Prompts::FileRequest las = f.prompts.LastFileRequest();
        QCOMPARE(las.initialPath, f.Path(QStringLiteral("p2.las")));
        QCOMPARE(las.filter, QStringLiteral("LAS 文件(*.las)|*.las||"));
        QVERIFY(las.defaultSuffix == QStringLiteral("las") && las.confirmOverwrite);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("已保存！")});
        QCOMPARE(f.prompts.m_calls.last().kind, Prompts::Kind::Information);
        QFile written(f.Path(QStringLiteral("p2.las")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const LasFile read = ReadLas(written.readAll().toStdString());
        QCOMPARE(QString::fromStdString(read.error), QString());
        QCOMPARE(read.rows.size(), std::size_t(81));
        QCOMPARE(read.Value('P', "SMOOTH") + " " + read.Value('P', "BOTM"), std::string("3 16.25"));

        // CSV: cancelled, written, then into a folder that does not exist.
        f.prompts.Clear();
        f.prompts.AnswerFile(QString());
        f.frame->OnCommand(cmd::kExportCsv);
        QCOMPARE(f.prompts.LastFileRequest().initialPath, f.Path(QStringLiteral("p2.csv")));
        QVERIFY(f.prompts.Messages().isEmpty());
        f.prompts.AnswerFile(f.Path(QStringLiteral("p2.csv")));
        f.frame->OnCommand(cmd::kExportCsv);
        QFile csv(f.Path(QStringLiteral("p2.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count("\r\n"), 82);
        f.prompts.Clear();
        f.prompts.AnswerFile(f.Path(QStringLiteral("missing/p2.csv")));
        f.frame->OnCommand(cmd::kExportCsv);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("无法创建文件")});
        QCOMPARE(QDir(f.dataDir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"p2.CDD", "p2.csv", "p2.las", "zel.sysconfig"}));
    }
};

QTEST_MAIN(TestExportCommands)
#include "tst_export_commands.moc"
