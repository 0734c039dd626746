// The rows and statements of the Excel export, built from a data set in memory.
#include "report/ExcelExport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

namespace {

CFileData DataSet(const std::vector<SampleRecord>& samples, int32_t step = 25)
{
    CFileData d;
    d.m_raw.assign(kMaxSamples, SampleRecord{});
    std::copy(samples.begin(), samples.end(), d.m_raw.begin());
    d.m_nCount = static_cast<uint32_t>(samples.size());
    d.m_nStep = step;
    return d;
}

SampleRecord Sample(int32_t z, float depth, int32_t dz)
{
    SampleRecord s;
    s.z = z;
    s.depth = depth;
    s.dz = dz;
    return s;
}

}  // namespace

class TestExportExcel : public QObject {
    Q_OBJECT
private slots:
    void rowsRunFromTheShallowestSample()
    {
        const CFileData d = DataSet({Sample(45000, 12.25f, 0), Sample(44995, 12.0f, -5), Sample(44998, 11.75f, 3),
                                     Sample(-7, 0.0f, -44998)});
        const std::vector<XlsRow> rows = BuildExportRows(d);
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows[0], (XlsRow{u"0.00", u"-7", u"-179992"}));
        QCOMPARE(rows[1], (XlsRow{u"11.75", u"44998", u"12"}));   // 3 x 100 / 25 truncates to 12
        QCOMPARE(rows[2], (XlsRow{u"12.00", u"44995", u"-20"}));
        QCOMPARE(rows[3], (XlsRow{u"12.25", u"45000", u"0"}));
    }

    void degenerateDataSetsStayInBounds()
    {
        // A step of 0 must not divide; a huge difference must not overflow.
        CFileData d = DataSet({Sample(1, 1.0f, 5), Sample(2, 0.5f, INT_MAX)}, 0);
        QCOMPARE(BuildExportRows(d)[0][2], std::u16string(u"0"));
        d.m_nStep = 1;
        QCOMPARE(BuildExportRows(d)[0][2], std::u16string(u"2147483647"));
        d.m_nStep = -25;
        QCOMPARE(BuildExportRows(d)[1][2], std::u16string(u"-20"));

        // A count beyond the table reads only the table.
        d.m_nCount = 100000;
        QCOMPARE(BuildExportRows(d).size(), std::size_t(kMaxSamples));
        d.m_raw.clear();
        QVERIFY(BuildExportRows(d).empty());

        // Nothing to save writes nothing, not even an empty workbook.
        QTemporaryDir dir;
        QCOMPARE(ExportToExcel(DataSet({}), dir.filePath("FileList.xls").toStdString()), ExcelExportResult::NoRecords);
        QVERIFY(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden));
    }

    void statementsToTheLetter()
    {
        const auto& titles = ExcelColumnTitles();
        QCOMPARE(BuildCreateTableSql(titles), std::u16string(u" CREATE TABLE DSO_DX ( 深度 TEXT , 垂直分量 TEXT , 垂直梯度 TEXT ) "));
        QCOMPARE(BuildInsertSql(titles, {u"12.25", u"45000", u"-20"}),
                 std::u16string(u" INSERT INTO DSO_DX ( 深度 , 垂直分量 , 垂直梯度 )  VALUES ( '12.25' , '45000' , '-20' ) "));
        QCOMPARE(BuildCreateTableSql({u"A"}), std::u16string(u" CREATE TABLE DSO_DX ( A TEXT ) "));
        QCOMPARE(BuildInsertSql({u"A", u"B"}, {u"1"}), std::u16string(u" INSERT INTO DSO_DX ( A , B )  VALUES ( '1' , '' ) "));
    }
};

QTEST_GUILESS_MAIN(TestExportExcel)
#include "tst_export_excel.moc"
