// The texts the print settings dialog shows for a file, and what they write back.
#include "report/ReportFields.h"

#include "data/CddBuilder.h"
#include "data/MeasurementFile.h"
#include "data/TextCodec.h"

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
        b.primary.site = "\xB6\xAB\xBA\xFE\xD0\xC2\xC7\xF8";  // GBK "东湖新区" as the instrument stores it
        b.primary.pileNo = "ZK\xA3\xAD\x37";                  // "ZK－7"
        WriteBytes(dir.file("a.cdd"), b.bytes());
        FileSlot slot;
        QVERIFY(HeaderLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        ReportTexts t = FillReportFields(slot);
        QVERIFY(t.site == u"东湖新区");
        QVERIFY(t.pileNo == u"ZK－7");
        QVERIFY(t.project == WidenBytes("\x80\xFF\xA0"));  // not code page 936: the bytes as they are
        QVERIFY(ReportPileNo(slot.primary) == u"ZK－7");

        // Untouched, every default goes back as the bytes it came from, valid code page 936 or not.
        QVERIFY(ReportSave(dir.file("a.cdd"), t) == WriteResult::Ok);
        const std::vector<unsigned char> bytes = ReadBytes(dir.file("a.cdd"));
        const std::string block(bytes.begin() + 68, bytes.begin() + 512);
        QCOMPARE(block.substr(0, 8), std::string("ZK\xA3\xAD\x37\0\0\0", 8));
        QVERIFY(block.find(std::string("\0\x80\xFF\xA0\0", 5) + b.primary.site + '\0') != std::string::npos);
        QVERIFY(FullLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        QVERIFY(slot.primary.m_strReportSite == u"东湖新区");

        // Typed full-width forms (U+FFE5 lies among the code units of widened bytes) are typed text.
        t.notes = u"￥100";
        t.pileNo = u"ＺＫ￥７";
        QVERIFY(ReportSave(dir.file("a.cdd"), t) == WriteResult::Ok);
        QVERIFY(HeaderLoad(slot, dir.file("a.cdd")) == LoadResult::Ok);
        QVERIFY(slot.primary.m_strNotes == u"￥100");
        QVERIFY(slot.primary.m_strReportPileNo == u"ＺＫ￥７");
        // Saved again as shown, the project keeps its bytes that are not code page 936.
        t = FillReportFields(slot);
        QVERIFY(ReportSave(dir.file("a.cdd"), t) == WriteResult::Ok);
        const std::vector<unsigned char> again = ReadBytes(dir.file("a.cdd"));
        QVERIFY(std::string(again.begin() + 68, again.begin() + 512).find("\x80\xFF\xA0") != std::string::npos);
    }
};

QTEST_MAIN(TestReportFields)
#include "tst_report_fields.moc"
