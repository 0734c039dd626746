// The BMP files of the picture export and the names they are saved under.
#include "report/BmpWriter.h"
#include "report/PictureNames.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

uint32_t U32At(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint32_t U16At(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

// The fields every picture shares, whatever its depth.
void CheckHeader(const std::vector<unsigned char>& b, int width, int height, int bits, uint32_t palette)
{
    const uint32_t row = (uint32_t(width) * bits + 31) / 32 * 4;
    QCOMPARE(b.size(), std::size_t(54 + palette + row * height));
    QCOMPARE(U16At(b, 0), 0x4D42u);
    QCOMPARE(U32At(b, 2), uint32_t(b.size()));
    QCOMPARE(U32At(b, 6), 0u);  // both reserved words
    QCOMPARE(U32At(b, 10), 54 + palette);
    QCOMPARE(U32At(b, 14), 40u);
    QCOMPARE(U32At(b, 18), uint32_t(width));
    QCOMPARE(U32At(b, 22), uint32_t(height));
    QCOMPARE(U16At(b, 26), 1u);
    QCOMPARE(U16At(b, 28), uint32_t(bits));
    for (std::size_t at = 30; at < 54; at += 4) QCOMPARE(U32At(b, at), 0u);  // compression .. important colours
}

QImage MonoPage(int width, int height)
{
    // A monochrome page as the renderers draw it: white ground, black ink. Index 0 is white here
    // on purpose: the file must follow the colours, not the indices.
    QImage page(width, height, QImage::Format_Mono);
    page.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    page.fill(0);
    return page;
}

}  // namespace

class TestBmpWriter : public QObject {
    Q_OBJECT
private slots:
    void monochromePageAtOneBit()
    {
        QImage page = MonoPage(10, 3);
        page.setPixel(0, 1, 1);  // black dot on the middle row
        for (int x = 0; x < 10; ++x) page.setPixel(x, 2, 1);
        page.setPixel(9, 2, 0);  // bottom row black but its last pixel

        const auto b = EncodeBmp(page, 1);
        CheckHeader(b, 10, 3, 1, 8);
        const std::vector<unsigned char> table(b.begin() + 54, b.begin() + 62);
        QCOMPARE(table, (std::vector<unsigned char>{0, 0, 0, 0, 255, 255, 255, 0}));
        // Bottom row first, 1 = white, most significant bit first, rows padded to 4 bytes.
        const std::vector<unsigned char> pixels(b.begin() + 62, b.end());
        QCOMPARE(pixels, (std::vector<unsigned char>{0x00, 0x40, 0, 0,     //
                                                     0x7F, 0xC0, 0, 0,     //
                                                     0xFF, 0xC0, 0, 0}));
    }

    void monochromePageAtEightBits()
    {
        QImage page = MonoPage(5, 2);
        page.setPixel(1, 0, 1);
        const auto b = EncodeBmp(page, 8);
        CheckHeader(b, 5, 2, 8, 1024);
        QCOMPARE(U32At(b, 54), 0x000000u);              // entry 0 black
        QCOMPARE(U32At(b, 54 + 4 * 255), 0x00FFFFFFu);  // entry 255 white, fourth byte 0
        const std::vector<unsigned char> pixels(b.begin() + 1078, b.end());
        QCOMPARE(pixels, (std::vector<unsigned char>{255, 255, 255, 255, 255, 0, 0, 0,  //
                                                     255, 0, 255, 255, 255, 0, 0, 0}));
    }

    void colourPageAtThirtyTwoBits()
    {
        QImage page(3, 2, QImage::Format_RGB32);
        page.fill(qRgb(255, 255, 255));
        page.setPixel(2, 0, qRgb(10, 20, 30));
        const auto b = EncodeBmp(page, 32);
        CheckHeader(b, 3, 2, 32, 0);
        QCOMPARE(b.size(), std::size_t(54 + 4 * 3 * 2));
        // Blue, green, red, 0; the top row comes last.
        const std::vector<unsigned char> top(b.begin() + 54 + 12, b.end());
        QCOMPARE(top, (std::vector<unsigned char>{255, 255, 255, 0, 255, 255, 255, 0, 30, 20, 10, 0}));
    }

    void everyDepthReadsBackAsTheMonochromePage()
    {
        // A page drawn in colour, reduced as the pictures are, then read back by Qt's own BMP
        // reader at every depth: odd widths exercise the row padding.
        QImage colour(37, 11, QImage::Format_RGB32);
        colour.fill(Qt::white);
        {
            QPainter p(&colour);
            p.setPen(QColor(255, 0, 0));
            p.drawLine(0, 0, 36, 10);
            p.fillRect(20, 2, 5, 5, QColor(250, 250, 250));
        }
        const QImage page = MonochromePage(colour);
        QCOMPARE(page.format(), QImage::Format_Mono);
        QCOMPARE(page.pixel(0, 0), qRgb(0, 0, 0));          // red ink became black
        QCOMPARE(page.pixel(22, 4), qRgb(0, 0, 0));         // so did the near-white box
        QCOMPARE(page.pixel(36, 0), qRgb(255, 255, 255));  // white stayed white

        for (int bits : {1, 4, 8, 16, 24, 32}) {
            const auto b = EncodeBmp(page, bits);
            const QImage back = QImage::fromData(b.data(), int(b.size()), "BMP");
            QVERIFY2(!back.isNull(), qPrintable(QString("%1 bits").arg(bits)));
            QCOMPARE(back.size(), page.size());
            // Five bits a channel keep only the top five bits of each colour.
            const QRgb mask = bits == 16 ? 0xF8F8F8u : 0xFFFFFFu;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    QCOMPARE(back.pixel(x, y) & mask, page.pixel(x, y) & mask);
        }
    }

    void depthFollowsTheDisplay()
    {
        const std::vector<std::pair<int, int>> cases = {{0, 1}, {1, 1},   {2, 4},   {4, 4},  {8, 8},
                                                        {15, 24}, {16, 24}, {24, 24}, {30, 32}, {32, 32}};
        for (const auto& [display, bits] : cases) QCOMPARE(BmpBitsForDisplayDepth(display), bits);
    }

    void writingReplacesOrFailsCleanly()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("p1_1.bmp").toStdString();
        {
            QFile old(QString::fromStdString(path));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old picture, much longer than the new one will be ......................");
        }
        const QImage page = MonoPage(8, 8);
        QCOMPARE(WriteBmp(page, 1, path), BmpWriteResult::Ok);
        QFile written(QString::fromStdString(path));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        const auto expected = EncodeBmp(page, 1);
        QCOMPARE(bytes, QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));

        QCOMPARE(WriteBmp(page, 1, dir.filePath("missing/p1_2.bmp").toStdString()), BmpWriteResult::CannotCreate);
        QCOMPARE(WriteBmp(QImage(), 1, dir.filePath("p1_3.bmp").toStdString()), BmpWriteResult::InvalidImage);
        QCOMPARE(WriteBmp(page, 2, dir.filePath("p1_3.bmp").toStdString()), BmpWriteResult::InvalidImage);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p1_1.bmp"});
    }

    void pictureNamesAndCounts()
    {
        QCOMPARE(PicturePaths("/data/p1.cdd", 0), (std::vector<std::string>{"/data/p1_1.bmp"}));
        QCOMPARE(PicturePaths("/data/p1.cdd", 168), (std::vector<std::string>{"/data/p1_1.bmp", "/data/p1_2.bmp"}));
        QCOMPARE(PicturePaths("/data/p1.cdd", 169),
                 (std::vector<std::string>{"/data/p1_1.bmp", "/data/p1_2.bmp", "/data/p1_3.bmp"}));

        // Every ".cdd" goes, in folder names too, written exactly so; other cases, ".cd" and "cdd"
        // alone stay.
        QCOMPARE(GraphPicturePath("/x/run.cdd/p2.cdd"), std::string("/x/run/p2_1.bmp"));
        QCOMPARE(GraphPicturePath("/x/P3.CDD"), std::string("/x/P3.CDD_1.bmp"));
        QCOMPARE(TablePicturePath("/x/桩.cdd.cDD", 1), std::string("/x/桩.cDD_3.bmp"));
        QCOMPARE(GraphPicturePath("/x/p.cd_cdd"), std::string("/x/p.cd_cdd_1.bmp"));
        // One pass: the ".cdd" that removing one forms is kept.
        QCOMPARE(PictureBase("/x/a..cddcdd"), std::string("/x/a.cdd"));

        QCOMPARE(PictureNoticeText("D:\\data\\p1.cdd"), std::string("图片已保存至D:\\data\\p1*.bmp"));
        QCOMPARE(PictureNoticeText("/x/run.cdd/P2.CDD"), std::string("图片已保存至/x/run*.bmp/P2.CDD*.bmp"));
        QCOMPARE(PictureNoticeText("/x/100%s/p.cdd"), std::string("图片已保存至/x/100%s/p*.bmp"));
    }
};

QTEST_GUILESS_MAIN(TestBmpWriter)
#include "tst_bmp_writer.moc"
