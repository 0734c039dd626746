#include "report/PrintJob.h"

#include "analysis/Smoothing.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "data/SystemConfig.h"
#include "report/DataPage.h"
#include "report/PageFonts.h"
#include "report/PrintSelection.h"
#include "report/ReportHeader.h"
#include "report/WaveformPage.h"
#include "view/DisplayedFile.h"
#include "view/GdiContext.h"
#include "view/GraphPaint.h"
#include "view/Prompts.h"
#include "view/TextU16.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPrinterResolution = 600;

const QString kCannotStartPrinting = QStringLiteral("无法启动打印作业。");

bool Loaded(LoadResult (*load)(FileSlot&, const std::string&), FileSlot& slot, const std::string& path)
{
    if (path.empty())
        return false;
    try {
        return load(slot, path) == LoadResult::Ok;
    } catch (const InvalidTestDateError&) {
        return false;
    }
}

QPageLayout A4Landscape(const QMarginsF& margins)
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, margins, QPageLayout::Millimeter);
}

}  // namespace

PrintJob::PrintJob(const DisplayedFile& shown, PrintSelection& selection, Prompts& prompts)
    : m_shown(shown), m_selection(selection), m_prompts(prompts), m_printData(std::make_unique<FileSlot>()),
      m_reportData(std::make_unique<FileSlot>()), m_markerPainter(DefaultPrintedMarkerPainter())
{
}

PrintJob::~PrintJob() = default;

void PrintJob::StartCommand(int printMode)
{
    m_nFileCount = static_cast<int>(m_selection.m_printFiles.size());
    m_selection.m_printMode = printMode;
    CountExtraPages();
}

void PrintJob::CountExtraPages()
{
    m_selection.ClearOverflow();
    m_nExtraPages = 0;
    if (!m_selection.m_printSettings.printTable)
        return;
    const std::vector<std::string>& files = m_selection.m_printFiles;
    const int n = std::min<int>(m_nFileCount, static_cast<int>(files.size()));
    for (int i = 0; i < n; ++i) {
        // A fresh slot for every file: one that cannot be read has no samples, rather than the
        // count of the file read before it.
        auto scratch = std::make_unique<FileSlot>();
        const int count = Loaded(&HeaderLoad, *scratch, PathOf(files[std::size_t(i)]))
                              ? static_cast<int>(scratch->primary.m_nCount)
                              : 0;
        // A file needs data page k + 2 when its samples do not fit on k + 1 pages.
        for (int k = 0; k < PrintSelection::kOverflowLists; ++k) {
            if (count > datapage::kSamplesPerPage * (k + 1)) {
                m_selection.m_overflowFiles[std::size_t(k)].push_back(files[std::size_t(i)]);
                ++m_selection.m_overflowCount[std::size_t(k)];
                ++m_nExtraPages;
            }
        }
    }
}

int PrintJob::MaximumPage() const
{
    const PrintSettings& s = m_selection.m_printSettings;
    const int kinds = (s.printWave ? 1 : 0) + (s.printTable ? 1 : 0);
    return kinds * m_nFileCount + m_nExtraPages;
}

PrintJob::PageContent PrintJob::ContentOf(int page) const
{
    const PrintSettings& s = m_selection.m_printSettings;
    const std::vector<std::string>& files = m_selection.m_printFiles;
    const int n = m_nFileCount;
    // The list may have been emptied by a real print since the pages were counted.
    auto fileAt = [&](int i) { return i < static_cast<int>(files.size()) ? files[std::size_t(i)] : std::string(); };

    PageContent content;
    int index = page - 1;
    if (index < 0)
        return content;
    if (s.printWave) {
        if (index < n)
            return {PageKind::Waveform, fileAt(index), 0};
        index -= n;
    }
    if (!s.printTable)
        return content;
    if (index < n)
        return {PageKind::FirstData, fileAt(index), 0};
    index -= n;
    for (int k = 0; k < PrintSelection::kOverflowLists; ++k) {
        const std::vector<std::string>& list = m_selection.m_overflowFiles[std::size_t(k)];
        const int count = m_selection.m_overflowCount[std::size_t(k)];
        if (index < count)
            return {PageKind::MoreData, index < static_cast<int>(list.size()) ? list[std::size_t(index)] : std::string(),
                    k + 2};
        index -= count;
    }
    return content;
}

void PrintJob::PreparePrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setResolution(kPrinterResolution);
}

void PrintJob::PreparePdfWriter(QPdfWriter& writer)
{
    writer.setResolution(kPrinterResolution);
    // The whole sheet is the page: the layout keeps its own margins of W/20 and V/10.
    writer.setPageLayout(A4Landscape(QMarginsF(0, 0, 0, 0)));
}

int PrintJob::RunPages(QPagedPaintDevice& device, int fromPage, int toPage)
{
    BeginPrinting(device);
    m_bCancelled = false;
    const int last = toPage > 0 ? std::min(toPage, MaximumPage()) : MaximumPage();
    const int first = std::max(fromPage, 1);
    const int total = std::max(last - first + 1, 0);
    int printed = 0;
    if (first <= last) {
        QPainter painter;
        if (!painter.begin(&device)) {
            m_unreadable.clear();
            return -1;
        }
        for (int page = first; page <= last; ++page) {
            if (m_progress && !m_progress(printed, total)) {
                m_bCancelled = true;
                break;
            }
            if (page > first)
                device.newPage();
            PrintPage(painter, page);
            ++printed;
        }
        // A printer's job is dropped, not sent with the pages drawn so far; the preview keeps
        // what it has.
        auto* printer = dynamic_cast<QPrinter*>(&device);
        if (m_bCancelled && printer && printer->paintEngine()->type() != QPaintEngine::Picture)
            printer->abort();
        painter.end();
    }
    if (m_progress && !m_bCancelled)
        m_progress(printed, total);
    EndPrinting();
    return printed;
}

int PrintJob::PrintToPrinter(QPrinter& printer)
{
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int printed = RunPages(printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0);
    if (printed < 0)
        m_prompts.Message(kCannotStartPrinting);
    return printed;
}

int PrintJob::RenderPreview(QPrinter& printer)
{
    // The preview window's own print button asks for the pages again, on the real printer rather
    // than on the preview's recording engine: that is a print like any other.
    const QPaintEngine* engine = printer.paintEngine();
    if (engine && engine->type() != QPaintEngine::Picture) {
        m_selection.m_printMode = kPrint;
        return PrintToPrinter(printer);
    }
    return RunPages(printer);
}

int PrintJob::PrintToPdf(const QString& path)
{
    QPdfWriter writer(path);
    PreparePdfWriter(writer);
    writer.setCreator(QStringLiteral("Orvek"));
    return RunPages(writer);
}

void PrintJob::BeginPrinting(const QPaintDevice& device)
{
    m_unreadable.clear();
    m_nTitleWidth = device.width() - 600;
    m_nTitleLeft = 300;
}

void PrintJob::EndPrinting()
{
    if (m_unreadable.isEmpty())
        return;
    m_prompts.Message(QString::fromUtf8(msg::kCannotRead) + QStringLiteral("：") + m_unreadable.join(QStringLiteral("、")));
    m_unreadable.clear();
}

void PrintJob::PrintPage(QPainter& painter, int page)
{
    const QPaintDevice* device = painter.device();
    const int W = device->width();
    const int V = device->height();
    const int dpiY = device->logicalDpiY();

    GdiContext dc(painter);
    dc.SelectFont(pagefont::PageFont(dpiY));
    dc.SetTextColor(Qt::black);

    const PageContent content = ContentOf(page);
    const std::string path = PathOf(content.name);
    const bool reportRead = LoadReport(path, content.name);
    const CFileData* report = reportRead ? &m_reportData->primary : nullptr;

    if (m_selection.m_printSettings.printTitle && report)
        waveform::DrawPageTitle(dc, FromU16(report->m_strEngineeringName), m_nTitleWidth, m_nTitleLeft, V);

    if (content.kind == PageKind::Waveform) {
        DrawWaveformPage(painter, dc, path, content.name, W, V);
        reportheader::DrawReportHeaderTable(dc, W, V, report);
    } else {
        dc.SelectPen(gdi::SolidPen(1, Qt::black));
        const PanelRect rc{W / 20, V / 10, W - W / 20, V - 100};
        dc.FillSolidRect(QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1)), Qt::white);
        DrawDataPage(dc, path, content.name, report, content, W, V, dpiY);
    }

    if (page == MaximumPage() && m_selection.m_printMode == kPrint) {
        // A printed selection is used up; the operator confirms the dialog again for the next one.
        m_selection.m_printFiles.clear();
        m_selection.m_printReady = 0;
    }
}

std::string PrintJob::PathOf(const std::string& name) const
{
    if (name.empty())
        return std::string();
    return JoinPath(QFile::encodeName(m_shown.Folder()).toStdString(), name);
}

bool PrintJob::LoadReport(const std::string& path, const std::string& name)
{
    if (Loaded(&HeaderLoad, *m_reportData, path))
        return true;
    // Whatever the slot held belongs to another file and must not appear under this one's name.
    *m_reportData = FileSlot{};
    if (!name.empty())
        NoteUnreadable(name);
    return false;
}

void PrintJob::DrawWaveformPage(QPainter& painter, GdiContext& dc, const std::string& path,
                                const std::string& name, int pageWidth, int pageHeight)
{
    FileSlot& slot = *m_printData;
    if (m_bReadsConfiguration)
        LoadConfiguration(slot, QFile::encodeName(m_shown.Folder()).toStdString());
    if (path.empty())
        return;
    if (!Loaded(&FullLoad, slot, path)) {
        slot = FileSlot{};
        NoteUnreadable(name);
        return;
    }
    CFileData& data = slot.primary;
    // The printout shows the curves as smoothed as the operator sees the file on screen.
    RebuildSmoothedTable(data, m_shown.ScreenData().primary.m_nSmoothWindow);

    const PanelRect area = waveform::CurveArea(pageWidth, pageHeight);
    const int G = waveform::PrintedUnitHeight(area);

    waveform::DrawPageDepthAxis(dc, data, area);
    dc.FlushLines();
    if (G > 0)
        graph::DrawPrintedBand(painter, area, slot, G);

    if (!m_markerPainter)
        return;
    for (const waveform::PrintedMarker& marker : waveform::StoredMarkers(slot, area)) {
        painter.save();
        m_markerPainter(marker.kind, area.top, area.bottom, marker.label, painter, marker.x);
        painter.restore();
    }
}

void PrintJob::DrawDataPage(GdiContext& dc, const std::string& path, const std::string& name,
                            const CFileData* report, const PageContent& content, int pageWidth, int pageHeight,
                            int dpiY)
{
    datapage::PageGeometry geometry;
    geometry.rect = PanelRect{pageWidth / 20, pageHeight / 10, pageWidth - pageWidth / 20, pageHeight - 100};
    geometry.pageWidth = pageWidth;
    geometry.dpiY = dpiY;

    auto slot = std::make_unique<FileSlot>();
    if (m_bReadsConfiguration)
        LoadConfiguration(*slot, QFile::encodeName(m_shown.Folder()).toStdString());
    const CFileData* file = nullptr;
    if (!path.empty()) {
        if (!Loaded(&FullLoad, *slot, path)) {
            *slot = FileSlot{};
            NoteUnreadable(name);
        }
        file = &slot->primary;
    }
    datapage::DrawDataPage(dc, geometry, file, report, content.kind == PageKind::MoreData, content.k);
}

void PrintJob::NoteUnreadable(const std::string& name)
{
    const QString text = QFile::decodeName(QByteArray::fromStdString(name));
    if (!m_unreadable.contains(text))
        m_unreadable.append(text);
}
