#pragma once
// Writes a table report into a PDF file (A4, see the report painter) without a display. The
// file is replaced in one step: a failure leaves whatever file was there as it was.
#include "printing/report_painter.h"

#include <QString>

namespace printing {

struct TableReport;

// Answers false, leaving the file as it was, when the progress stopped the painting. Throws
// base::Error, with a Romanian message naming the file and the reason, when the file cannot be
// written.
bool writeReportPdf(const TableReport& report, const QString& fileName,
                    const PageProgress& progress = {});

} // namespace printing
