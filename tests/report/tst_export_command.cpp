// "导出数据" as the operator meets it: the export list, the save dialog and the messages. The
// workbook's bytes are checked by the workbook tests; here it is what the export list holds.
#include "support/ScriptedPrompts.h"

#include "report/ExcelExportCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

CFileData Samples(int n)
{
    CFileData d;
    d.m_raw.assign(kMaxSamples, SampleRecord{});
    for (int i = 0; i < n; ++i) {
        SampleRecord& s = d.m_raw[std::size_t(i)];
        s.depth = static_cast<float>(n - 1 - i) * 0.25f;
        s.z = 45000 - 5 * i;
        s.dz = i == 0 ? 0 : -5;
    }
    d.m_nCount = static_cast<uint32_t>(n);
    d.m_nStep = 25;
    return d;
}

}  // namespace

class TestExportCommand : public QObject {
    Q_OBJECT
private slots:
    void nothingToExport()
    {
        std::vector<XlsRow> list = {{u"left", u"from", u"before"}};
        ScriptedPrompts prompts;
        QCOMPARE(RunExcelExport(list, Samples(0), prompts), std::optional(ExcelExportResult::NoRecords));
        QCOMPARE(prompts.Messages(), QStringList{QStringLiteral("列表中没有记录需要保存！")});
        QCOMPARE(prompts.Count(ScriptedPrompts::Call::SaveFile), 0);
        QVERIFY(list.empty());
    }

    void savedWorkbookHoldsTheList()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FileList.xls"));
        std::vector<XlsRow> list;
        ScriptedPrompts prompts;
        prompts.AnswerFile(path);
        QCOMPARE(RunExcelExport(list, Samples(3), prompts), std::optional(ExcelExportResult::Ok));

        const Prompts::FileRequest request = prompts.LastFileRequest();
        QCOMPARE(request.title, QStringLiteral("文件列表另存为"));
        QCOMPARE(request.filter, QStringLiteral("Excel 文件(*.xls)|*.xls||"));
        QCOMPARE(request.initialPath, QStringLiteral("FileList"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("xls"));
        QVERIFY(request.confirmOverwrite);
        QCOMPARE(prompts.Messages(), QStringList{QStringLiteral("保存查询结果为Excel文件成功！")});
        QCOMPARE(prompts.m_calls.last().kind, Prompts::Kind::Information);

        // The list keeps the rows, the shallowest sample first.
        QCOMPARE(list, (std::vector<XlsRow>{
                           {u"0.00", u"44990", u"-20"}, {u"0.25", u"44995", u"-20"}, {u"0.50", u"45000", u"0"}}));
        QVERIFY(QFileInfo(path).size() > 0);

        // A second export fills the list afresh.
        prompts.AnswerFile(path);
        QCOMPARE(RunExcelExport(list, Samples(1), prompts), std::optional(ExcelExportResult::Ok));
        QCOMPARE(list.size(), std::size_t(1));
    }

    void cancelledOrFailed()
    {
        QTemporaryDir dir;
        std::vector<XlsRow> list;
        ScriptedPrompts prompts;
        prompts.AnswerFile(QString());
        QCOMPARE(RunExcelExport(list, Samples(3), prompts), std::nullopt);
        QVERIFY(prompts.Messages().isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden));

        prompts.AnswerFile(dir.filePath(QStringLiteral("missing/FileList.xls")));
        QCOMPARE(RunExcelExport(list, Samples(3), prompts), std::optional(ExcelExportResult::SaveFailed));
        QCOMPARE(prompts.Messages(), QStringList{QStringLiteral("Excel文件保存失败。")});
        QCOMPARE(prompts.m_calls.last().kind, Prompts::Kind::Warning);
    }
};

QTEST_MAIN(TestExportCommand)
#include "tst_export_command.moc"
