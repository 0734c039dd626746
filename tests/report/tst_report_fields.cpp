// The texts the print settings dialog shows for a file, and what they write back.
#include "report/ReportFields.h"

#include "data/CddBuilder.h"
#include "data/MeasurementFile.h"

#include <QtTest>

namespace {

CddBuilder SampleFile()
{
    CddBuilder b;
    b.primary.samples = {{100, 200, 50000, 1.0f},
                         {110, 190, 50100, 0.75f},
                         {90, 230, 49900, 0.5f},
                         {95, 231, 49800, 0.25f},
                         {96, 232, 49700, 0.0f}};
    b.primary.project = "\x80\xFF\xA0";
    b.secondary.samples = {{1, 2, 3, 4.0f}};
    b.secondary.site = "\xC1\xE9";
    b.reportTexts = {"pile", "eng", "a long note text", "2020-1-1", "proj", "site"};
    return b;
}

}  // namespace

class TestReportFields : public QObject {
    Q_OBJECT
private slots:
    void showsSavedValuesOrDefaultsFromTheAcquisitionHeader()
    {
        TempDir dir;
        CddBuilder b = SampleFile();
        b.markers[10] = 17.125f;
        WriteBytes(dir.file("a.cdd"), b.bytes());
        FileSlot slot;
        QVERIFY(HeaderLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        ReportTexts t = FillReportFields(slot);
        QVERIFY(t.startDepth == u"1.00");
        QVERIFY(t.pileNo == u"P1");
        QVERIFY2(t.designCageLength == u"17.12", "%0.2f rounds the exact binary value");
        QVERIFY(t.date == u"2024-05-17");
        QVERIFY(t.site == u"SITE");
        QVERIFY(t.detectedLength == u"");
        QVERIFY(t.engineeringName == u"");

        b.reportFlag = 1;
        b.lengths[0] = 12.345f;
        b.lengths[1] = 20.0f;
        WriteBytes(dir.file("b.cdd"), b.bytes());
        QVERIFY(HeaderLoad(slot, dir.file("b.cdd")) == LoadResult::Ok);
        t = FillReportFields(slot);
        QVERIFY(t.detectedLength == u"12.35");
        QVERIFY(t.startDepth == u"20.00");
        QVERIFY(t.designPileLength == u"0.00");
        QVERIFY(t.notes == u"a long note text");
        QVERIFY(t.date == u"2020-1-1");
    }

    void acquisitionBytesTakenAsDefaultsGoBackAsTheSameBytes()
    {
        TempDir dir;
        CddBuilder b = SampleFile();
        b.primary.site = "\xB9\xA4\xB5\xD8";  // GBK "工地" as the instrument stores it
        WriteBytes(dir.file("a.cdd"), b.bytes());
        FileSlot slot;
        QVERIFY(HeaderLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        QVERIFY(ReportSave(dir.file("a.cdd"), FillReportFields(slot)) == WriteResult::Ok);
        QVERIFY(FullLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        QVERIFY(slot.primary.m_strReportSite == u"工地");
    }
};

QTEST_MAIN(TestReportFields)
#include "tst_report_fields.moc"
