#pragma once
// Reads a PDF file back for tests: its text page by page (pdftotext, keeping the layout, so
// that a row's cells stay on one line) and its page images (pdftoppm). Both tools come from
// Debian's poppler-utils, which scripts/install-deps.sh installs.
#include <QString>
#include <QStringList>

namespace testsupport {

// One text per page, in page order; empty when the file is not a readable PDF.
QStringList pdfPages(const QString& fileName);

// Renders every page as PNG files named <prefix>-<n>.png at the given resolution; answers the
// files written.
QStringList renderPdfPages(const QString& fileName, const QString& prefix, int dpi = 60);

} // namespace testsupport
