// Workbooks written by the export, read back with libfreexl, an independent .xls reader.
#include "report/ExcelExport.h"
#include "report/SummaryWorkbooks.h"
#include "report/XlsWriter.h"
#include "support/TestFiles.h"

#include <freexl.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>


namespace {

struct Sheet {
    int openStatus = -1;
    unsigned biffVersion = 0;
    unsigned sheetCount = 0;
    std::string name;
    std::vector<std::vector<std::string>> cells;  // empty cells as ""
};

Sheet ReadBack(const std::string& path)
{
    Sheet s;
    const void* handle = nullptr;
    s.openStatus = freexl_open(path.c_str(), &handle);
    if (s.openStatus == FREEXL_OK) {
        freexl_get_info(handle, FREEXL_BIFF_VERSION, &s.biffVersion);
        freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &s.sheetCount);
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, 0, &name) == FREEXL_OK && name) s.name = name;
        unsigned rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle, 0) == FREEXL_OK &&
            freexl_worksheet_dimensions(handle, &rows, &columns) == FREEXL_OK) {
            for (unsigned r = 0; r < rows; ++r) {
                std::vector<std::string> row;
                for (unsigned short c = 0; c < columns; ++c) {
                    FreeXL_CellValue v{};
                    const int status = freexl_get_cell_value(handle, r, c, &v);
                    const bool text = v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT;
                    row.push_back(status == FREEXL_OK && text ? v.value.text_value
                                  : status == FREEXL_OK && v.type == FREEXL_CELL_NULL ? ""
                                                                                      : "<not a text>");
                }
                s.cells.push_back(row);
            }
        }
    }
    freexl_close(handle);
    return s;
}

std::vector<std::string> Utf8(const XlsRow& row)
{
    std::vector<std::string> out;
    for (const std::u16string& t : row) out.push_back(QString::fromStdU16String(t).toStdString());
    return out;
}

CFileData Samples(int n)
{
    CFileData d;
    d.m_raw.assign(kMaxSamples, SampleRecord{});
    for (int i = 0; i < n; ++i) {
        SampleRecord& s = d.m_raw[i];
        s.depth = static_cast<float>(n - 1 - i) * 0.25f;
        s.z = 45000 + (i * 37) % 2000 - 1000;
        s.dz = i == 0 ? 0 : s.z - d.m_raw[i - 1].z;
    }
    d.m_nCount = static_cast<uint32_t>(n);
    return d;
}

}  // namespace

class TestXlsWorkbook : public QObject {
    Q_OBJECT
private slots:
    void exportReadsBack()
    {
        // 3 samples keep the workbook small enough for the container's short-stream area; 2048
        // spread the shared strings over several records.
        for (int n : {1, 3, 200, kMaxSamples}) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("FileList.xls").toStdString();
            const CFileData data = Samples(n);
            QCOMPARE(ExportToExcel(data, path), ExcelExportResult::Ok);

            const Sheet sheet = ReadBack(path);
            QCOMPARE(sheet.openStatus, FREEXL_OK);
            QCOMPARE(sheet.biffVersion, unsigned(FREEXL_BIFF_VER_8));
            QCOMPARE(sheet.sheetCount, 1u);
            QCOMPARE(sheet.name, std::string("DSO_DX"));
            QCOMPARE(sheet.cells.size(), std::size_t(n + 1));
            QCOMPARE(sheet.cells[0], (std::vector<std::string>{"深度", "垂直分量", "垂直梯度"}));
            const std::vector<XlsRow> rows = BuildExportRows(data);
            for (int r = 0; r < n; ++r) QCOMPARE(sheet.cells[r + 1], Utf8(rows[r]));
        }
    }

    void anyTextSurvives()
    {
        // Texts longer than one record continue in the next, in both the one-byte and the UTF-16
        // form; empty texts leave their cells empty.
        const std::u16string longChinese = std::u16string(5000, u'钢') + u"笼";
        const std::u16string longLatin(9000, u'x');
        const std::vector<XlsRow> rows = {{u"é", u"", u"长度"}, {longChinese}, {longLatin, longChinese}, {}, {u"end"}};
        QTemporaryDir dir;
        const std::string path = dir.filePath("texts.xls").toStdString();
        QCOMPARE(WriteXlsWorkbook(path, u"数据", rows), XlsWriteResult::Ok);

        const Sheet sheet = ReadBack(path);
        QCOMPARE(sheet.openStatus, FREEXL_OK);
        QCOMPARE(sheet.name, std::string("数据"));
        QCOMPARE(sheet.cells.size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::string> expected = Utf8(rows[r]);
            expected.resize(3);
            QCOMPARE(sheet.cells[r], expected);
        }
    }

    void contentBeyondTheFormatIsRefused()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("x.xls").toStdString();
        QCOMPARE(WriteXlsWorkbook(path, u"", {{u"a"}}), XlsWriteResult::InvalidContent);
        QCOMPARE(WriteXlsWorkbook(path, u"a/b", {{u"a"}}), XlsWriteResult::InvalidContent);
        QCOMPARE(WriteXlsWorkbook(path, std::u16string(32, u'a'), {{u"a"}}), XlsWriteResult::InvalidContent);
        QCOMPARE(WriteXlsWorkbook(path, u"s", {XlsRow(257, u"a")}), XlsWriteResult::InvalidContent);
        QCOMPARE(WriteXlsWorkbook(path, u"s", {{std::u16string(32768, u'a')}}), XlsWriteResult::InvalidContent);
        QCOMPARE(WriteXlsWorkbook(path, u"s", std::vector<XlsRow>(65537, {u"a"})), XlsWriteResult::InvalidContent);
        QVERIFY(!QFile::exists(dir.filePath("x.xls")));
        QCOMPARE(WriteXlsWorkbook(path, std::u16string(31, u'a'), {XlsRow(256, u"a")}), XlsWriteResult::Ok);
    }

    void failedWriteKeepsTheOldWorkbook()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("FileList.xls");
        QCOMPARE(ExportToExcel(Samples(3), path.toStdString()), ExcelExportResult::Ok);
        const QByteArray old = FileBytes(path);

        const ExcelExportResult result =
            WithFileSizeLimit(1024, [&] { return ExportToExcel(Samples(500), path.toStdString()); });

        QCOMPARE(result, ExcelExportResult::SaveFailed);
        QCOMPARE(FileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FileList.xls"});
        QCOMPARE(ReadBack(path.toStdString()).cells.size(), std::size_t(4));
    }

    void summaryReadsBackWithTheCellsOfTheTable()
    {
        // The bundled samples and a file that does not load, whose row is mostly empty.
        QTemporaryDir dir;
        const std::string broken = dir.filePath("broken.cdd").toStdString();
        QFile file(QString::fromStdString(broken));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(100, 'x'));
        file.close();
        std::vector<std::string> paths = CddFilesIn(ORVEK_SAMPLES_DIR);
        paths.push_back(broken);
        const std::vector<SummaryRow> rows = SummariseFiles(paths, {}, 2);

        const std::string path = dir.filePath("summary.xls").toStdString();
        QVERIFY(WriteSummaryXls(path, rows));
        const Sheet sheet = ReadBack(path);
        QCOMPARE(sheet.openStatus, FREEXL_OK);
        QCOMPARE(sheet.name, std::string(kSummarySheetName));
        QCOMPARE(sheet.cells.size(), rows.size() + 1);
        QCOMPARE(sheet.cells[0][std::size_t(SummaryColumn::MeasuredLength)], std::string("实测笼长(m)"));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const auto cells = SummaryCells(rows[r]);
            QCOMPARE(sheet.cells[r + 1], std::vector<std::string>(cells.begin(), cells.end()));
        }
    }
};

QTEST_GUILESS_MAIN(TestXlsWorkbook)
#include "tst_xls_workbook.moc"
