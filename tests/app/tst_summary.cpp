// "检测结果汇总…" on a real main frame: the table of the folder on display, filled on a worker,
// sorted by any column, following a marker save, opening a row's file in the main window.
// With ORVEK_SHOTS_DIR set the test also saves what the window shows at each step.
#include "ShellFixture.h"

#include "app/CSummaryWnd.h"
#include "app/CommandIds.h"
#include "data/MeasurementFile.h"
#include "view/DisplayedFile.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

namespace {

void Shot(QWidget& window, const char* name)
{
    const QByteArray dir = qgetenv("ORVEK_SHOTS_DIR");
    if (!dir.isEmpty())
        window.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) +
                           QStringLiteral(".png"));
}

QString Cell(const QTableView& table, int row, SummaryColumn column)
{
    return table.model()->index(row, int(column)).data().toString();
}

}  // namespace

class TestSummary : public QObject {
    Q_OBJECT
private slots:
    void tableOfTheFolderFollowsSavesAndOpensRows();
};

void TestSummary::tableOfTheFolderFollowsSavesAndOpensRows()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QStringList samples = QDir(QStringLiteral(ORVEK_SAMPLES_DIR)).entryList({QStringLiteral("*.cdd")});
    for (const QString& name : samples)
        f.Sample(name, name);
    f.Bytes(QStringLiteral("broken.cdd"), QByteArray(100, 'x'));
    QVERIFY(f.frame->OpenDocumentFile(f.Path(samples.front())));

    f.frame->OnCommand(cmd::kSiteSummary);
    auto* wnd = f.frame->findChild<CSummaryWnd*>();
    QVERIFY(wnd);
    QTRY_VERIFY(!wnd->IsFilling());
    QCOMPARE(wnd->Rows().size(), std::size_t(samples.size() + 1));
    QTableView& table = *wnd->Table();
    QCOMPARE(Cell(table, 0, SummaryColumn::File), QStringLiteral("broken.cdd"));
    QVERIFY(Cell(table, 0, SummaryColumn::Check).startsWith(QStringLiteral("无法读取：")));
    QVERIFY(table.model()->index(0, int(SummaryColumn::Check)).data(Qt::BackgroundRole).isValid());
    wnd->resize(1760, 420);
    Shot(*wnd, "1-by-pile");

    // Sorted by the measured length, the empty cells first, then shortest to longest.
    table.sortByColumn(int(SummaryColumn::MeasuredLength), Qt::AscendingOrder);
    double previous = -1.0;
    for (int r = 0; r < table.model()->rowCount(); ++r) {
        const QString text = Cell(table, r, SummaryColumn::MeasuredLength);
        if (text.isEmpty()) {
            QCOMPARE(previous, -1.0);
            continue;
        }
        QVERIFY(text.toDouble() >= previous);
        previous = text.toDouble();
    }
    QVERIFY(previous > 0.0);
    Shot(*wnd, "2-by-measured-length");

    // A marker saved into one of the files reaches its row.
    const QString target = f.Path(QStringLiteral("P03-30m.cdd"));
    std::array<float, kMarkerSlots> depths{};
    depths[kBottomMarker] = 7.5f;
    QCOMPARE(SaveAsCopy(target.toStdString(), target.toStdString(), depths), WriteResult::Ok);
    const auto row = [&] {
        for (const SummaryRow& r : wnd->Rows())
            if (r.file == "P03-30m.cdd")
                return r;
        return SummaryRow{};
    };
    QTRY_COMPARE(row().bottomMarker, Centimetres(750));
    table.sortByColumn(int(SummaryColumn::PileNo), Qt::AscendingOrder);
    Shot(*wnd, "3-after-marker-save");

    // A double click opens the row's file in the main window.
    int p03 = -1;
    for (int r = 0; r < table.model()->rowCount(); ++r)
        if (Cell(table, r, SummaryColumn::File) == QStringLiteral("P03-30m.cdd"))
            p03 = r;
    QVERIFY(p03 >= 0);
    emit table.doubleClicked(table.model()->index(p03, int(SummaryColumn::Conclusion)));
    QCOMPARE(f.frame->ShownFile().FilePath(), target);

    // The settings change the conclusions without reading the files again, and are kept.
    wnd->findChild<QDoubleSpinBox*>(QStringLiteral("tolerance"))->setValue(0.5);
    QCOMPARE(QSettings().value(QStringLiteral("Summary/Tolerance")).toDouble(), 0.5);
    f.prompts.AnswerFile(f.Path(QStringLiteral("out.csv")));
    wnd->OnExportCsv();
    QCOMPARE(FileBytes(f.Path(QStringLiteral("out.csv"))).toStdString(), SummaryCsvText(wnd->Rows()));
}

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"
