#include "app/table/CEditListCtrl.h"

#include "app/table/CListCtrlEdit.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/NumberText.h"
#include "data/Smooth.h"
#include "view/CDrawView.h"
#include "view/GdiContext.h"
#include "view/IFrameState.h"
#include "view/Prompts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>
#include <optional>

namespace {

// Cell backgrounds by column kind: depth, Z, gradient.
const QColor kCellColours[3] = {QColor(237, 234, 28), QColor(142, 194, 105), QColor(127, 197, 235)};

void SetUpGrid(QTableWidget& grid, int nColumns)
{
    grid.setColumnCount(nColumns);
    grid.setHorizontalHeaderLabels(TableColumnTitles(nColumns));
    for (int c = 0; c < nColumns; ++c)
        if (QTableWidgetItem* title = grid.horizontalHeaderItem(c))
            title->setTextAlignment(Qt::AlignCenter);
    grid.setShowGrid(true);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.verticalHeader()->setVisible(false);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid.horizontalHeader()->setStretchLastSection(false);
    grid.setFrameShape(QFrame::StyledPanel);
    grid.setFrameShadow(QFrame::Sunken);
    grid.setFocusPolicy(Qt::StrongFocus);
}

// The samples a data set really holds, whatever its count field claims.
int SampleCount(const CFileData& data)
{
    return static_cast<int>(std::min<std::size_t>(data.m_nCount, data.m_raw.size()));
}

QTableWidgetItem* NewCell(const QString& text, int nColumn)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(Qt::AlignCenter);
    cell->setForeground(Qt::black);
    cell->setBackground(kCellColours[nColumn % 3]);
    return cell;
}

}  // namespace

QStringList TableColumnTitles(int nColumns)
{
    static const QString titles[3] = {QStringLiteral("深度"), QStringLiteral("垂直分量"),
                                      QStringLiteral("垂直梯度")};
    QStringList list;
    for (int c = 0; c < nColumns; ++c)
        list.append(titles[c % 3]);
    return list;
}

CEditListCtrl::CEditListCtrl(CDrawView* view) : QTableWidget(view), m_pView(view)
{
    setObjectName(QStringLiteral("table%1").arg(kControlId));
    SetUpGrid(*this, kColumnCount);
    // Cells are overtyped through the grid's own edit box, in Z columns only.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The grid keeps its 12-point face for the life of the program.
    setFont(gdi::PointFont(120));
    if (view)
        setGeometry(view->rect());
    hide();
}

int CEditListCtrl::SampleAt(int nCount, int nRow, int nGroup)
{
    const int s = nCount - 1 - (nGroup * RowsFor(nCount) + nRow);
    return s >= 0 ? s : -1;
}

QString CEditListCtrl::GradientText(int32_t dz, int32_t step)
{
    // Without a step there is no gradient; a "0" would read as a measured value.
    if (step == 0)
        return QString();
    // In 64 bits: a difference of a few million nT times 100 would overflow 32.
    return QString::number(static_cast<int64_t>(dz) * 100 / step);
}

void CEditListCtrl::Fill()
{
    if (!m_pView)
        return;
    // The cells are about to be replaced; an edit still open belongs to the old ones.
    CancelEdit();
    const CFileData& data = m_pView->File().ScreenData().primary;
    // A view without the data of its file (a failed load) shows an empty grid that writes nowhere.
    const bool loaded = m_pView->ShowsLoadedFile();
    const int n = loaded ? SampleCount(data) : 0;
    const int rows = RowsFor(n);

    setUpdatesEnabled(false);
    LayOut(m_pView->size());
    clearContents();
    setRowCount(0);
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int g = 0; g < kGroups; ++g) {
            const int s = SampleAt(n, r, g);
            QString depth, z, gradient;
            if (s >= 0) {
                const SampleRecord& sample = data.m_raw[std::size_t(s)];
                depth = QString::asprintf("%0.2f", static_cast<double>(sample.depth));
                z = QString::number(sample.z);
                gradient = GradientText(sample.dz, data.m_nStep);
            }
            setItem(r, 3 * g, NewCell(depth, 0));
            setItem(r, 3 * g + 1, NewCell(z, 1));
            setItem(r, 3 * g + 2, NewCell(gradient, 2));
        }
    }
    SizeColumns(m_pView->size().width());
    setUpdatesEnabled(true);
    m_strFilledPath = loaded ? m_pView->File().FilePath() : QString();
    m_nFilledCount = n;
}

void CEditListCtrl::FitTo(QSize client)
{
    setUpdatesEnabled(false);
    LayOut(client);
    setUpdatesEnabled(true);
}

void CEditListCtrl::LayOut(QSize client)
{
    setGeometry(0, 0, client.width(), client.height());
    SizeColumns(client.width());
}

void CEditListCtrl::SizeColumns(int clientWidth)
{
    // The grid's own client width: inside its frame. Each column takes its equal share, or what its
    // widest text needs when the share is narrower; the grid scrolls sideways then.
    const int width = std::max(0, clientWidth - 2 * frameWidth());
    const QFontMetrics cells(font());
    const QFontMetrics titles(horizontalHeader()->font());
    const int padding = cells.horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < kColumnCount; ++c) {
        int need = 0;
        if (const QTableWidgetItem* title = horizontalHeaderItem(c))
            need = titles.horizontalAdvance(title->text());
        for (int r = 0; r < rowCount(); ++r)
            if (const QTableWidgetItem* cell = item(r, c))
                need = std::max(need, cells.horizontalAdvance(cell->text()));
        setColumnWidth(c, std::max(width / kColumnCount, need + 2 * padding));
    }
}

void CEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        // A double click beside the cells is swallowed.
        if (!index.isValid())
            return;
        BeginEdit(index.row(), index.column());
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void CEditListCtrl::BeginEdit(int nRow, int nColumn)
{
    if (nRow < 0 || nRow >= rowCount() || nColumn < 0 || nColumn >= columnCount())
        return;
    // A second edit never starts over an open one: the first keeps what was typed.
    if (m_bEditing)
        OnEndEdit();
    m_nItem = nRow;
    m_nSubItem = nColumn;
    if (m_edit) {
        m_edit->m_nItem = nRow;
        m_edit->m_nSubItem = nColumn;
    }
    if (!IsZColumn(nColumn))
        return;
    if (!m_edit) {
        m_edit = new CListCtrlEdit(*this, viewport());
        m_edit->m_nItem = nRow;
        m_edit->m_nSubItem = nColumn;
    }
    const QTableWidgetItem* cell = item(nRow, nColumn);
    m_edit->setGeometry(visualRect(model()->index(nRow, nColumn)));
    m_edit->setText(cell ? cell->text() : QString());
    m_bEditing = true;
    m_edit->show();
    m_edit->setFocus(Qt::MouseFocusReason);
    m_edit->deselect();
    m_edit->end(false);
}

void CEditListCtrl::OnEndEdit()
{
    if (!m_bEditing || !m_edit)
        return;
    m_bEditing = false;
    const int row = m_edit->m_nItem;
    const int column = m_edit->m_nSubItem;
    const QString text = m_edit->text();
    m_edit->hide();
    if (!IsZColumn(column))
        return;
    // Only a whole number goes into a Z cell; anything else keeps the value the cell had.
    const std::optional<int32_t> z = ParseWholeNumber(text.toStdU16String());
    if (!z) {
        if (m_pPrompts)
            m_pPrompts->Message(QString::fromUtf8(msg::kEnterInteger));
        return;
    }
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
    if (!m_pView)
        return;

    CFileData& data = m_pView->File().ScreenData().primary;
    const int n = SampleCount(data);
    const int rows = RowsFor(n);
    const int s = n - rows * ((column - 1) / 3) - row - 1;
    // A value typed where no sample is shown stays on screen only.
    if (s < 0 || s >= n)
        return;
    std::vector<SampleRecord>& raw = data.m_raw;
    raw[std::size_t(s)].z = *z;
    if (s > 0) {
        raw[std::size_t(s)].dz = WrappingDifference(raw[std::size_t(s)].z, raw[std::size_t(s - 1)].z);
        SetGradientCell(row, column + 1, raw[std::size_t(s)].dz, data.m_nStep);
    }
    if (s + 1 < n) {
        raw[std::size_t(s + 1)].dz = WrappingDifference(raw[std::size_t(s + 1)].z, raw[std::size_t(s)].z);
        // The shallower neighbour sits one row up, or at the foot of the previous group.
        if (row > 0)
            SetGradientCell(row - 1, column + 1, raw[std::size_t(s + 1)].dz, data.m_nStep);
        else
            SetGradientCell(rows - 1, column - 2, raw[std::size_t(s + 1)].dz, data.m_nStep);
    }
}

void CEditListCtrl::SetGradientCell(int nRow, int nColumn, int32_t dz, int32_t step)
{
    if (QTableWidgetItem* cell = item(nRow, nColumn))
        cell->setText(GradientText(dz, step));
}

void CEditListCtrl::CancelEdit()
{
    if (!m_bEditing)
        return;
    m_bEditing = false;
    if (m_edit->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_edit->hide();
}

std::vector<std::u16string> CEditListCtrl::ZCellTexts() const
{
    const int rows = rowCount();
    std::vector<std::u16string> cells;
    cells.reserve(std::size_t(rows) * kGroups);
    for (int g = 0; g < kGroups; ++g) {
        for (int r = 0; r < rows; ++r) {
            const QTableWidgetItem* cell = item(r, 3 * g + 1);
            cells.push_back(cell ? cell->text().toStdU16String() : std::u16string());
        }
    }
    return cells;
}

void CEditListCtrl::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    OnFocusLeft();
}

void CEditListCtrl::hideEvent(QHideEvent* event)
{
    // The drawing view takes the focus the hidden grid gives up, so that graph mode starts with
    // the cursor keys working and the grid's focus loss (and with it the question to save) comes
    // now, not whenever the focus happens to move next.
    QWidget* focused = QApplication::focusWidget();
    if (isHidden() && m_pView && focused && (focused == this || isAncestorOf(focused)))
        m_pView->setFocus(Qt::OtherFocusReason);
    QTableWidget::hideEvent(event);
}

void CEditListCtrl::OnFocusLeft()
{
    if (m_pFrame && m_pFrame->ViewMode() != cmd::kTableMode)
        AskToSave();
}

void CEditListCtrl::AskToSave()
{
    // No file behind the grid, nothing to write into.
    if (!m_pPrompts || m_bAsking || m_strFilledPath.isEmpty())
        return;
    m_bAsking = true;
    if (m_pPrompts->Question(QStringLiteral("保存修改？"))) {
        const WriteResult result = ZWriteBack(m_strFilledPath.toStdString(), uint32_t(m_nFilledCount), ZCellTexts());
        if (result != WriteResult::Ok)
            m_pPrompts->Message(QString::fromUtf8(WriteResultMessage(result)));
    }
    // Saved, refused or failed: the graph shows what the file holds, not what was typed.
    if (m_pView) {
        m_pView->RequestReload(CDrawCanvas::Reload::Once);
    }
    m_bAsking = false;
}
