// Data pages: which samples a page holds, the cell rules and where the cells go.
#include "ReportTestFiles.h"

#include "data/MeasurementFile.h"
#include "report/DataPage.h"
#include "report/PageFonts.h"
#include "view/GdiContext.h"

#include <QPainter>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<FileSlot> Load(const CddBuilder& file)
{
    TempDir dir;
    WriteBytes(dir.file("f.cdd"), file.bytes());
    auto slot = std::make_unique<FileSlot>();
    if (FullLoad(*slot, dir.file("f.cdd")) != LoadResult::Ok)
        return nullptr;
    return slot;
}

datapage::PageGeometry A4Page(int dpi = 600)
{
    const int W = 7016 * dpi / 600, V = 4961 * dpi / 600;
    datapage::PageGeometry page;
    page.rect = PanelRect{W / 20, V / 10, W - W / 20, V - 100};
    page.pageWidth = W;
    page.dpiY = dpi;
    return page;
}

struct DrawnPage {
    std::unique_ptr<PageRecordingDevice> device;
    int rows = 0;
    int rowH = 0;
    int tt = 0;
    // The text drawn at the cell of data row r, group g, column c (0 depth, 1 Z, 2 gradient).
    QString Cell(const datapage::PageGeometry& page, int r, int g, int c) const
    {
        const int Wr = page.rect.right - page.rect.left;
        return device->TextAt(QPoint(page.rect.left + 10 + g * (Wr / 7) + c * (Wr / 7 / 3), tt + r * rowH + 10));
    }
};

DrawnPage Draw(const datapage::PageGeometry& page, const FileSlot* file, bool overflow = false, int k = 0)
{
    DrawnPage d;
    d.device = std::make_unique<PageRecordingDevice>(QSize(page.pageWidth, 4961 * page.dpiY / 600), page.dpiY);
    QPainter painter(d.device.get());
    {
        GdiContext dc(painter);
        d.rows = datapage::DrawDataPage(dc, page, file ? &file->primary : nullptr, nullptr, overflow, k);
    }
    painter.end();
    d.rowH = 2 * pagefont::SongTiCellHeight(pagefont::DataFontA(page.dpiY));
    d.tt = page.rect.top + 2 * d.rowH + 20;
    return d;
}

}  // namespace

class TestDataPage : public QObject {
    Q_OBJECT
private slots:
    void samplesOnPage()
    {
        using datapage::SamplesOnPage;
        QCOMPARE(SamplesOnPage(168, false, 0, 24).rows, 24);
        QCOMPARE(SamplesOnPage(10, false, 0, 24).rows, 2);
        const datapage::PageSamples second = SamplesOnPage(400, true, 2, 24);
        QCOMPARE(second.base, 168);
        QCOMPARE(second.count, 168);
        const datapage::PageSamples third = SamplesOnPage(400, true, 3, 24);
        QCOMPARE(third.count, 64);
        QCOMPARE(third.rows, 10);
        // The last page of the fullest file ends at sample 0; a shrunken file leaves a page empty.
        QCOMPARE(datapage::kMaxPages, 13);
        QCOMPARE(SamplesOnPage(2048, true, 13, 24).base + SamplesOnPage(2048, true, 13, 24).count, 2048);
        QCOMPARE(SamplesOnPage(100, true, 2, 24).count, 0);
    }

    void cellRules()
    {
        // Sample 11, the shallowest, lies at 0.00 m; sample 3 above the ground.
        CddBuilder file = SampleFile(12);
        file.primary.samples[3].depth = -0.5f;
        auto slot = Load(file);
        QVERIFY(slot);
        const CFileData& d = slot->primary;

        // Row 1 always prints its depth, even 0.00; any other row turns such a sample into "-".
        QCOMPARE(datapage::CellTexts(d, 11, 1).depth, QStringLiteral("0.00"));
        QCOMPARE(datapage::CellTexts(d, 11, 2).depth, QStringLiteral("-"));
        QCOMPARE(datapage::CellTexts(d, 11, 2).z, QStringLiteral("-"));
        QCOMPARE(datapage::CellTexts(d, 11, 2).gradient, QStringLiteral("-"));
        QCOMPARE(datapage::CellTexts(d, 3, 5).z, QStringLiteral("-"));
        QCOMPARE(datapage::CellTexts(d, 3, 1).depth, QStringLiteral("-0.50"));
        const datapage::Cells c = datapage::CellTexts(d, 5, 2);
        QCOMPARE(c.depth, QStringLiteral("1.50"));
        QCOMPARE(c.z, QString::number(d.m_raw[5].z));
        QCOMPARE(c.gradient, QString::number(d.m_raw[5].dz * 100 / 25));
        QCOMPARE(datapage::CellTexts(d, -1, 1).depth, QStringLiteral("-"));
        QCOMPARE(datapage::CellTexts(d, 12, 1).z, QStringLiteral("-"));

        CFileData noStep = d;
        noStep.m_nStep = 0;
        QCOMPARE(datapage::CellTexts(noStep, 5, 2).gradient, QStringLiteral("-"));
    }

    void cellsReadDownTheGroups()
    {
        // 13 samples give R = 2: group g, row r holds sample 13 - 2g - r. Sample 12 lies at
        // 0.00 m, samples 2 and 3 above the ground.
        CddBuilder file = SampleFile(13);
        for (int i : {2, 3})
            file.primary.samples[std::size_t(i)].depth = -0.5f;
        auto slot = Load(file);
        const CFileData& data = slot->primary;
        const datapage::PageGeometry page = A4Page();
        const DrawnPage d = Draw(page, slot.get());
        QCOMPARE(d.rows, 2);
        QCOMPARE(d.Cell(page, 2, 0, 0), QStringLiteral("0.25"));  // sample 11
        QCOMPARE(d.Cell(page, 1, 3, 0), QStringLiteral("1.50"));  // sample 6
        QCOMPARE(d.Cell(page, 1, 3, 1), QString::number(data.m_raw[6].z));
        QCOMPARE(d.Cell(page, 1, 3, 2), QString::number(data.m_raw[6].dz * 100 / 25));
        // Row 1 prints every depth, 0.00 and above-ground ones included; other rows print "-".
        QCOMPARE(d.Cell(page, 1, 0, 0), QStringLiteral("0.00"));
        QCOMPARE(d.Cell(page, 1, 5, 0), QStringLiteral("-0.50"));
        QCOMPARE(d.Cell(page, 1, 5, 1), QString::number(data.m_raw[2].z));
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(d.Cell(page, 2, 4, c), QStringLiteral("-"));  // sample 3
            QCOMPARE(d.Cell(page, 2, 6, c), QStringLiteral("-"));  // past sample 0
        }

        // The frame has R + 1 rows: the title row and two data rows, two lines across between.
        const int Wr = page.rect.right - page.rect.left;
        int across = 0;
        for (const RecordedItem& line : d.device->Lines())
            across += line.P(0).y() == line.P(1).y() && line.P(0).y() > d.tt && line.P(1).x() - line.P(0).x() == Wr;
        QCOMPARE(across, 2);
    }

    void secondPageStartsAfter168()
    {
        auto slot = Load(SampleFile(400));
        const datapage::PageGeometry page = A4Page();
        const DrawnPage d = Draw(page, slot.get(), true, 2);
        QCOMPARE(d.rows, 24);
        // Row 1 of group 0 is sample 400 - 168 - 1 = 231, the last cell sample 64.
        QCOMPARE(d.Cell(page, 1, 0, 0), QString::asprintf("%0.2f", double(slot->primary.m_raw[231].depth)));
        QCOMPARE(d.Cell(page, 24, 6, 0), QString::asprintf("%0.2f", double(slot->primary.m_raw[64].depth)));
    }

    void fontsFollowResolution()
    {
        auto slot = Load(SampleFile(20));
        for (const int dpi : {600, 360}) {
            const datapage::PageGeometry page = A4Page(dpi);
            const DrawnPage d = Draw(page, slot.get());
            QCOMPARE(d.device->FindText(QStringLiteral("Z分量"))->font.pixelSize(), dpi > 360 ? 61 : 40);
            QCOMPARE(d.device->FindText(d.Cell(page, 1, 0, 0))->font.pixelSize(), dpi > 360 ? 74 : 38);
        }
    }
};

QTEST_MAIN(TestDataPage)
#include "tst_data_page.moc"
