#pragma once

#include "analysis/SiteSummary.h"

#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// The printed summary of results: A4 landscape pages with the title, the rule the conclusions
// apply, the table (its heading repeated on every page), "第 n 页 共 m 页" and the date of
// printing. Printing, the PDF of the window and the PDF of orvek-cli all paint through here.
struct SummaryDocument {
    QString title;
    QString rule;
    QString printDate;  // "yyyy-MM-dd"
    const std::vector<SummaryRow>* rows = nullptr;
};

// Rows that fit on one page of a device of that height.
int SummaryRowsPerPage(int pageHeight, int dpiY);
// Pages the document takes on the device (at least one: an empty table still has its heading).
int SummaryPageCount(const SummaryDocument& doc, const QPagedPaintDevice& device);
// Paints every page; false when the device could not be opened for painting.
bool PaintSummaryPages(const SummaryDocument& doc, QPagedPaintDevice& device);
// One page (from 1) on a painter that is already active on the device.
void PaintSummaryPage(const SummaryDocument& doc, QPainter& painter, int page, int pageCount);

// The summary as a PDF at path, written through the safe replacement; false when it could not be
// written (the file is then as it was).
bool WriteSummaryPdf(const QString& path, const SummaryDocument& doc);
