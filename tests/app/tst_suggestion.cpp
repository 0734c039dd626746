// "自动判读" and "采用建议" on a real main frame: the suggestion drawn over the graph only when
// asked for, accepted into the markers through the marker commands, written only by File / Save,
// and gone when another file is opened.
// With ORVEK_SHOTS_DIR and ORVEK_SHOT_FILES (paths separated by ':') set, the test also saves the
// window after "自动判读" on each of those files, to look at the overlay on chosen surveys.
#include "ShellFixture.h"

#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "app/CommandIds.h"
#include "data/MeasurementFile.h"

#include <QAction>
#include <QLabel>
#include <QtTest>

namespace {

const QRgb kBlue = qRgb(0, 0, 255);

// Blue pixels in the column of the client picture.
int BlueInColumn(const QImage& image, int x)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += image.pixel(x, y) == kBlue ? 1 : 0;
    return n;
}

}  // namespace

class TestSuggestion : public QObject {
    Q_OBJECT
private slots:
    void suggestAcceptAndSave();
    void operatorMarkersKeepTheirLevels();
    void messageGoesWithTheFile();
    void shotsOfChosenFiles();
};

void TestSuggestion::suggestAcceptAndSave()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    CDrawView& view = f.View();
    // P03-30m: 121 samples at 25 cm, the cage ends at 26.50 m, no markers stored.
    const QString path = f.Sample(QStringLiteral("p03.cdd"), QStringLiteral("P03-30m.cdd"));
    QVERIFY(frame.OpenDocumentFile(path));
    view.repaint();
    const QByteArray before = FileBytes(path);
    QVERIFY(!frame.Action(cmd::kAcceptSuggestion)->isEnabled());
    const QImage plain = view.grab().toImage();

    frame.Action(cmd::kAutoInterpret)->trigger();
    QVERIFY(frame.Action(cmd::kAcceptSuggestion)->isEnabled());
    const QLabel* message = frame.findChild<QLabel*>(QStringLiteral("messagePane"));
    QVERIFY(message->text().startsWith(QStringLiteral("自动判读：建议底部 26.")));
    QVERIFY(message->text().contains(QStringLiteral("置信度")));

    // A dashed blue line where the suggested bottom lies; the backing image is untouched.
    const CursorScale scale = MakeCursorScale(view.File().ScreenData().primary, view.PaintedSize().width());
    const int x = RestoredMarkerX(scale, 26.5f);
    const QImage shown = view.grab().toImage();
    int dashed = 0;
    for (int dx = -2; dx <= 2; ++dx)
        dashed = std::max(dashed, BlueInColumn(shown, x + dx) - BlueInColumn(plain, x + dx));
    QVERIFY2(dashed > 50, qPrintable(QString::number(dashed)));
    QCOMPARE(view.BackingImage(), plain);

    // Accepting places the bottom marker on the nearest sample, as the context menu would.
    frame.Action(cmd::kAcceptSuggestion)->trigger();
    const MarkerRecord& bottom = view.MarkerLayer().Markers()[kBottomMarker];
    QCOMPARE(bottom.placed, 1);
    QVERIFY(std::abs(bottom.depth - 26.5f) <= 0.25f);
    QCOMPARE(std::fmod(bottom.depth * 4.0f, 1.0f), 0.0f);
    QVERIFY(!frame.Action(cmd::kAcceptSuggestion)->isEnabled());
    QCOMPARE(FileBytes(path), before);

    // File / Save writes what was accepted.
    const QString copy = f.Path(QStringLiteral("saved.cdd"));
    f.prompts.AnswerFile(copy);
    frame.OnCommand(cmd::kFileSave);
    auto slot = std::make_unique<FileSlot>();
    QCOMPARE(FullLoad(*slot, copy.toStdString()), LoadResult::Ok);
    QCOMPARE(slot->markerCount, 11);
    QCOMPARE(slot->markerDepth[kBottomMarker], bottom.depth);

    // Another file: no suggestion until asked again.
    frame.Action(cmd::kAutoInterpret)->trigger();
    QVERIFY(view.Suggestion().Shown());
    QVERIFY(frame.OpenDocumentFile(f.Sample(QStringLiteral("p01.cdd"))));
    QVERIFY(!view.Suggestion().Shown());
    QVERIFY(!frame.Action(cmd::kAcceptSuggestion)->isEnabled());
}

void TestSuggestion::operatorMarkersKeepTheirLevels()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    CDrawView& view = f.View();
    // P04-45m: the cage ends at 40.50 m with laps at 12 and 24 m; its stored markers go first.
    QVERIFY(frame.OpenDocumentFile(f.Sample(QStringLiteral("p04.cdd"), QStringLiteral("P04-45m.cdd"))));
    view.repaint();
    view.OnCommand(cmd::kClearMarkers);
    const CursorScale scale = MakeCursorScale(view.File().ScreenData().primary, view.PaintedSize().width());
    const float joint = f.PlaceAt(RestoredMarkerX(scale, 20.0f), 0);
    const float ownBottom = f.PlaceAt(RestoredMarkerX(scale, 5.0f), kBottomMarker);
    const auto before = view.MarkerLayer().Markers();

    frame.Action(cmd::kAutoInterpret)->trigger();
    QVERIFY(view.Suggestion().Shown());
    // Refused: nothing moves and the suggestion stays.
    f.prompts.m_answers = {false};
    frame.Action(cmd::kAcceptSuggestion)->trigger();
    QCOMPARE(f.prompts.Questions().size(), 1);
    QCOMPARE(view.MarkerLayer().Markers()[kBottomMarker].depth, ownBottom);
    QVERIFY(view.Suggestion().Shown());

    f.prompts.m_answers = {true};
    frame.Action(cmd::kAcceptSuggestion)->trigger();
    const auto& markers = view.MarkerLayer().Markers();
    QVERIFY(std::abs(markers[kBottomMarker].depth - 40.5f) <= 0.25f);
    // The operator's level 1 stays where it was; the suggested joints take the next free levels.
    QCOMPARE(markers[0].depth, joint);
    QVERIFY(std::abs(markers[1].depth - 12.0f) <= 0.5f);
    QVERIFY(std::abs(markers[2].depth - 24.0f) <= 0.5f);

    // One undo takes the whole adoption back.
    frame.OnCommand(cmd::kEditUndo);
    for (std::size_t k = 0; k < markers.size(); ++k)
        QCOMPARE(markers[k].depth, before[k].depth);
    QVERIFY(!view.MarkerLayer().MarkerStands(1));
}

void TestSuggestion::messageGoesWithTheFile()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    // Nothing shown, nothing to interpret.
    QVERIFY(!frame.Action(cmd::kAutoInterpret)->isEnabled());
    const QString p03 = f.Sample(QStringLiteral("p03.cdd"), QStringLiteral("P03-30m.cdd"));
    const QString p01 = f.Sample(QStringLiteral("p01.cdd"));
    QVERIFY(frame.OpenDocumentFile(p03));
    f.View().repaint();
    QVERIFY(frame.Action(cmd::kAutoInterpret)->isEnabled());
    frame.Action(cmd::kAutoInterpret)->trigger();
    const QLabel* message = frame.findChild<QLabel*>(QStringLiteral("messagePane"));
    QVERIFY(message->text().startsWith(QStringLiteral("自动判读：")));

    // A file chosen in the tree takes the message with the overlay.
    QTreeWidgetItem* root = f.Tree().RootItem();
    QTreeWidgetItem* other =
        root->child(0)->data(0, CFileTreeView::kPathRole).toString() == p01 ? root->child(0) : root->child(1);
    f.Tree().SelectFile(other);
    QVERIFY(!f.View().Suggestion().Shown());
    QCOMPARE(message->text(), QStringLiteral("就绪"));
}

void TestSuggestion::shotsOfChosenFiles()
{
    const QString dir = qEnvironmentVariable("ORVEK_SHOTS_DIR");
    const QStringList files = qEnvironmentVariable("ORVEK_SHOT_FILES").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (dir.isEmpty() || files.isEmpty())
        QSKIP("ORVEK_SHOTS_DIR and ORVEK_SHOT_FILES not set");
    ShellFixture f;
    // Exposed is enough for a picture; a display without a window manager never activates it.
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
    for (const QString& file : files) {
        // A copy, so that the program's folder files stay beside it and the bench set is untouched.
        const QString copy = f.Path(QFileInfo(file).fileName());
        QVERIFY(QFile::copy(file, copy));
        QVERIFY(f.frame->OpenDocumentFile(copy));
        f.View().repaint();
        f.frame->Action(cmd::kAutoInterpret)->trigger();
        f.View().repaint();
        QVERIFY(
            f.frame->grab().save(dir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".png")));
    }
}

QTEST_MAIN(TestSuggestion)
#include "tst_suggestion.moc"
