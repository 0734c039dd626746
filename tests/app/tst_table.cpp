#include "TableFiles.h"

#include "app/table/CEditListCtrl.h"
#include "app/table/CListCtrlEdit.h"

#include <QHeaderView>

namespace {

const QColor kDepthColour(237, 234, 28);
const QColor kZColour(142, 194, 105);
const QColor kGradientColour(127, 197, 235);

QString Cell(const CEditListCtrl& grid, int row, int column)
{
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

// Double clicks a cell the way the operator does and types text over the cell's value.
void TypeInto(CEditListCtrl& grid, int row, int column, const QString& text)
{
    const QRect cell = grid.visualRect(grid.model()->index(row, column));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QVERIFY(grid.IsEditing());
    QLineEdit* edit = grid.EditBox();
    QVERIFY(edit->isVisible() && edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

class TestTable : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void editingRecomputesGradients();
    void onlyZCellsAreEdited();
    void leavingAsksToSave();
    void writeBackGoesToTheFileShown();
};

void TestTable::layout_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rows");
    QTest::newRow("no samples") << 0 << 1;
    QTest::newRow("five") << 5 << 2;
    QTest::newRow("one data page") << 168 << 34;
}

void TestTable::layout()
{
    QFETCH(int, count);
    QFETCH(int, rows);
    ShellFixture f;
    const QString path = count <= 5 ? SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P01-12m.cdd"), count)
                                    : SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P04-45m.cdd"), count);
    QVERIFY(OpenAsTable(f, path));
    CEditListCtrl& grid = *f.frame->GetTable();
    const CFileData& data = f.View().File().ScreenData().primary;
    QCOMPARE(int(data.m_nCount), count);
    QVERIFY(!f.View().PendingRequests().tableRefill);
    QCOMPARE(grid.rowCount(), rows);
    QCOMPARE(grid.columnCount(), 15);
    QCOMPARE(grid.horizontalHeaderItem(3)->text(), QStringLiteral("深度"));
    QCOMPARE(grid.horizontalHeaderItem(14)->text(), QStringLiteral("垂直梯度"));

    // Every cell is there, centred, black on the colour of its column kind, empty past the samples.
    int shown = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 15; ++c) {
            const QTableWidgetItem* item = grid.item(r, c);
            QVERIFY(item);
            QCOMPARE(item->textAlignment(), int(Qt::AlignCenter));
            QCOMPARE(item->foreground().color(), QColor(Qt::black));
            QCOMPARE(item->background().color(), c % 3 == 0 ? kDepthColour : c % 3 == 1 ? kZColour : kGradientColour);
            const int s = count - 1 - ((c / 3) * rows + r);
            if (s < 0) {
                QVERIFY(item->text().isEmpty());
                continue;
            }
            const SampleRecord& sample = data.m_raw[std::size_t(s)];
            const QString expected = c % 3 == 0   ? QString::asprintf("%0.2f", double(sample.depth))
                                     : c % 3 == 1 ? QString::number(sample.z)
                                                  : QString::number(sample.dz * 100 / 25);
            QCOMPARE(item->text(), expected);
            ++shown;
        }
    }
    QCOMPARE(shown, 3 * count);
    // Shallowest first: with five samples 4, 3 | 2, 1 | 0 and two empty groups.
    if (count == 5)
        QCOMPARE(QStringList({Cell(grid, 0, 0), Cell(grid, 1, 0), Cell(grid, 0, 6), Cell(grid, 1, 6)}),
                 QStringList({"11.00", "11.25", "12.00", ""}));
    QCOMPARE(grid.font().family(), QStringLiteral("宋体"));
    QCOMPARE(grid.font().pixelSize(), 16);
}

void TestTable::editingRecomputesGradients()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString path = SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P04-45m.cdd"), 168);
    QVERIFY(OpenAsTable(f, path));
    CEditListCtrl& grid = *f.frame->GetTable();
    CFileData& data = f.View().File().ScreenData().primary;
    const auto z = [&](int s) { return data.m_raw[std::size_t(s)].z; };
    const auto dz = [&](int s) { return data.m_raw[std::size_t(s)].dz; };

    // The deepest sample (0) sits at the foot of the last filled column: row 31 of group 4. Its
    // own difference stays 0; the next shallower sample, one row up, gets a new one.
    TypeInto(grid, 31, 13, QStringLiteral("5000"));
    grid.setFocus();
    QVERIFY(!grid.IsEditing() && !grid.EditBox()->isVisible());
    QCOMPARE(Cell(grid, 31, 13), QStringLiteral("5000"));
    QCOMPARE(z(0), 5000);
    QCOMPARE(dz(0), 0);
    QCOMPARE(Cell(grid, 31, 14), QStringLiteral("0"));
    QCOMPARE(dz(1), z(1) - 5000);
    QCOMPARE(Cell(grid, 30, 14), QString::number(dz(1) * 100 / 25));

    // The shallowest sample (167) is the first cell; only its own difference changes.
    const int before166 = dz(166);
    TypeInto(grid, 0, 1, QStringLiteral("  -120 "));
    grid.setFocus();
    QCOMPARE(z(167), -120);
    QCOMPARE(dz(167), -120 - z(166));
    QCOMPARE(Cell(grid, 0, 2), QString::number(dz(167) * 100 / 25));
    QCOMPARE(dz(166), before166);

    // At the top of a group the shallower neighbour is at the foot of the previous group, and its
    // gradient is refreshed there.
    TypeInto(grid, 0, 4, QStringLiteral("0"));
    grid.setFocus();
    QCOMPARE(z(133), 0);
    QCOMPARE(dz(134), z(134));
    QCOMPARE(Cell(grid, 33, 2), QString::number(dz(134) * 100 / 25));
    QCOMPARE(Cell(grid, 0, 5), QString::number(dz(133) * 100 / 25));

    // A typo is refused when the cell is left: the cell and the sample keep their value.
    const QList<int> kept{z(98), dz(98), dz(99)};
    const QString shown = Cell(grid, 1, 7);
    QVERIFY(f.prompts.Messages().isEmpty());
    for (const QString& typo :
         {QStringLiteral("44 610"), QStringLiteral("12abc"), QStringLiteral(" "), QStringLiteral("99999999999")}) {
        TypeInto(grid, 1, 7, typo);  // sample 167 - (2 x 34 + 1) = 98
        grid.setFocus();
        QCOMPARE(Cell(grid, 1, 7), shown);
        QCOMPARE((QList<int>{z(98), dz(98), dz(99)}), kept);
    }
    QCOMPARE(f.prompts.Messages(), QStringList(4, QStringLiteral("请输入一个整数。")));
}

void TestTable::onlyZCellsAreEdited()
{
    ShellFixture f;
    QVERIFY(f.Show());
    QVERIFY(OpenAsTable(f, SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P01-12m.cdd"), 5)));
    CEditListCtrl& grid = *f.frame->GetTable();
    const std::vector<SampleRecord>& raw = f.View().File().ScreenData().primary.m_raw;
    const auto values = [&raw] {
        QList<int> v;
        for (std::size_t s = 0; s < 5; ++s)
            v << raw[s].z << raw[s].dz;
        return v;
    };
    const QList<int> before = values();

    for (int column : {0, 2, 3, 14}) {
        const QRect cell = grid.visualRect(grid.model()->index(0, column));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QVERIFY(!grid.IsEditing());
        QCOMPARE(grid.m_nSubItem, column);
    }
    QVERIFY(!grid.EditBox() || !grid.EditBox()->isVisible());

    // A Z cell without a sample takes the text on screen only.
    TypeInto(grid, 1, 7, QStringLiteral("77"));
    grid.setFocus();
    QCOMPARE(Cell(grid, 1, 7), QStringLiteral("77"));
    QCOMPARE(values(), before);
    // A refill drops an edit still open.
    TypeInto(grid, 0, 4, QStringLiteral("1"));
    f.View().RequestTableRefill();
    f.PaintView();
    QVERIFY(!grid.IsEditing() && !grid.EditBox()->isVisible());
    QCOMPARE(Cell(grid, 0, 4), QString::number(raw[2].z));
}

void TestTable::leavingAsksToSave()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString path = SampleWithCount(f, QStringLiteral("t.cdd"), QStringLiteral("P04-45m.cdd"), 168);
    QVERIFY(OpenAsTable(f, path));
    CEditListCtrl& grid = *f.frame->GetTable();
    const std::unique_ptr<FileSlot> original = LoadFile(path);

    // Edit two samples, then F7 with the grid focused: OK writes every Z cell of the grid.
    TypeInto(grid, 31, 13, QStringLiteral("4321"));
    grid.setFocus();
    TypeInto(grid, 5, 7, QStringLiteral("-9"));  // sample 167 - (2 x 34 + 5) = 94
    grid.setFocus();
    f.prompts.m_answers = {true};
    QTest::keyClick(f.frame.get(), Qt::Key_F7);
    QCOMPARE(f.frame->m_nViewMode, 32795);
    QCOMPARE(f.prompts.Questions(), QStringList{"保存修改？"});
    QVERIFY(f.prompts.Messages().isEmpty());
    QVERIFY(f.View().hasFocus());
    std::unique_ptr<FileSlot> saved = LoadFile(path);
    QVERIFY(saved);
    QCOMPARE(saved->primary.m_nCount, 168u);
    for (int s = 0; s < 168; ++s) {
        const int expected = s == 0 ? 4321 : s == 94 ? -9 : original->primary.m_raw[std::size_t(s)].z;
        QCOMPARE(saved->primary.m_raw[std::size_t(s)].z, expected);
        QCOMPARE(saved->primary.m_raw[std::size_t(s)].depth, original->primary.m_raw[std::size_t(s)].depth);
    }
    QCOMPARE(saved->primary.m_raw[95].dz, original->primary.m_raw[95].z + 9);
    // The graph shows what the file holds.
    QVERIFY(f.View().PendingRequests().reloadOnce);

    // Cancel leaves the file as it is; the question comes whether or not anything was edited.
    f.prompts.Clear();
    ShowTable(f);
    grid.setFocus();
    TypeInto(grid, 0, 1, QStringLiteral("1"));
    grid.setFocus();
    f.prompts.m_answers = {false};
    const QByteArray bytes = FileBytes(path);
    f.frame->OnCommand(cmd::kGraphMode);
    QCOMPARE(f.prompts.Questions(), QStringList{"保存修改？"});
    QCOMPARE(FileBytes(path), bytes);

    // With the focus in the file tree the table is left without a question.
    f.prompts.Clear();
    ShowTable(f);
    f.Tree().setFocus();
    QTest::keyClick(f.frame.get(), Qt::Key_F7);
    QVERIFY(f.prompts.Questions().isEmpty());

    // A file that may not be written: the message of the write-back, the file unchanged.
    ShowTable(f);
    grid.setFocus();
    QFile::setPermissions(path, QFile::ReadOwner);
    f.prompts.m_answers = {true};
    f.frame->OnCommand(cmd::kGraphMode);
    QCOMPARE(f.prompts.Messages(), QStringList{"无法读取文件"});
    QCOMPARE(FileBytes(path), bytes);
}

void TestTable::writeBackGoesToTheFileShown()
{
    ShellFixture f;
    QVERIFY(f.Show());
    const QString first = SampleWithCount(f, QStringLiteral("first.cdd"), QStringLiteral("P01-12m.cdd"), 5);
    const QString second = f.Sample(QStringLiteral("second.cdd"), QStringLiteral("P02-20m.cdd"));
    QVERIFY(OpenAsTable(f, first));
    CEditListCtrl& grid = *f.frame->GetTable();
    // F7 while typing: the typed value is committed first and is what gets written.
    TypeInto(grid, 0, 4, QStringLiteral("31415"));
    f.prompts.m_answers = {true};
    QTest::keyClick(grid.EditBox(), Qt::Key_F7);
    QCOMPARE(f.frame->m_nViewMode, 32795);
    QCOMPARE(f.prompts.Questions(), QStringList{"保存修改？"});
    QVERIFY(!grid.IsEditing());
    QCOMPARE(LoadFile(first)->primary.m_raw[2].z, 31415);

    f.prompts.Clear();
    QVERIFY(OpenAsTable(f, first));
    TypeInto(grid, 0, 1, QStringLiteral("2468"));
    grid.setFocus();

    // Opening another file from the table leaves the table; the grid's values belong to the
    // first file and go there, never into the file just chosen.
    const QByteArray secondBytes = FileBytes(second);
    f.prompts.m_answers = {true};
    QVERIFY(f.frame->OpenDocumentFile(second));
    QCOMPARE(f.prompts.Questions(), QStringList{"保存修改？"});
    QCOMPARE(FileBytes(second), secondBytes);
    QCOMPARE(LoadFile(first)->primary.m_raw[4].z, 2468);
    QCOMPARE(f.View().File().FilePath(), second);
}

QTEST_MAIN(TestTable)
#include "tst_table.moc"
