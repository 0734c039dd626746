// Coarse pixel checks on real renders of a bundled sample, and the backing-image behaviour of
// the widget: a paint event only runs the paint algorithm after an invalidation.
#include "GraphTestData.h"

#include "analysis/BandLayout.h"

#include <QTemporaryDir>
#include <QtTest>

class TestRender : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path = CopySample(m_dir.filePath(QStringLiteral("P04-45m.cdd")), QStringLiteral("P04-45m.cdd"));

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
        frame.m_nViewMode = kViewModeTable;
        view.m_tableDirty = 1;
        view.resize(700, 500);
        view.grab();
        QCOMPARE(view.m_tableDirty, 1);
        frame.m_nViewMode = kViewModeGraph;
        view.resize(900, 500);
        view.grab();
        QCOMPARE(paints(), 3);
        QCOMPARE(view.BackingImage().size(), QSize(900, 500));
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
