// The picture export: which files a save writes, their BMP headers, the layout of the graph and
// data-table pictures, a failed save, and the notice dialog.
#include "ReportTestFiles.h"

#include "data/MeasurementFile.h"
#include "report/BmpWriter.h"
#include "report/CSavePicDlg.h"
#include "report/PictureExport.h"
#include "report/PictureNames.h"
#include "view/CDrawView.h"
#include "view/FrameState.h"
#include "view/GdiContext.h"

#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

#include <memory>
#include <set>

namespace {

constexpr QSize kScreen(800, 600);
constexpr QSize kClient(700, 420);

// A view that has painted file once, as after opening it, and the snapshot of that paint.
struct ShownFile {
    TempDir dir;
    FrameState frame;
    std::unique_ptr<CDrawView> view = std::make_unique<CDrawView>();
    QImage snapshot{kClient, QImage::Format_RGB32};

    explicit ShownFile(const CddBuilder& file, const std::string& name = "p1.cdd")
    {
        WriteBytes(dir.file(name), file.bytes());
        view->SetReadsConfiguration(false);
        ShowFile(*view, frame, Q(dir.file(name)));
        view->PaintInto(snapshot);
    }
    picture::Result Save(int depth = 32) const
    {
        picture::Screen screen;
        screen.size = kScreen;
        screen.depth = depth;
        return picture::SavePictures(*view, snapshot, screen);
    }
    QStringList FilesOnDisk() const
    {
        return QDir(Q(dir.path())).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

uint32_t U32At(const QByteArray& b, int at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

}  // namespace

// Stands in for the desktop's file manager.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public slots:
    void Open(const QUrl& url) { m_urls.append(url); }
};

class TestPictureExport : public QObject {
    Q_OBJECT
private slots:
    void aSaveWritesOnePicturePer168Samples()
    {
        for (const int n : {0, 168, 169}) {
            ShownFile shown(SampleFile(n));
            const picture::Result result = shown.Save();
            QVERIFY2(result.Ok(), qPrintable(result.failure));
            QStringList expected{QStringLiteral("p1.cdd"), QStringLiteral("p1_1.bmp")};
            for (int i = 0; i < TablePictureCount(uint32_t(n)); ++i)
                expected << QStringLiteral("p1_%1.bmp").arg(i + 2);
            expected.sort();
            QCOMPARE(shown.FilesOnDisk(), expected);
            QCOMPARE(result.written.size(), expected.size() - 1);
            QCOMPARE(result.written.first(), Q(shown.dir.file("p1_1.bmp")));

            const QString notice = QStringLiteral("图片已保存至") + Q(shown.dir.file("p1*.bmp"));
            QCOMPARE(result.notice, notice);
            // The last table of 169 samples holds one sample: one data row.
            if (n == 169) {
                QImage page(kScreen, QImage::Format_RGB32);
                QPainter painter(&page);
                picture::Screen screen;
                screen.size = kScreen;
                QCOMPARE(picture::DrawTablePicture(painter, *shown.view, shown.snapshot, screen, 1), 1);
            }
        }

        // The tree lists "P3.CDD" as a measurement file; its pictures keep the upper-case extension.
        ShownFile upper(SampleFile(10), "P3.CDD");
        QVERIFY(upper.Save().Ok());
        QCOMPARE(upper.FilesOnDisk(), (QStringList{"P3.CDD", "P3.CDD_1.bmp", "P3.CDD_2.bmp"}));
    }

    void headersFollowTheDisplayAndPagesAreBlackAndWhite()
    {
        ShownFile shown(SampleFile(30));
        const QString graph = Q(shown.dir.file("p1_1.bmp"));
        const QString table = Q(shown.dir.file("p1_2.bmp"));
        const struct {
            int display, bits, palette;
        } cases[] = {{32, 32, 0}, {8, 8, 1024}, {1, 1, 8}};
        for (const auto& c : cases) {
            QVERIFY(shown.Save(c.display).Ok());
            for (const QString& path : {graph, table}) {
                const QByteArray b = FileBytes(path);
                const uint32_t row = (uint32_t(kScreen.width()) * c.bits + 31) / 32 * 4;
                // The header fields themselves are the writer's; here the depth it was given.
                QCOMPARE(b.size(), qsizetype(54 + c.palette + row * kScreen.height()));
                QCOMPARE(U32At(b, 28) & 0xFFFF, uint32_t(c.bits));

                // Read back, every pixel is black or white, and there is ink on the page.
                const QImage back = QImage::fromData(b, "BMP").convertToFormat(QImage::Format_RGB32);
                QCOMPARE(back.size(), kScreen);
                std::set<QRgb> colours;
                for (int y = 0; y < back.height(); ++y)
                    for (int x = 0; x < back.width(); ++x)
                        colours.insert(back.pixel(x, y) & 0xFFFFFF);
                QCOMPARE(colours, (std::set<QRgb>{0x000000, 0xFFFFFF}));
            }
        }
    }

    void graphPictureLayout()
    {
        CddBuilder file = WithReport(SampleFile(30), "P9", std::string(50, 'n'));
        ShownFile shown(file);
        const int W = kScreen.width(), V = kScreen.height();
        RecordingDevice device(kScreen);
        {
            QPainter painter(&device);
            picture::Screen screen;
            screen.size = kScreen;
            picture::DrawGraphPicture(painter, *shown.view, shown.snapshot, screen);
        }

        // u = trunc(600 / 700 x 420) = 360: the graph at (100, 30), the table from u + 20.
        const int u = picture::ScaledGraphHeight(W, kClient);
        QCOMPARE(u, 360);
        const QVector<RecordedItem> images = device.OfKind(RecordedItem::Image);
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].rect.toRect(), QRect(100, 30, W - 200, u));

        const RecordedItem* title = device.FindText(QStringLiteral("ENG-NAME"));
        QVERIFY(title);
        const int cx = QFontMetrics(title->font).horizontalAdvance(QStringLiteral("ENG-NAME"));
        QCOMPARE(title->textTopLeft.toPoint(), QPoint((W - 110 - cx - 110) / 2 + 110, 10));
        QCOMPARE(title->font.pixelSize(), 24);  // 18 points

        const int top = u + 20, bottom = V - 10, H = bottom - top, Wt = W - 220;
        QVERIFY(device.HasRect(QRect(QPoint(110, top), QPoint(W - 110, bottom))));
        QVERIFY(device.HasLine(QPoint(110, top + H / 4), QPoint(W - 110, top + H / 4)));
        QVERIFY(device.HasLine(QPoint(100 + Wt / 6, top), QPoint(100 + Wt / 6, bottom)));
        QVERIFY(device.HasLine(QPoint(100 + Wt * 3 / 6, top), QPoint(100 + Wt * 3 / 6, top + H / 2)));

        const RecordedItem* label = device.FindText(QStringLiteral("桩孔编号"));
        QVERIFY(label);
        QCOMPARE(label->font.pixelSize(), 20);  // 15 points
        const QFontMetrics metrics(label->font);
        const int dx = (Wt / 6 - metrics.horizontalAdvance(QStringLiteral("打印测试"))) / 2;
        QCOMPARE(label->textTopLeft.toPoint().x(), W / 20 + dx);
        QVERIFY(device.FindText(QStringLiteral("43.00 m")));
        // The notes in 45-character lines in the third row.
        QVERIFY(device.FindText(QString(45, 'n')));
        QVERIFY(device.FindText(QString(5, 'n')));
    }

    void tablePictureLayout()
    {
        CddBuilder file = WithReport(SampleFile(400), "P9", "notes of the pile");
        ShownFile shown(file);
        const CFileData& data = shown.view->File().ScreenData().primary;
        const int W = kScreen.width();
        for (const int dpi : {96, 400}) {
            RecordingDevice device(kScreen);
            int rows = 0;
            {
                QPainter painter(&device);
                picture::Screen screen;
                screen.size = kScreen;
                screen.dpiY = dpi;
                rows = picture::DrawTablePicture(painter, *shown.view, shown.snapshot, screen, 1);
            }
            QCOMPARE(rows, 24);

            const int u = 360, rh = u / 26, tt = 2 * (rh + 40) + 10, R = 24, Wt = W - 200;
            QVERIFY(device.HasRect(QRect(QPoint(100, 80), QPoint(W - 100, 80 + 2 * rh))));
            QVERIFY(device.HasRect(QRect(QPoint(100, tt), QPoint(W - 100, tt + (R + 1) * rh))));
            QVERIFY(device.HasLine(QPoint(100, 80 + rh), QPoint(W - 100, 80 + rh)));

            // Only the top strip of the graph shows above the header box.
            const QVector<RecordedItem> images = device.OfKind(RecordedItem::Image);
            QCOMPARE(images.size(), 1);
            QVERIFY(images[0].clipped);

            // Picture 1 starts after 168 samples: row r of group g shows sample 400 - 24g - 168 - r.
            const RecordedItem* any = device.FindText(QStringLiteral("Z分量"));
            QVERIFY(any);
            QCOMPARE(any->font.pixelSize(), dpi > 360 ? 27 : 15);
            const int cy = QFontMetrics(any->font).height();
            auto cellAt = [&](int r, int g, int c) {
                return device.TextAt(QPoint(110 + g * (Wt / 7) + c * (Wt / 7 / 3), tt + r * rh + (rh - cy) / 2));
            };
            const SampleRecord& first = data.m_raw[400 - 168 - 1];
            QCOMPARE(cellAt(1, 0, 0), QString::asprintf("%0.2f", double(first.depth)));
            QCOMPARE(cellAt(1, 0, 1), QString::number(first.z));
            const SampleRecord& s = data.m_raw[400 - 24 * 3 - 168 - 5];
            QCOMPARE(cellAt(5, 3, 2), QString::number(s.dz * 100 / 25));

            // The header box holds the first two rows of the report, its texts placed from
            // W / 15; the notes stay out.
            const RecordedItem* pile = device.FindText(QStringLiteral("P9"));
            QVERIFY(pile);
            const int dx = (Wt / 6 - QFontMetrics(any->font).horizontalAdvance(QStringLiteral("打印测试"))) / 2;
            QCOMPARE(pile->textTopLeft.toPoint(), QPoint(W / 15 + dx + Wt / 6, 80 + (rh - cy) / 2));
            QVERIFY(device.FindText(QStringLiteral("41.30 m")));
            QVERIFY(!device.FindText(QStringLiteral("notes of the pile")));
            QVERIFY(!device.FindText(QStringLiteral("其他说明")));
        }
    }

    void aFailedWriteKeepsTheOldPicture()
    {
        ShownFile shown(SampleFile(30));
        const QString graph = Q(shown.dir.file("p1_1.bmp"));
        {
            QFile old(graph);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the picture saved last week");
        }

        const picture::Result result = WithFileSizeLimit(4096, [&] { return shown.Save(); });

        QVERIFY(!result.Ok());
        QCOMPARE(result.failure, QStringLiteral("无法创建文件：") + graph);
        QVERIFY(result.notice.isEmpty());
        QVERIFY(result.written.isEmpty());
        QCOMPARE(FileBytes(graph), QByteArray("the picture saved last week"));
        // The save stopped there: no table picture, no temporary file left behind.
        QCOMPARE(shown.FilesOnDisk(), (QStringList{"p1.cdd", "p1_1.bmp"}));
    }

    void noticeDialog()
    {
        CSavePicDlg dlg(QStringLiteral("图片已保存至/data/p1*.bmp"), QStringLiteral("/data"));
        QCOMPARE(dlg.objectName(), QStringLiteral("dialog144"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("提示"));
        QCOMPARE(dlg.NoticeEdit()->objectName(), QStringLiteral("1022"));
        QCOMPARE(dlg.NoticeEdit()->toPlainText(), QStringLiteral("图片已保存至/data/p1*.bmp"));
        QVERIFY(dlg.NoticeEdit()->isReadOnly());
        QCOMPARE(dlg.OkButton()->text(), QStringLiteral("确    定"));
        QCOMPARE(dlg.OpenFolderButton()->objectName(), QStringLiteral("1016"));
        QCOMPARE(dlg.OpenFolderButton()->text(), QStringLiteral("打开目录"));

        // "打开目录" closes the dialog and hands the folder to the desktop.
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
        dlg.show();
        dlg.OpenFolderButton()->click();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(catcher.m_urls, (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/data"))}));
    }
};

QTEST_MAIN(TestPictureExport)
#include "tst_picture_export.moc"
