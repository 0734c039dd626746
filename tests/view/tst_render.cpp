// Coarse pixel checks on real renders of a bundled sample, and the backing-image behaviour of
// the widget: a paint event only runs the paint algorithm after an invalidation.
#include "GraphTestData.h"

#include "analysis/BandLayout.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int CountColor(const QImage& image, QRgb color, const QRect& area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
    return n;
}

class CountingStatus : public IStatusPanes {
public:
    void SetPaneWidth(int, int) override {}
    void SetPaneText(int paneId, const QString&) override { paints += paneId == 59148; }
    int paints = 0;
};

}  // namespace

class TestRender : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

    void ShowSample(CDrawView& view, FrameState& frame)
    {
        view.SetFrame(&frame);
        view.m_strFilePath = m_path;
        view.m_strFolder = m_dir.path();
        view.m_reloadFile = 1;
    }

private slots:
    void initTestCase()
    {
        m_path = m_dir.filePath(QStringLiteral("P04-45m.cdd"));
        QVERIFY(QFile::copy(QStringLiteral(ORVEK_SAMPLES_DIR "/P04-45m.cdd"), m_path));
    }

    void valueCurveIsRedAndGradientLightBlue()
    {
        CDrawView view;
        FrameState frame;
        ShowSample(view, frame);
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
    }

    void nothingDrawnWhenNoComponentIsShown()
    {
        CDrawView view;
        FrameState frame;
        frame.SetShownLetters(QString());
        ShowSample(view, frame);
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::black);
        view.PaintInto(image);
        QCOMPARE(CountColor(image, qRgb(255, 255, 255), image.rect()), 640 * 480);
    }

    void widgetBlitsTheBackingImageUntilInvalidated()
    {
        CDrawView view;
        FrameState frame;
        CountingStatus status;
        view.SetStatusPanes(&status);
        ShowSample(view, frame);
        view.resize(800, 600);
        QImage first = view.grab().toImage();
        QCOMPARE(status.paints, 1);
        QCOMPARE(view.BackingImage().size(), QSize(800, 600));
        QVERIFY(CountColor(first, qRgb(255, 0, 0), first.rect()) > 500);

        view.update();
        view.grab();
        QCOMPARE(status.paints, 1);  // a plain update only blits

        view.Invalidate();
        view.grab();
        QCOMPARE(status.paints, 2);

        // Resizing in table mode leaves the paint alone; in graph mode it repaints.
        frame.m_nViewMode = kViewModeTable;
        view.m_tableDirty = 1;
        view.resize(700, 500);
        view.grab();
        QCOMPARE(view.m_tableDirty, 1);
        frame.m_nViewMode = kViewModeGraph;
        view.resize(900, 500);
        view.grab();
        QCOMPARE(status.paints, 3);
        QCOMPARE(view.BackingImage().size(), QSize(900, 500));
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
