#include "view/CDrawCanvas.h"

#include "analysis/BandLayout.h"
#include "analysis/Scales.h"
#include "analysis/Smoothing.h"
#include "data/MeasurementFile.h"
#include "data/TextCodec.h"
#include "view/GdiContext.h"
#include "view/GraphPaint.h"
#include "view/IFrameState.h"
#include "view/IStatusPanes.h"
#include "view/ITableDisplay.h"
#include "view/TextU16.h"
#include "view/ViewCommands.h"

#include <QPainter>

CDrawCanvas::CDrawCanvas(DisplayedFile* file)
    : m_pOwnFile(file ? nullptr : std::make_unique<DisplayedFile>()), m_pFile(file ? file : m_pOwnFile.get())
{
    gdi::RegisterFontSubstitutes();
    ResetMarkers();
}

CDrawCanvas::~CDrawCanvas() = default;

void CDrawCanvas::ShowFile(const QString& path, const QString& folder, const std::function<void()>& leaveTable)
{
    m_pFile->Choose(path, folder);
    m_requests.reloadFile = true;
    if (leaveTable) {
        // Leaving the table drops the plain reload request; this one survives the switch.
        m_requests.reloadOnSwitch = true;
        leaveTable();
    } else {
        m_requests.reloadOnSwitch = false;
    }
    // The markers, the cursor and the read-out of the file shown before stand on its depths; on
    // this file they would show, and File / Save would write, positions it never had.
    ResetMarkers();
    m_pFile->ScreenData().primary.m_nSmoothWindow = 1;
    Invalidate();
}

void CDrawCanvas::RequestReload(Reload kind)
{
    if (kind == Reload::Once) {
        m_requests.reloadOnce = true;
    } else {
        m_markerLayer.HideForRelayout();
        m_requests.redrawMarkers = true;
        m_requests.reloadFile = true;
    }
    Invalidate();
}

void CDrawCanvas::RequestRelayout()
{
    m_requests.reloadFile = false;
    m_requests.markerRedrawBlocked = false;
    m_markerLayer.HideForRelayout();
    m_requests.redrawMarkers = true;
    Invalidate();
}

void CDrawCanvas::RequestRepaint()
{
    m_requests.reloadFile = false;
    Invalidate();
}

void CDrawCanvas::RequestTableRefill()
{
    m_requests.tableRefill = true;
    Invalidate();
}

void CDrawCanvas::ShowGraph()
{
    m_requests.tableRefill = false;
    RequestRelayout();
}

void CDrawCanvas::ShowTable()
{
    m_requests.reloadFile = false;
    RequestTableRefill();
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
    if (mode == cmd::kTableMode) {
        if (m_requests.tableRefill) {
            m_requests.tableRefill = false;
            if (m_pTable)
                m_pTable->Fill();
        }
    } else if (mode == cmd::kGraphMode) {
        if (!PaintGraph(painter, client))
            return;
    }

    // The stored markers are put up once per chosen file; after that the records are what the
    // operator sees and what File / Save writes, and a reload (the frame regaining the focus)
    // must neither replace them with the stored ones nor leave them off the screen.
    const bool recordsTaken = m_markerLayer.RecordsTaken();
    if (m_pFile->ScreenData().markerCount == kMarkerSlots && m_requests.reloadFile && !recordsTaken) {
        m_markerLayer.RestoreMarkersFromFile(painter);
    } else if (m_requests.redrawMarkers && (!m_requests.markerRedrawBlocked || recordsTaken)) {
        m_requests.redrawMarkers = false;
        m_markerLayer.RedrawMarkers(painter);
    }
}

bool CDrawCanvas::PaintGraph(QPainter& painter, QSize client)
{
    GdiContext dc(painter);
    dc.SelectFont(gdi::PointFont(120));
    dc.SetTextColor(Qt::black);

    if (m_pStatusPanes)
        m_pStatusPanes->SetPaneText(pane::kFile, QStringLiteral("当前选中文件：") + m_pFile->FilePath());

    if (!m_pFile->Folder().isEmpty() && (m_requests.reloadFile || m_requests.reloadOnSwitch || m_requests.reloadOnce)) {
        m_requests.reloadOnce = false;
        m_pFile->Load(m_bReadsConfiguration, client.width());
    }

    const int n = m_pFrame->ShownComponents();
    if (n == 0 || m_pFile->FilePath().isEmpty())
        return false;

    WriteHeaderPanes(dc);

    CFileData& data = m_pFile->ScreenData().primary;
    RebuildSmoothedTable(data, data.m_nSmoothWindow);

    const int G = ::UnitHeight(n, client.height());
    m_nUnitHeight = G;
    m_nValueHeight = 2 * G;
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
    const CFileData& d = m_pFile->ScreenData().primary;
    const bool report = d.m_nReportFlag == 1;
    SetPane(dc, pane::kProject,
            QStringLiteral("项目;") + FromU16(report ? d.m_strReportProject : DecodeAcquisitionText(d.m_strProject)));
    SetPane(dc, pane::kSite,
            QStringLiteral("工地;") + FromU16(report ? d.m_strReportSite : DecodeAcquisitionText(d.m_strSite)));
    SetPane(dc, pane::kPileNo, QStringLiteral("桩号;") + FromU16(DecodeAcquisitionText(d.m_strPileNo)));
    SetPane(dc, pane::kStartDepth,
            QString::asprintf("起点深度;%.02f", static_cast<double>(d.m_fStartDepth)) + QStringLiteral(" m"));
    SetPane(dc, pane::kCount, QString::asprintf("测点总数;%d", static_cast<int>(d.m_nCount)));
    SetPane(dc, pane::kTestDate, QStringLiteral("时间;") + QString::fromStdString(FormatTestDate(d.m_testDate)));
    SetPane(dc, pane::kStep, QString::asprintf("步距;%d", static_cast<int>(d.m_nStep)) + QStringLiteral("cm"));
}
