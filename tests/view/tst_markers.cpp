// The cursor and the depth markers on a real view showing a bundled sample: mouse and key events,
// the status-bar read-out, the marker commands, the saved marker table, and the pixels of the
// inverted lines on the backing image.
#include "GraphTestData.h"

#include "analysis/MarkerMath.h"
#include "data/MeasurementFile.h"
#include "support/ScriptedPrompts.h"
#include "view/CMarkerLayer.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// P02-20m: 81 samples from 20.00 m up to 0.00 m, stored markers joint 1 at 8.25 m and bottom at
// 16.25 m. In a 1000 x 600 client the axis runs 0 .. 25 m at 39.2 px per metre, 9.8 px a sample;
// entry i (sample 80 - i, depth i / 4 m) lies at x = trunc(9.8 i) + 10. One band: G = 186 and the
// lines run from y = 5 to y = 568.
constexpr int kWidth = 1000;
constexpr int kHeight = 600;
constexpr int kLineBottom = 568;

const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kOlive = qRgb(128, 128, 0);

int EntryX(int entry)
{
    return static_cast<int>(9.8 * entry + 1e-9) + 10;
}

// Pixels of column x between the line ends that hold the colour.
int CountInColumn(const QImage& image, int x, QRgb colour)
{
    return CountColor(image, colour, QRect(x, 5, 1, kLineBottom - 5));
}

bool ColumnsEqual(const QImage& a, const QImage& b, int x)
{
    for (int y = 0; y < a.height(); ++y)
        if (a.pixel(x, y) != b.pixel(x, y))
            return false;
    return true;
}

// Columns in which two images differ.
QList<int> ChangedColumns(const QImage& a, const QImage& b)
{
    QList<int> out;
    for (int x = 0; x < a.width(); ++x)
        if (!ColumnsEqual(a, b, x))
            out.append(x);
    return out;
}

struct Fixture {
    QTemporaryDir dir;
    FrameState frame;
    StatusRecorder panes;
    ScriptedPrompts prompts;
    std::unique_ptr<CDrawView> view;

    QString Copy(const char* sample) { return CopySample(dir.filePath(QString::fromLatin1(sample)), QString::fromLatin1(sample)); }

    // Shows path the way File / Open hands it over, and paints once.
    void Open(const QString& path)
    {
        if (!view) {
            view = std::make_unique<CDrawView>();
            view->SetStatusPanes(&panes);
            view->SetPrompts(&prompts);
            view->SetReadsConfiguration(false);
            view->resize(kWidth, kHeight);
            view->show();
            QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        }
        ShowFile(*view, frame, path);
        Paint();
    }

    void Paint() { view->repaint(); }
    const QImage& Image() const { return view->BackingImage(); }

    void Click(int x)
    {
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 300));
    }
    void Drag(int x)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 300), view->mapToGlobal(QPointF(x, 300)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &move);
    }
    void Key(Qt::Key key) { QTest::keyClick(view.get(), key); }

    // The sample shown for a cursor on entry, as the read-out prints it.
    QString SignalText(int entry, const char* blanks)
    {
        const SampleRecord& s = view->File().ScreenData().primary.m_raw[80 - entry];
        return QString::asprintf("信号量：Z=%d, X=%d, Y=%d", s.z, s.x, s.y) + QLatin1String(blanks);
    }
};

}  // namespace

class TestMarkers : public QObject {
    Q_OBJECT
private slots:
    void clickSnapsToTheEntryAndShowsItsSample()
    {
        Fixture f;
        f.Open(f.Copy("P02-20m.cdd"));
        f.view->RequestRepaint();  // keep the stored markers where the first paint put them
        const QImage before = f.Image();

        f.Click(505);  // 495 / 9.8 = 50.5: entry 50, sample 30 at 12.50 m
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 50);
        QCOMPARE(f.view->MarkerLayer().CursorX(), EntryX(50) + 1);
        QVERIFY(f.view->MarkerLayer().CursorShown());
        QCOMPARE(f.panes.texts[pane::kReadout], f.SignalText(50, "   "));
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：12.50"));
        QVERIFY(f.panes.widths[pane::kReadout] > 0);
        // The cursor is the only change on the image: one inverted column, black on white.
        QCOMPARE(ChangedColumns(before, f.Image()), QList<int>{EntryX(50) + 1});
        QVERIFY(CountInColumn(f.Image(), EntryX(50) + 1, qRgb(0, 0, 0)) > 300);

        // Clicking elsewhere erases it by drawing it again.
        f.Click(-40);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 0);
        QCOMPARE(f.view->MarkerLayer().CursorX(), 11);
        QCOMPARE(ChangedColumns(before, f.Image()), QList<int>{11});
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：0.00"));
        f.Click(5000);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 80);
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：20.00"));
    }

    void arrowKeysMoveOneSampleAndStopAtBothEnds()
    {
        Fixture f;
        f.Open(f.Copy("P02-20m.cdd"));
        f.view->RequestRepaint();
        const QImage before = f.Image();

        f.Click(505);
        f.Key(Qt::Key_Right);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 51);
        QCOMPARE(f.panes.texts[pane::kReadout], f.SignalText(51, "   "));
        QCOMPARE(ChangedColumns(before, f.Image()).size(), 1);
        // A marker placed right after the move lands on the sample under the cursor.
        f.view->OnCommand(cmd::MarkerCommandId(3));
        QCOMPARE(f.view->MarkerLayer().Markers()[3].depth, 12.75f);

        // Left from entry 1: entry 0 lies on x = 10 and is refused, but the read-out is shown.
        f.Click(EntryX(1) + 1);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 1);
        f.panes.texts.clear();
        f.Key(Qt::Key_Left);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 1);
        QCOMPARE(f.view->MarkerLayer().CursorX(), EntryX(1) + 1);
        QCOMPARE(f.panes.texts[pane::kReadout], f.SignalText(1, "   "));

        // Right at the last entry: nothing moves and nothing is written.
        f.Click(5000);
        f.panes.texts.clear();
        f.Key(Qt::Key_Right);
        QCOMPARE(f.view->MarkerLayer().CursorIndex(), 80);
        QVERIFY(f.panes.texts.isEmpty());

        // Space goes back to one smoothing point and repaints.
        f.view->File().ScreenData().primary.m_nSmoothWindow = 5;
        f.Key(Qt::Key_Space);
        QCOMPARE(f.view->File().ScreenData().primary.m_nSmoothWindow, 1);
    }

    void dragShowsASampleWithinATenthOfAMetre()
    {
        Fixture f;
        f.Open(f.Copy("P02-20m.cdd"));
        f.view->RequestRepaint();

        // x = 500 is 12.50 m: sample 30 exactly; the cursor is not snapped.
        f.Drag(500);
        QCOMPARE(f.view->MarkerLayer().CursorX(), 500);
        QVERIFY(f.view->MarkerLayer().CursorShown());
        QCOMPARE(f.panes.texts[pane::kReadout], f.SignalText(50, "  "));
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：12.50"));

        // Half-way between two samples (12.625 m) is more than 0.1 m from both: the read-out stays.
        f.Drag(505);
        QCOMPARE(f.view->MarkerLayer().CursorX(), 505);
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：12.50"));
        // The deepest sample, sample 0, never matches.
        f.Drag(794);
        QCOMPARE(f.panes.texts[pane::kFile], QStringLiteral("深度：12.50"));

        // Without the left button a move does nothing.
        QTest::mouseMove(f.view.get(), QPoint(300, 300));
        QCOMPARE(f.view->MarkerLayer().CursorX(), 794);
    }

    void markerCommandsNeedTheCursor()
    {
        Fixture f;
        f.Open(f.Copy("P01-12m.cdd"));  // no stored markers
        f.view->OnCommand(cmd::MarkerCommandId(kBottomMarker));
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].placed, 0);

        f.Click(505);
        f.view->OnCommand(cmd::MarkerCommandId(kBottomMarker));
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].placed, 1);
        QVERIFY(!f.view->MarkerLayer().CursorShown());  // placing a marker takes the cursor away
        // Right after that a second command does nothing until the cursor is shown again.
        f.view->OnCommand(cmd::MarkerCommandId(0));
        QCOMPARE(f.view->MarkerLayer().Markers()[0].placed, 0);
    }

    void bottomIsBlueJointsOliveAndAMovedMarkerLeavesNoTrace()
    {
        Fixture f;
        f.Open(f.Copy("P01-12m.cdd"));
        // P01: 49 samples up to 12 m, axis 0 .. 15 m, 65.33 px per metre; 8.25 m is entry 33.
        const QImage before = f.Image();
        f.Click(553);
        const int bottomX = f.view->MarkerLayer().CursorX();
        f.view->OnCommand(cmd::MarkerCommandId(kBottomMarker));
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].x, bottomX);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].depth, 8.25f);
        f.Paint();
        QVERIFY(CountInColumn(f.Image(), bottomX, kBlue) > 400);

        f.Click(300);
        const int firstJointX = f.view->MarkerLayer().CursorX();
        f.view->OnCommand(cmd::MarkerCommandId(0));
        f.Paint();
        QVERIFY(CountInColumn(f.Image(), firstJointX, kOlive) > 400);

        // The same kind again moves it: one olive line, the old column as it was.
        f.Click(700);
        const int jointX = f.view->MarkerLayer().CursorX();
        f.view->OnCommand(cmd::MarkerCommandId(0));
        QCOMPARE(f.view->MarkerLayer().Markers()[0].x, jointX);
        f.Paint();
        QVERIFY(CountInColumn(f.Image(), jointX, kOlive) > 400);
        QVERIFY(ColumnsEqual(before, f.Image(), firstJointX));
        QVERIFY(CountInColumn(f.Image(), bottomX, kBlue) > 400);

        // A repaint of the whole image (a resize) keeps the markers on screen, and erasing them
        // afterwards leaves no line behind.
        f.view->resize(kWidth, kHeight + 1);
        f.view->resize(kWidth, kHeight);
        f.Paint();
        QVERIFY(CountInColumn(f.Image(), bottomX, kBlue) > 400);
        f.view->OnCommand(cmd::kClearMarkers);
        f.Paint();
        QCOMPARE(ChangedColumns(before, f.Image()), QList<int>{});
    }

    void clearZeroesEveryDepthSoSaveWritesZeros()
    {
        Fixture f;
        const QString path = f.Copy("P02-20m.cdd");
        f.Open(path);
        QCOMPARE(f.view->MarkerLayer().Markers()[0].depth, 8.25f);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].depth, 16.25f);
        f.view->OnCommand(cmd::kClearMarkers);
        for (const MarkerRecord& m : f.view->MarkerLayer().Markers()) {
            QCOMPARE(m.placed, 0);
            QCOMPARE(m.depth, 0.0f);
        }
        QVERIFY(!f.view->PendingRequests().reloadFile);

        const QString copy = f.dir.filePath(QStringLiteral("cleared.cdd"));
        f.prompts.AnswerFile(copy);
        f.view->OnCommand(57603);
        const Prompts::FileRequest request = f.prompts.LastFileRequest();
        QCOMPARE(request.filter, QStringLiteral(" Files (*.cdd)|*.cdd|All Files (*.*)|*.*||"));
        QVERIFY(request.confirmOverwrite);
        QVERIFY(!request.readOnlyBox);
        QVERIFY(f.prompts.Messages().isEmpty());

        auto slot = std::make_unique<FileSlot>();
        QCOMPARE(FullLoad(*slot, copy.toStdString()), LoadResult::Ok);
        QCOMPARE(slot->markerCount, 11);
        for (float depth : slot->markerDepth)
            QCOMPARE(depth, 0.0f);
        // The view still shows the file it showed.
        QCOMPARE(f.view->File().FilePath(), path);
    }

    void savedMarkersComeBackAtTheSnappedSampleDepths()
    {
        Fixture f;
        const QString path = f.Copy("P01-12m.cdd");
        // 8.30 m lies between the samples at 8.25 and 8.50 m.
        std::array<float, kMarkerSlots> depths{};
        depths[kBottomMarker] = 8.30f;
        depths[4] = 3.0f;
        const QString stored = f.dir.filePath(QStringLiteral("stored.cdd"));
        QCOMPARE(SaveAsCopy(path.toStdString(), stored.toStdString(), depths), WriteResult::Ok);

        f.Open(stored);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].placed, 1);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].depth, 8.25f);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].label, QStringLiteral("8.30"));
        QCOMPARE(f.view->MarkerLayer().Markers()[4].depth, 3.0f);
        for (int kind : {0, 1, 2, 3, 5, 6, 7, 8, 9})
            QCOMPARE(f.view->MarkerLayer().Markers()[kind].placed, 0);
        QVERIFY(CountInColumn(f.Image(), f.view->MarkerLayer().Markers()[kBottomMarker].x, kBlue) > 400);

        // Saved again and opened again, the depths stay on their samples.
        const QString again = f.dir.filePath(QStringLiteral("again.cdd"));
        f.prompts.AnswerFile(again);
        f.view->OnCommand(57603);
        f.Open(again);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].depth, 8.25f);
        QCOMPARE(f.view->MarkerLayer().Markers()[4].depth, 3.0f);
    }

    void saveReportsFailuresAndCancelWritesNothing()
    {
        Fixture f;
        const QString path = f.Copy("P01-12m.cdd");
        f.Open(path);
        f.view->OnCommand(57603);  // cancelled
        QCOMPARE(f.prompts.Count(ScriptedPrompts::Call::SaveFile), 1);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 1);

        f.prompts.AnswerFile(f.dir.filePath(QStringLiteral("no/such/folder/x.cdd")));
        f.view->OnCommand(57603);
        QCOMPARE(f.prompts.Messages(), QStringList{QStringLiteral("无法创建文件")});

        f.view->File().Choose(f.dir.filePath(QStringLiteral("gone.cdd")), f.dir.path());
        f.prompts.AnswerFile(f.dir.filePath(QStringLiteral("y.cdd")));
        f.view->OnCommand(57603);
        QCOMPARE(f.prompts.Messages().last(), QStringLiteral("无法读取文件"));
    }

    void layoutChangeRedrawsExactlyThePlacedMarkers()
    {
        Fixture f;
        f.Open(f.Copy("P01-12m.cdd"));
        f.Click(553);
        f.view->OnCommand(cmd::MarkerCommandId(kBottomMarker));
        f.Click(300);
        f.view->OnCommand(cmd::MarkerCommandId(2));
        const int bottomX = f.view->MarkerLayer().Markers()[kBottomMarker].x;
        const int jointX = f.view->MarkerLayer().Markers()[2].x;

        // What the main frame does when X is switched on.
        f.frame.SetShownLetters(QStringLiteral("XZ"));
        f.view->RequestRelayout();
        f.Paint();

        for (int kind = 0; kind < kMarkerSlots; ++kind)
            QCOMPARE(f.view->MarkerLayer().Markers()[kind].placed, (kind == 2 || kind == kBottomMarker) ? 1 : 0);
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].x, bottomX);
        QCOMPARE(f.view->MarkerLayer().Markers()[2].x, jointX);
        // Two bands now: the lines reach y = (G + 2G + 10) x 2.
        const int G = (kHeight - 50) / 6;
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].lineEnd[0], QPoint(bottomX, (3 * G + 10) * 2));
        QVERIFY(CountInColumn(f.Image(), bottomX, kBlue) > 400);
        QVERIFY(CountInColumn(f.Image(), jointX, kOlive) > 400);
        // Nothing at the left edge for the kinds that were never placed.
        QCOMPARE(CountInColumn(f.Image(), 0, kOlive), 0);
    }

    void contextMenuListsTheCommandsInOrder()
    {
        Fixture f;
        f.Open(f.Copy("P01-12m.cdd"));
        std::unique_ptr<QMenu> menu(f.view->CreateContextMenu());
        const QList<QAction*> actions = menu->actions();
        // Menu 130, then a separator and the undo of the marker commands.
        QCOMPARE(actions.size(), 16);
        const QStringList texts = {QStringLiteral("清    除"), QStringLiteral("平滑设置"), QStringLiteral("底部深度"),
                                   QString(),  // separator
                                   QStringLiteral("一级接头"), QStringLiteral("二级接头"), QStringLiteral("三级接头"),
                                   QStringLiteral("四级接头"), QStringLiteral("五级接头"), QStringLiteral("六级接头"),
                                   QStringLiteral("七级接头"), QStringLiteral("八级接头"), QStringLiteral("九级接头"),
                                   QStringLiteral("十级接头"), QString(), QStringLiteral("撤销(&U)\tCtrl+Z")};
        const QList<int> ids = {32818, 32829, 32796, 0, 32787, 32788, 32789, 32790,
                                32805, 32806, 32807, 32809, 32810, 32811, 0, 57643};
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions[i]->isSeparator(), i == 3 || i == 14);
            QCOMPARE(actions[i]->text(), texts[i]);
            QCOMPARE(actions[i]->data().toInt(), ids[i]);
        }

        // The commands act at the cursor; the smoothing dialog is left to the application.
        f.Click(553);
        actions[2]->trigger();
        QCOMPARE(f.view->MarkerLayer().Markers()[kBottomMarker].placed, 1);
        QSignalSpy smoothing(f.view.get(), &CDrawView::smoothSettingsRequested);
        actions[1]->trigger();
        QCOMPARE(smoothing.count(), 1);
    }

    void printedMarkerDrawsOnAnyPainter()
    {
        RecordingDevice device(QSize(4000, 3000));
        {
            QPainter painter(&device);
            CMarkerLayer::DrawMarkerOnDevice(kBottomMarker, 120, 900, QStringLiteral("16.25"), painter, 700);
        }
        const QVector<RecordedItem> lines = device.Lines();
        const QVector<RecordedItem> texts = device.Texts();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(texts.size(), 1);
        const RecordedItem* line = &lines[0];
        const RecordedItem* text = &texts[0];
        QCOMPARE(line->P(0), QPoint(700, 120));
        QCOMPARE(line->P(1), QPoint(700, 900));
        QCOMPARE(line->pen.color().rgb(), kBlue);
        QCOMPARE(line->pen.width(), 2);
        QCOMPARE(text->text, QStringLiteral("16.25"));
        QCOMPARE(text->font.pixelSize(), 14);  // MulDiv(14, 96, 96)
    }
};

QTEST_MAIN(TestMarkers)
#include "tst_markers.moc"
