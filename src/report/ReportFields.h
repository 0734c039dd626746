#pragma once

#include "data/FileSlot.h"
#include "data/MeasurementFile.h"

// The texts the print settings dialog shows for a file: the saved report values when the report
// flag is 1, else the defaults taken from the acquisition header (start depth of raw sample 0,
// pile number, stored bottom-marker depth as design cage length, test date, project, site).
ReportTexts FillReportFields(const FileSlot& slot);
