// Marker work on a real main frame is not lost without a word: choosing another file or closing
// the window asks first, and the marker commands can be taken back one by one.
#include "ShellFixture.h"

#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "app/CommandIds.h"
#include "data/MeasurementFile.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QtTest>

namespace {

const QString kAsk = QStringLiteral("标记尚未保存，是否保存？");

}  // namespace

class TestUnsavedMarkers : public QObject {
    Q_OBJECT
private slots:
    void askBeforeAnotherFileOrClosing();
    void undoTakesBackMarkerCommands();
};

void TestUnsavedMarkers::askBeforeAnotherFileOrClosing()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    const QString first = f.Sample(QStringLiteral("a.cdd"));
    const QString second = f.Sample(QStringLiteral("b.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(frame.OpenDocumentFile(first));
    f.View().repaint();

    // Showing the file again or another one without markers placed asks nothing.
    QVERIFY(frame.OpenDocumentFile(first));
    f.View().repaint();
    QVERIFY(f.prompts.Questions().isEmpty());

    const float depth = f.PlaceAt(300, kBottomMarker);
    QVERIFY(depth > 0.0f);

    // Cancel keeps the file and its marker, whichever way the other file was chosen.
    f.prompts.m_saveChoices = {Prompts::SaveChoice::Cancel, Prompts::SaveChoice::Cancel, Prompts::SaveChoice::Cancel};
    QVERIFY(frame.OpenDocumentFile(second));
    f.prompts.AnswerFile(second);
    frame.OnCommand(cmd::kFileOpen);
    QTreeWidgetItem* item = f.Tree().RootItem()->child(1);
    QCOMPARE(item->data(0, CFileTreeView::kPathRole).toString(), second);
    f.Tree().SelectFile(item);
    QCOMPARE(f.prompts.Questions(), QStringList({kAsk, kAsk, kAsk}));
    QCOMPARE(f.View().File().FilePath(), first);
    QCOMPARE(f.View().MarkerLayer().Markers()[kBottomMarker].depth, depth);
    // The tree keeps the file on display highlighted.
    QCOMPARE(f.Tree().currentItem()->data(0, CFileTreeView::kPathRole).toString(), first);

    // Save writes the copy first; a cancelled save dialog is a cancel.
    f.prompts.m_saveChoices = {Prompts::SaveChoice::Save};
    QVERIFY(frame.OpenDocumentFile(second));
    QCOMPARE(f.View().File().FilePath(), first);
    const QString copy = f.Path(QStringLiteral("saved.cdd"));
    f.prompts.m_saveChoices = {Prompts::SaveChoice::Save};
    f.prompts.AnswerFile(copy);
    QVERIFY(frame.OpenDocumentFile(second));
    QCOMPARE(f.View().File().FilePath(), second);
    auto slot = std::make_unique<FileSlot>();
    QCOMPARE(FullLoad(*slot, copy.toStdString()), LoadResult::Ok);
    QCOMPARE(slot->markerDepth[kBottomMarker], depth);
    // The copy turns up in the tree at once.
    bool listed = false;
    for (int i = 0; i < f.Tree().RootItem()->childCount(); ++i)
        listed = listed || f.Tree().RootItem()->child(i)->text(0) == QStringLiteral("saved.cdd");
    QVERIFY(listed);

    // File / Save says where it went and lists the copy in the tree without a refill of its own.
    f.View().repaint();
    f.PlaceAt(200, 0);
    f.prompts.AnswerFile(f.Path(QStringLiteral("later.cdd")));
    frame.OnCommand(cmd::kFileSave);
    QVERIFY(
        frame.findChild<QLabel*>(QStringLiteral("messagePane"))->text().startsWith(QStringLiteral("标记已保存到 ")));
    QCOMPARE(f.Tree().RootItem()->childCount(), 4);
    QVERIFY(!f.View().MarkerLayer().HasUnsavedMarkers());

    // Closing asks too; cancel keeps the window.
    QApplication::setQuitOnLastWindowClosed(false);
    f.PlaceAt(250, 0);
    f.prompts.Clear();
    f.prompts.m_saveChoices = {Prompts::SaveChoice::Cancel};
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    f.prompts.m_saveChoices = {Prompts::SaveChoice::Discard};
    QVERIFY(frame.close());
    QCOMPARE(f.prompts.Questions(), QStringList({kAsk, kAsk}));
    QCOMPARE(FileBytes(second), FileBytes(QStringLiteral(ORVEK_SAMPLES_DIR "/P02-20m.cdd")));
}

void TestUnsavedMarkers::undoTakesBackMarkerCommands()
{
    ShellFixture f;
    QVERIFY(f.Show());
    CMainFrame& frame = *f.frame;
    QVERIFY(frame.OpenDocumentFile(f.Sample(QStringLiteral("a.cdd"))));
    f.View().repaint();
    const CMarkerLayer& layer = f.View().MarkerLayer();
    QVERIFY(!frame.IsCommandEnabled(cmd::kEditUndo));

    const float bottom = f.PlaceAt(600, kBottomMarker);
    const float joint = f.PlaceAt(300, 0);
    const float moved = f.PlaceAt(400, 0);
    QVERIFY(moved != joint);
    f.View().OnCommand(cmd::kClearMarkers);
    QCOMPARE(layer.Markers()[kBottomMarker].depth, 0.0f);
    QVERIFY(frame.IsCommandEnabled(cmd::kEditUndo));
    std::unique_ptr<QMenu> menu(f.View().CreateContextMenu());
    QCOMPARE(menu->actions().constLast()->text(), QStringLiteral("撤销(&U)\tCtrl+Z"));
    QVERIFY(menu->actions().constLast()->isEnabled());

    // Ctrl+Z takes back the clear; the markers are drawn again where they were.
    QTest::keyClick(&f.View(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(layer.Markers()[kBottomMarker].depth, bottom);
    QCOMPARE(layer.Markers()[0].depth, moved);
    f.View().repaint();
    QCOMPARE(layer.Markers()[kBottomMarker].placed, 1);
    QVERIFY(layer.MarkerOnImage(kBottomMarker) && layer.MarkerOnImage(0));

    // Then the move, then the placing; back at the start nothing is left to save.
    frame.OnCommand(cmd::kEditUndo);
    QCOMPARE(layer.Markers()[0].depth, joint);
    frame.OnCommand(cmd::kEditUndo);
    QVERIFY(!layer.MarkerStands(0));
    QVERIFY(layer.HasUnsavedMarkers());
    frame.OnCommand(cmd::kEditUndo);
    QVERIFY(!layer.AnyMarkerStands());
    QVERIFY(!layer.HasUnsavedMarkers());
    QVERIFY(!frame.IsCommandEnabled(cmd::kEditUndo));
    f.View().repaint();
    QVERIFY(!layer.MarkerOnImage(kBottomMarker));
}

QTEST_MAIN(TestUnsavedMarkers)
#include "tst_unsaved_markers.moc"
