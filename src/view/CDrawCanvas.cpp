#include "view/CDrawCanvas.h"

#include "analysis/BandLayout.h"
#include "analysis/Scales.h"
#include "analysis/Smoothing.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/SafeFile.h"
#include "data/SystemConfig.h"
#include "view/GdiContext.h"
#include "view/GraphPaint.h"
#include "view/IFrameState.h"
#include "view/IStatusPanes.h"
#include "view/ITableDisplay.h"
#include "view/TextU16.h"

#include <QFileInfo>
#include <QPainter>

CDrawCanvas::CDrawCanvas()
{
    gdi::RegisterFontSubstitutes();
    ResetMarkers();
}

CDrawCanvas::~CDrawCanvas() = default;

void CDrawCanvas::ResetMarkers()
{
    m_markerLayer.ResetMarkers();
}

bool CDrawCanvas::ShowsLoadedFile() const
{
    return SameFile(m_screenData.sourcePath, m_strFilePath.toStdString());
}

QString CDrawCanvas::NotLoadedMessage() const
{
    if (!m_strLoadProblem.isEmpty())
        return m_strLoadProblem;
    return QString::fromUtf8(QFileInfo(m_strFilePath).isReadable() ? msg::kInvalidFile : msg::kCannotRead);
}

void CDrawCanvas::PaintInto(QImage& image)
{
    if (image.isNull())
        return;
    image.fill(Qt::white);
    QPainter painter(&image);
    Paint(painter, image.size());
}

void CDrawCanvas::Paint(QPainter& painter, QSize client)
{
    if (!m_pFrame)
        return;
    m_paintedSize = client;
    const int mode = m_pFrame->ViewMode();
    if (mode == kViewModeTable) {
        if (m_tableDirty == 1) {
            m_tableDirty = 0;
            if (m_pTable)
                m_pTable->Fill();
        }
    } else if (mode == kViewModeGraph) {
        if (!PaintGraph(painter, client))
            return;
    }

    // The stored markers are put up once per chosen file; after that the records are what the
    // operator sees and what File / Save writes, and a reload (the frame regaining the focus)
    // must neither replace them with the stored ones nor leave them off the screen.
    const bool recordsTaken = m_markerLayer.RecordsTaken();
    if (m_screenData.markerCount == kMarkerSlots && m_reloadFile == 1 && !recordsTaken) {
        RestoreMarkersFromFile(painter);
    } else if (m_redrawMarkers == 1 && (m_markerRedrawBlocked == 0 || recordsTaken)) {
        m_redrawMarkers = 0;
        RedrawMarkers(painter);
    }
}

bool CDrawCanvas::PaintGraph(QPainter& painter, QSize client)
{
    GdiContext dc(painter);
    dc.SelectFont(gdi::PointFont(120));
    dc.SetTextColor(Qt::black);

    if (m_pStatusPanes)
        m_pStatusPanes->SetPaneText(pane::kFile, QStringLiteral("当前选中文件：") + m_strFilePath);

    if (!m_strFolder.isEmpty() && (m_reloadFile == 1 || m_reloadOnSwitch == 1 || m_reloadOnce == 1)) {
        m_reloadOnce = 0;
        ReloadScreenData(client.width());
    }

    const int n = m_pFrame->ShownComponents();
    if (n == 0 || m_strFilePath.isEmpty())
        return false;

    WriteHeaderPanes(dc);

    CFileData& data = m_screenData.primary;
    RebuildSmoothedTable(data, data.m_nSmoothWindow);

    const int G = UnitHeight(n, client.height());
    m_unitHeight = G;
    m_valueHeight = 2 * G;
    // Panels of no height (a tiny client area) have nothing to show; the axis is still drawn.
    if (G > 0 && client.width() > 20) {
        dc.FlushLines();
        const bool showX = m_pFrame->ShowX();
        const bool showY = m_pFrame->ShowY();
        const bool showZ = m_pFrame->ShowZ();
        for (int c = kComponentX; c <= kComponentZ; ++c) {
            const int slot = BandSlotOf(c, showX, showY, showZ);
            if (slot >= 1 && slot <= 3)
                graph::DrawBand(painter, data, client, G, slot, c);
        }
    }

    graph::DrawDepthAxis(dc, data, client);
    return true;
}

void CDrawCanvas::ReloadScreenData(int clientWidth)
{
    if (m_bReadsConfiguration)
        LoadConfiguration(m_screenData, m_strFolder.toStdString());
    if (m_strFilePath.isEmpty())
        return;
    m_strLoadProblem.clear();
    try {
        const LoadResult result = FullLoad(m_screenData, m_strFilePath.toStdString());
        if (result == LoadResult::CannotOpen)
            m_strLoadProblem = QString::fromUtf8(msg::kCannotRead);
        else if (result != LoadResult::Ok)
            m_strLoadProblem = QString::fromUtf8(LoadResultMessage(result));
    } catch (const InvalidTestDateError&) {
        m_strLoadProblem = QString::fromUtf8(msg::kInvalidTestDate);
    }
    // What the slot still holds after a failed load belongs to the file shown before (or is half
    // read): showing it under this file's name would let the table and the tools write it here.
    if (!m_strLoadProblem.isEmpty())
        ClearLoadedData(m_screenData);
    BuildDepthPixelTable(m_screenData.primary, clientWidth);
}

void CDrawCanvas::SetPane(const GdiContext& dc, int paneId, const QString& text)
{
    m_pStatusPanes->SetPaneWidth(paneId, dc.GetTextExtent(text).width());
    m_pStatusPanes->SetPaneText(paneId, text);
}

void CDrawCanvas::WriteHeaderPanes(const GdiContext& dc)
{
    if (!m_pStatusPanes)
        return;
    if (!ShowsLoadedFile()) {
        for (int id : {pane::kProject, pane::kSite, pane::kPileNo, pane::kStartDepth, pane::kCount, pane::kTestDate,
                       pane::kStep})
            SetPane(dc, id, QString());
        return;
    }
    const CFileData& d = m_screenData.primary;
    const bool report = d.m_nReportFlag == 1;
    SetPane(dc, pane::kProject, QStringLiteral("项目;") + FromU16(report ? d.m_strReportProject : d.m_strProject));
    SetPane(dc, pane::kSite, QStringLiteral("工地;") + FromU16(report ? d.m_strReportSite : d.m_strSite));
    SetPane(dc, pane::kPileNo, QStringLiteral("桩号;") + FromU16(d.m_strPileNo));
    SetPane(dc, pane::kStartDepth,
            QString::asprintf("起点深度;%.02f", static_cast<double>(d.m_fStartDepth)) + QStringLiteral(" m"));
    SetPane(dc, pane::kCount, QString::asprintf("测点总数;%d", static_cast<int>(d.m_nCount)));
    SetPane(dc, pane::kTestDate, QStringLiteral("时间;") + QString::fromStdString(FormatTestDate(d.m_testDate)));
    SetPane(dc, pane::kStep, QString::asprintf("步距;%d", static_cast<int>(d.m_nStep)) + QStringLiteral("cm"));
}

void CDrawCanvas::DrawPrintedBand(QPainter& painter, const PanelRect& area) const
{
    graph::DrawPrintedBand(painter, area, m_printData, m_unitHeight);
}

void CDrawCanvas::RestoreMarkersFromFile(QPainter& painter)
{
    m_markerLayer.RestoreMarkersFromFile(painter);
}

void CDrawCanvas::RedrawMarkers(QPainter& painter)
{
    m_markerLayer.RedrawMarkers(painter);
}
