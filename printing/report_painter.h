#pragma once
// Paints a table report on A4 portrait pages of any paged device (a PDF file, a printer): the
// company and the title on the first page, the table header repeated on every page, rows that
// never split across pages, "Pagina n din m" at the foot of each page, and the total line and
// signature boxes after the last row, moved together to a page of their own when the last page
// has no room for them. Widget-free: the command line uses it without a display.
#include <functional>

class QPagedPaintDevice;

namespace printing {

struct TableReport;

// Called before each page is painted with its number (from 1) and the page count; answering
// false stops the painting (what was painted stays on the device).
using PageProgress = std::function<bool(int page, int pageCount)>;

// Sets the device to A4 portrait with 15 mm margins and paints the report. Answers the page
// count, or 0 when the device refused to be painted on (a printer that is not available, a file
// that cannot be opened). A report without rows still has its page.
int paintReport(const TableReport& report, QPagedPaintDevice& device,
                const PageProgress& progress = {});

} // namespace printing
