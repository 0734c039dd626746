// Coarse pixel checks on real renders of a bundled sample, and the backing-image behaviour of
// the widget: a paint event only runs the paint algorithm after an invalidation.
#include "GraphTestData.h"

#include "analysis/BandLayout.h"

#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <thread>

class TestRender : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path = CopySample(m_dir.filePath(QStringLiteral("P04-45m.cdd")), QStringLiteral("P04-45m.cdd"));
    // With stored markers, which the first paint places.
    QString m_marked = CopySample(m_dir.filePath(QStringLiteral("P05-60m.cdd")), QStringLiteral("P05-60m.cdd"));

private slots:
    void valueCurveIsRedAndGradientLightBlue()
    {
        CDrawView view;
        FrameState frame;
        ShowFile(view, frame, m_path);
        QImage image(1280, 720, QImage::Format_RGB32);
        view.PaintInto(image);
        const int G = UnitHeight(1, 720);
        const QRect valuePanel(10, 5, 1260, 2 * G);
        const QRect gradientPanel(10, 5 + 2 * G + 5, 1260, G);
        QVERIFY(CountColor(image, qRgb(255, 0, 0), valuePanel) > 1000);
        QCOMPARE(CountColor(image, qRgb(255, 0, 0), gradientPanel), 0);
        QVERIFY(CountColor(image, qRgb(130, 200, 250), gradientPanel) > 1000);
        // Black frame corners and a black depth axis tick.
        QCOMPARE(image.pixel(10, 5) & 0xFFFFFF, 0u);
        QCOMPARE(image.pixel(1269, 5 + 2 * G - 1) & 0xFFFFFF, 0u);
        QCOMPARE(image.pixel(262, 720 - 31) & 0xFFFFFF, 0u);

        // With no component shown the client is only cleared.
        frame.SetShownLetters(QString());
        QImage blank(640, 480, QImage::Format_RGB32);
        blank.fill(Qt::black);
        view.PaintInto(blank);
        QCOMPARE(CountColor(blank, qRgb(255, 255, 255), blank.rect()), 640 * 480);
    }

    // orvek-cli paints canvases on worker threads; they must show what the window shows.
    void canvasesOnWorkerThreadsPaintWhatTheWindowShows()
    {
        CDrawView view;
        FrameState frame;
        frame.SetShownLetters(QStringLiteral("XZ"));
        ShowFile(view, frame, m_marked);
        view.SetReadsConfiguration(false);
        view.resize(900, 500);
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(view.MarkerLayer().MarkerOnImage(kBottomMarker));

        std::array<QImage, 3> painted;
        {
            std::array<std::jthread, 3> workers;
            for (std::size_t i = 0; i < workers.size(); ++i)
                workers[i] = std::jthread([&, i] {
                    CDrawCanvas canvas;
                    FrameState own;
                    own.SetShownLetters(QStringLiteral("XZ"));
                    ShowFile(canvas, own, m_marked);
                    canvas.SetReadsConfiguration(false);
                    painted[i] = QImage(900, 500, QImage::Format_RGB32);
                    canvas.PaintInto(painted[i]);
                });
        }
        for (const QImage& image : painted)
            QCOMPARE(image, shown);
    }

    void widgetBlitsTheBackingImageUntilInvalidated()
    {
        CDrawView view;
        FrameState frame;
        StatusRecorder status;
        view.SetStatusPanes(&status);
        const auto paints = [&status] { return status.order.count(59148); };
        ShowFile(view, frame, m_path);
        view.resize(800, 600);
        QImage first = view.grab().toImage();
        QCOMPARE(paints(), 1);
        QCOMPARE(view.BackingImage().size(), QSize(800, 600));
        QVERIFY(CountColor(first, qRgb(255, 0, 0), first.rect()) > 500);

        view.update();
        view.grab();
        QCOMPARE(paints(), 1);  // a plain update only blits

        view.Invalidate();
        view.grab();
        QCOMPARE(paints(), 2);

        // Resizing in table mode leaves the paint alone; in graph mode it repaints.
        frame.m_nViewMode = cmd::kTableMode;
        view.resize(700, 500);
        view.grab();
        // The picture is kept: the paint, which draws no graph in table mode, did not run.
        QVERIFY(CountColor(view.BackingImage(), qRgb(255, 0, 0), view.BackingImage().rect()) > 500);
        frame.m_nViewMode = cmd::kGraphMode;
        view.resize(900, 500);
        view.grab();
        QCOMPARE(paints(), 3);
        QCOMPARE(view.BackingImage().size(), QSize(900, 500));
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
