#pragma once
// Printing a table report from a window: through the print dialog (a printer, or a PDF file
// chosen there) or straight into a PDF file whose name the person gives. Shows the hourglass and,
// on long documents, the progress by page; a printer or file that refuses gets a clear message.
// Printing never changes the document printed.
#include <QString>

namespace printing {

struct TableReport;

// Answers whether the report was printed (false: cancelled, or refused and told).
bool printWithDialog(const TableReport& report);

// Asks for the file name, proposing `proposedName`, and writes the report as PDF. Answers
// whether the file was written (false: given up, or refused and told).
bool saveAsPdf(const TableReport& report, const QString& proposedName);

} // namespace printing
