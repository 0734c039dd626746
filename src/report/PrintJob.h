#pragma once

#include "report/PrintedMarkers.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class CFileData;
class DisplayedFile;
class GdiContext;
class Prompts;
struct FileSlot;
struct PrintSelection;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;

// One print job over the files chosen in the print settings dialog: a waveform page and/or data
// pages per file, in the order of the page sequence. Print, Print preview and PDF output all run
// the same page loop (RunPages), which goes through begin / print page / end like the printing
// protocol the pages were designed for, on any paged device.
//
// The job prints the files of the print selection from the folder of the file on display, with
// its smoothing window; it reads each page's file into slots of its own. A file of the list that
// cannot be read gets its pages with empty data - never the data of the file printed before it -
// and the operator is told once per run.
//
// Typical use by the main frame:
//   PrintJob job(shownFile, printSelection, prompts);
//   job.StartCommand(PrintJob::kPrint);           // or kPreview
//   QPrinter printer(QPrinter::HighResolution);
//   PrintJob::PreparePrinter(printer);
//   QPrintDialog dialog(&printer, frame);         // preview: QPrintPreviewDialog, whose
//   dialog.setMinMax(1, job.MaximumPage());       //   paintRequested runs job.RenderPreview
//   if (dialog.exec() == QDialog::Accepted)
//       job.PrintToPrinter(printer);
class PrintJob {
public:
    static constexpr int kPreview = 0;
    static constexpr int kPrint = 1;

    PrintJob(const DisplayedFile& shown, PrintSelection& selection, Prompts& prompts);
    ~PrintJob();

    // orvek-cli must not create "zel.sysconfig" in the folders it prints from.
    void SetReadsConfiguration(bool reads) { m_bReadsConfiguration = reads; }
    void SetMarkerPainter(PrintedMarkerPainter painter) { m_markerPainter = std::move(painter); }

    // The Print (kPrint) or Print preview (kPreview) command before the pages: takes the file
    // count, sets the mode and counts the second and later data pages into the overflow lists.
    void StartCommand(int printMode);
    // Refills the overflow lists and the count of extra pages from the print list (data pages only).
    void CountExtraPages();
    // Pages of the job: (waveform ? n : 0) + (data ? n : 0) + extra data pages.
    int MaximumPage() const;

    // What page p (from 1) shows.
    enum class PageKind { None, Waveform, FirstData, MoreData };
    struct PageContent {
        PageKind kind = PageKind::None;
        std::string name;  // file name as the file system spells it; empty for None
        int k = 0;         // MoreData: 2..datapage::kMaxPages, the data page number of that file
    };
    PageContent ContentOf(int page) const;

    // A4 landscape at 600 dpi.
    static void PreparePrinter(QPrinter& printer);
    static void PreparePdfWriter(QPdfWriter& writer);

    // Told before each page of a run and once after its last: pages drawn, pages of the run.
    // Returning false cancels the run before the next page; a printer's job is then aborted and
    // the print selection is not used up.
    using Progress = std::function<bool(int done, int total)>;
    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    // Whether the last run was cancelled through the progress callback.
    bool Cancelled() const { return m_bCancelled; }

    // The page loop over pages fromPage..toPage (0: from the first, to the last). Returns the
    // number of pages drawn, or -1 when the device could not be opened for painting.
    int RunPages(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0);
    // A real print on printer, over the page range chosen in its print dialog; tells the operator
    // when the printer cannot be started.
    int PrintToPrinter(QPrinter& printer);
    // All pages into the printer of a print preview.
    int RenderPreview(QPrinter& printer);
    // All pages into a PDF file; -1 when the file cannot be written.
    int PrintToPdf(const QString& path);

    // The steps of the loop, for callers that drive a device of their own.
    void BeginPrinting(const QPaintDevice& device);
    void PrintPage(QPainter& painter, int page);
    void EndPrinting();

    // Files of the current run that could not be read, in the order met.
    const QStringList& UnreadableFiles() const { return m_unreadable; }

private:
    std::string PathOf(const std::string& name) const;
    // Header load of the page's file into the report slot; false when it cannot be read.
    bool LoadReport(const std::string& path, const std::string& name);
    void DrawWaveformPage(QPainter& painter, GdiContext& dc, const std::string& path, const std::string& name,
                          int pageWidth, int pageHeight);
    void DrawDataPage(GdiContext& dc, const std::string& path, const std::string& name, const CFileData* report,
                      const PageContent& content, int pageWidth, int pageHeight, int dpiY);
    void NoteUnreadable(const std::string& name);

    const DisplayedFile& m_shown;
    PrintSelection& m_selection;
    Prompts& m_prompts;
    // The waveform page's file and the file whose report values head the page.
    std::unique_ptr<FileSlot> m_printData;
    std::unique_ptr<FileSlot> m_reportData;
    // Page layout: files in the run, data pages beyond the first of each file, the title's band.
    int m_nFileCount = 0;
    int m_nExtraPages = 0;
    int m_nTitleWidth = 0;
    int m_nTitleLeft = 0;
    PrintedMarkerPainter m_markerPainter;
    bool m_bReadsConfiguration = true;
    QStringList m_unreadable;
    Progress m_progress;
    bool m_bCancelled = false;
};
