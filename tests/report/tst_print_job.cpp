// The print job: page sequence and counts, unreadable files, the header table and the end of a
// real print.
#include "ReportTestFiles.h"
#include "support/ScriptedPrompts.h"

#include "report/PageFonts.h"
#include "report/PrintJob.h"
#include "report/PrintSelection.h"
#include "report/ReportHeader.h"
#include "view/DisplayedFile.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>

#include <memory>

namespace {

struct JobFixture {
    TempDir dir;
    std::unique_ptr<DisplayedFile> shown = std::make_unique<DisplayedFile>();
    PrintSelection lists;
    ScriptedPrompts prompts;
    PrintJob job{*shown, lists, prompts};

    JobFixture()
    {
        shown->Choose(QString(), Q(dir.path()));
        job.SetReadsConfiguration(false);
    }
    void Add(const std::string& name, const CddBuilder& file)
    {
        WriteBytes(dir.file(name), file.bytes());
        lists.m_printFiles.push_back(name);
    }
    void Choose(bool wave, bool data, int mode = PrintJob::kPreview)
    {
        lists.m_printSettings.printWave = wave ? 1 : 0;
        lists.m_printSettings.printTable = data ? 1 : 0;
        lists.m_printReady = 1;
        job.StartCommand(mode);
    }
    // "W:a D1:a D2:a ...": kind (waveform, data page number) and file of every page.
    QString Sequence() const
    {
        QStringList pages;
        for (int p = 1; p <= job.MaximumPage(); ++p) {
            const PrintJob::PageContent c = job.ContentOf(p);
            const QString kind = c.kind == PrintJob::PageKind::Waveform ? QStringLiteral("W")
                                                                         : QStringLiteral("D%1").arg(std::max(c.k, 1));
            pages << kind + ':' + Q(c.name).section('.', 0, 0);
        }
        return pages.join(' ');
    }
};

}  // namespace

class TestPrintJob : public QObject {
    Q_OBJECT
private slots:
    void pageCounts_data()
    {
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<bool>("wave");
        QTest::addColumn<bool>("data");
        QTest::addColumn<QString>("pages");
        QTest::newRow("168") << QList<int>{168} << false << true << "D1:a";
        QTest::newRow("169") << QList<int>{169} << false << true << "D1:a D2:a";
        QTest::newRow("673") << QList<int>{673} << false << true << "D1:a D2:a D3:a D4:a D5:a";
        QTest::newRow("840") << QList<int>{840} << false << true << "D1:a D2:a D3:a D4:a D5:a";
        QTest::newRow("841") << QList<int>{841} << false << true << "D1:a D2:a D3:a D4:a D5:a D6:a";
        // The sixth and later pages follow the fifth ones, file after file, as the earlier ones do.
        QTest::newRow("900, 200, 1000") << QList<int>{900, 200, 1000} << false << true
                                        << "D1:a D1:b D1:c D2:a D2:b D2:c D3:a D3:c D4:a D4:c D5:a D5:c D6:a D6:c";
        QTest::newRow("2x400 data") << QList<int>{400, 400} << false << true << "D1:a D1:b D2:a D2:b D3:a D3:b";
        QTest::newRow("2x400 both") << QList<int>{400, 400} << true << true
                                    << "W:a W:b D1:a D1:b D2:a D2:b D3:a D3:b";
        // Waveform pages need no file read to be counted: a missing file still has its page.
        QTest::newRow("wave only") << QList<int>{400, 0} << true << false << "W:a W:b";
        QTest::newRow("neither") << QList<int>{400} << false << false << "";
    }
    void pageCounts()
    {
        QFETCH(QList<int>, samples);
        QFETCH(bool, wave);
        QFETCH(bool, data);
        QFETCH(QString, pages);
        JobFixture f;
        for (int i = 0; i < samples.size(); ++i) {
            const std::string name = std::string(1, char('a' + i)) + ".cdd";
            if (samples[i] > 0)
                f.Add(name, SampleFile(samples[i]));
            else
                f.lists.m_printFiles.push_back(name);
        }
        f.Choose(wave, data);
        QCOMPARE(f.Sequence(), pages);
        QCOMPARE(f.job.MaximumPage(), int(pages.split(' ', Qt::SkipEmptyParts).size()));
    }

    void unreadableFileGetsEmptyPagesAndOneMessage()
    {
        JobFixture f;
        f.Add("a.cdd", WithReport(SampleFile(400), "PILE-A", "notes of a"));
        f.lists.m_printFiles.push_back("gone.cdd");
        f.Choose(true, true);
        // gone.cdd does not inherit the 400 samples of the file before it: 2 + 2 + 2 pages.
        QCOMPARE(f.Sequence(), QStringLiteral("W:a W:gone D1:a D1:gone D2:a D3:a"));

        PageRecordingDevice device;
        QPainter painter(&device);
        f.job.BeginPrinting(device);
        f.job.PrintPage(painter, 1);
        QVERIFY(device.FindText(QStringLiteral("PILE-A")));
        QVERIFY(device.FindText(QStringLiteral("ENG-NAME")));  // the title
        device.Clear();
        f.job.PrintPage(painter, 2);
        QVERIFY(device.FindText(QStringLiteral("桩孔编号")));
        for (const QString& stale : {QStringLiteral("PILE-A"), QStringLiteral("ENG-NAME"), QStringLiteral("notes of a"),
                                     QStringLiteral("45.00 m")})
            QVERIFY2(!device.FindText(stale), qPrintable(stale));
        for (const RecordedItem& item : device.WithPenColor(Qt::black))
            QVERIFY(item.pen.width() != 6);  // no curves
        device.Clear();
        f.job.PrintPage(painter, 4);  // an empty table
        QVERIFY(device.FindText(QStringLiteral("深度")));
        QVERIFY(!device.FindText(QStringLiteral("PILE-A")));
        painter.end();
        QVERIFY(f.prompts.Messages().isEmpty());
        f.job.EndPrinting();
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("无法读取文件：gone.cdd")});
    }

    void realPrintUsesUpTheSelection()
    {
        JobFixture f;
        f.Add("a.cdd", SampleFile(200));
        f.Choose(true, true, PrintJob::kPrint);
        QPrinter printer(QPrinter::HighResolution);
        PrintJob::PreparePrinter(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(f.dir.file("print.pdf")));
        QCOMPARE(printer.resolution(), 600);
        QVERIFY(printer.width() > printer.height());
        QCOMPARE(f.job.PrintToPrinter(printer), 3);
        QVERIFY(f.lists.m_printFiles.empty());
        QCOMPARE(f.lists.m_printReady, 0);
    }

    void headerTableCells()
    {
        JobFixture f;
        f.Add("a.cdd", WithReport(SampleFile(50), "PILE-A", std::string(100, 'n')));
        f.Choose(true, false);
        PageRecordingDevice device;
        QPainter painter(&device);
        f.job.BeginPrinting(device);
        f.job.PrintPage(painter, 1);
        painter.end();

        const reportheader::TableFrame t = reportheader::HeaderTableFrame(7016, 4961);
        const QFontMetrics metrics(pagefont::PageFont(600), &device);
        const int dx = (t.Width() / 6 - metrics.horizontalAdvance(QStringLiteral("打印测试"))) / 2;
        const int y1 = t.top + (t.Height() / 4 - metrics.height()) / 2;
        const int column2 = t.left + t.Width() / 6 + dx;
        auto at = [&](const QString& text) { return device.FindText(text)->textTopLeft.toPoint(); };
        QCOMPARE(at(QStringLiteral("桩孔编号")), QPoint(t.left + dx, y1));
        QCOMPARE(at(QStringLiteral("PILE-A")), QPoint(column2, y1));
        QCOMPARE(at(QStringLiteral("2024-06-11")), QPoint(t.left + t.Width() * 5 / 6 + dx, y1));
        QCOMPARE(at(QStringLiteral("43.00 m")), QPoint(column2, y1 + t.Height() / 4));
        QCOMPARE(at(QStringLiteral("其他说明")), QPoint(t.left + dx, y1 + t.Height() / 2));

        // 100 characters: lines of 45, 45 and 10, one text height apart, clipped to their cell.
        QStringList lines;
        for (const RecordedItem& item : device.Texts())
            if (item.text.startsWith('n')) {
                QVERIFY(item.clipped);
                QCOMPARE(item.textTopLeft.toPoint(), QPoint(column2, y1 + t.Height() / 2 + int(lines.size()) * metrics.height()));
                lines << item.text;
            }
        QCOMPARE(lines, (QStringList{QString(45, 'n'), QString(45, 'n'), QString(10, 'n')}));
    }

    void everySampleIsPrinted()
    {
        JobFixture f;
        f.Add("a.cdd", SampleFile(901));  // 225.00 m (sample 0) up to 0.00 m
        f.Choose(false, true);
        QCOMPARE(f.job.MaximumPage(), 6);
        PageRecordingDevice device;
        QPainter painter(&device);
        f.job.BeginPrinting(device);
        f.job.PrintPage(painter, 6);
        painter.end();
        // Samples 60 .. 0: the deepest one is there, and nothing of the fifth page.
        QVERIFY(device.FindText(QStringLiteral("225.00")));
        QVERIFY(device.FindText(QStringLiteral("210.00")));
        QVERIFY(!device.FindText(QStringLiteral("209.75")));
    }

    void pagesWithoutASavedReportShowTheAcquisitionHeader()
    {
        JobFixture f;
        f.Add("a.cdd", SampleFile(20, "ZK\xA3\xAD\x37"));  // the instrument's "ZK－7"
        f.Choose(true, true);
        PageRecordingDevice device;
        QPainter painter(&device);
        f.job.BeginPrinting(device);
        for (const int page : {1, 2}) {
            device.Clear();
            f.job.PrintPage(painter, page);
            QVERIFY(device.FindText(QStringLiteral("ZK－7")));
            QVERIFY(device.FindText(QStringLiteral("2024-05-17")));
        }
        painter.end();
    }

    void progressCanCancelTheRun()
    {
        JobFixture f;
        f.Add("a.cdd", SampleFile(400));
        f.Choose(true, true, PrintJob::kPrint);
        QList<QPair<int, int>> calls;
        f.job.SetProgress([&calls](int done, int total) {
            calls.append({done, total});
            return done < 2;
        });
        QPrinter printer(QPrinter::HighResolution);
        PrintJob::PreparePrinter(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(f.dir.file("print.pdf")));
        QCOMPARE(f.job.PrintToPrinter(printer), 2);
        QVERIFY(f.job.Cancelled());
        QCOMPARE(calls, (QList<QPair<int, int>>{{0, 4}, {1, 4}, {2, 4}}));
        // Nothing was printed to the end: the operator can print the same selection again.
        QCOMPARE(f.lists.m_printReady, 1);
        QCOMPARE(f.lists.m_printFiles.size(), std::size_t(1));
    }

    void notesWrapping()
    {
        using reportheader::WrapNotes;
        QCOMPARE(WrapNotes(QString()), QStringList{QString()});
        QCOMPARE(WrapNotes(QString(44, u'说')), QStringList{QString(44, u'说')});
        QCOMPARE(WrapNotes(QString(45, u'说')), (QStringList{QString(45, u'说'), QString()}));
        QCOMPARE(WrapNotes(QString(46, u'说')), (QStringList{QString(45, u'说'), QStringLiteral("说")}));
    }

    void pageFontsFollowResolution()
    {
        for (const int dpi : {600, 360}) {
            JobFixture f;
            f.Add("a.cdd", WithReport(SampleFile(20), "PILE-A", ""));
            f.Choose(true, false);
            PageRecordingDevice device(QSize(7016 * dpi / 600, 4961 * dpi / 600), dpi);
            QPainter painter(&device);
            f.job.BeginPrinting(device);
            f.job.PrintPage(painter, 1);
            QCOMPARE(device.FindText(QStringLiteral("PILE-A"))->font.pixelSize(), dpi > 360 ? 80 : 51);
            // The title is 20 points high on paper, above the plot as before.
            const RecordedItem* title = device.FindText(QStringLiteral("ENG-NAME"));
            QVERIFY(title);
            QCOMPARE(title->font.pixelSize(), (200 * dpi + 360) / 720);
            QVERIFY(title->textTopLeft.y() + title->font.pixelSize() <= device.height() / 10);
        }
    }

    void printFromThePreviewWindowIsARealPrint()
    {
        JobFixture f;
        f.Add("a.cdd", SampleFile(200));
        f.Choose(true, true, PrintJob::kPreview);
        QPrinter printer(QPrinter::HighResolution);
        PrintJob::PreparePrinter(printer);
        // The preview itself renders on its own engine and keeps the selection.
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* p) { f.job.RenderPreview(*p); });
        preview.updatePreview();
        QCOMPARE(preview.pageCount(), 3);
        QCOMPARE(f.lists.m_printReady, 1);
        // Its print button sends the same request with the real printer.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(f.dir.file("print.pdf")));
        QCOMPARE(f.job.RenderPreview(printer), 3);
        QVERIFY(f.lists.m_printFiles.empty());
        QCOMPARE(f.lists.m_printReady, 0);
    }

    void storedMarkersGoThroughTheSeam()
    {
        JobFixture f;
        CddBuilder file = SampleFile(81);  // 20.00 .. 0.00 m: axis 0 .. 25 m
        file.markerCount = 11;
        file.markers[0] = 8.25f;
        file.markers[3] = -1.0f;
        file.markers[10] = 16.25f;
        f.Add("a.cdd", file);
        f.Choose(true, false);
        QStringList calls;
        f.job.SetMarkerPainter([&](int kind, int top, int bottom, const QString& label, QPainter&, int x) {
            calls << QStringLiteral("%1 %2 %3 %4 %5").arg(kind).arg(top).arg(bottom).arg(label).arg(x);
        });
        PageRecordingDevice device;
        QPainter painter(&device);
        f.job.BeginPrinting(device);
        f.job.PrintPage(painter, 1);

        const int L = 7016 / 20, R = 7016 - 7016 / 20, T = 4961 / 10, B = 4961 - 4961 / 4;
        const int x = static_cast<int>(16.25f / (25.0f / static_cast<float>(R - L)) + static_cast<float>(L)) + 1;
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[0].startsWith(QStringLiteral("0 %1 %2 8.25 ").arg(T).arg(B)));
        QCOMPARE(calls[1], QStringLiteral("10 %1 %2 16.25 %3").arg(T).arg(B).arg(x));
        // The band is drawn with a unit height of a third of the curve area.
        const int G = (B - T) / 3;
        const QPoint from(L, T + 2 * G + 5), to(R - 3, T + 2 * G + 5);
        bool framed = device.HasLine(from, to);
        for (const RecordedItem& item : device.Polylines()) {
            const QVector<QPoint> p = item.IntPoints();
            for (int i = 0; i + 1 < p.size(); ++i)
                framed = framed || (p[i] == from && p[i + 1] == to);
        }
        QVERIFY(framed);
    }
};

QTEST_MAIN(TestPrintJob)
#include "tst_print_job.moc"
