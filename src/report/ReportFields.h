#pragma once

#include "data/FileSlot.h"
#include "data/MeasurementFile.h"

// The texts the print settings dialog shows for a file: the saved report values when the report
// flag is 1, else the defaults taken from the acquisition header (start depth of raw sample 0,
// pile number, stored bottom-marker depth as design cage length, test date, project, site).
ReportTexts FillReportFields(const FileSlot& slot);

// The pile number and the test date shown for a file, on pages as in the dialog: the saved report's
// when the report flag is 1, else the acquisition header's (the pile number decoded, the date
// "%Y-%m-%d").
std::u16string ReportPileNo(const CFileData& data);
std::u16string ReportDate(const CFileData& data);
