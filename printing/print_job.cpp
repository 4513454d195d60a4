#include "printing/print_job.h"

#include "platform/base/errors.h"
#include "platform/ui/application.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/message_box.h"
#include "printing/report_painter.h"
#include "printing/report_pdf.h"
#include "printing/table_report.h"

#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressDialog>

#include <memory>

namespace printing {

namespace {

// The page count from which the progress is shown (only if painting takes a while).
constexpr int kProgressPages = 3;

// Progress by page for long documents; it lets the person stop between pages.
class PageProgressDialog {
public:
    PageProgress callback() {
        return [this](int page, int pageCount) {
            if (pageCount < kProgressPages)
                return true;
            if (!m_dialog) {
                m_dialog = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Renunțare"),
                                                             0, pageCount);
                m_dialog->setWindowTitle(QStringLiteral("Tipărire"));
                m_dialog->setWindowModality(Qt::ApplicationModal);
                m_dialog->setMinimumDuration(500);
            }
            m_dialog->setLabelText(
                QStringLiteral("Se pregătește pagina %1 din %2…").arg(page).arg(pageCount));
            m_dialog->setValue(page - 1);
            return !m_dialog->wasCanceled();
        };
    }
    bool canceled() const { return m_dialog && m_dialog->wasCanceled(); }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace

bool printWithDialog(const TableReport& report) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    printer.setDocName(report.title);
    if (!ui::application()->desktop().printDialog(printer))
        return false;
    int pages = 0;
    PageProgressDialog progress;
    {
        ui::CursorGuard hourglass;
        pages = paintReport(report, printer, progress.callback());
    }
    if (pages == 0) {
        const QString file = printer.outputFileName();
        ui::messageBox(
            ui::MessageKind::Error,
            file.isEmpty()
                ? QStringLiteral("Imprimanta „%1” nu a acceptat documentul. Verificați că este "
                                 "pornită și disponibilă, apoi încercați din nou.")
                      .arg(printer.printerName())
                : QStringLiteral("Fișierul PDF „%1” nu a putut fi scris. Alegeți alt fișier sau "
                                 "alt director și încercați din nou.")
                      .arg(QDir::toNativeSeparators(file)));
        return false;
    }
    return !progress.canceled();
}

bool saveAsPdf(const TableReport& report, const QString& proposedName) {
    const QString fileName = ui::application()->desktop().saveFileName(
        QStringLiteral("Salvare PDF"), proposedName, QStringLiteral("Documente PDF (*.pdf)"));
    if (fileName.isEmpty())
        return false;
    PageProgressDialog progress;
    try {
        ui::CursorGuard hourglass;
        return writeReportPdf(report, fileName, progress.callback());
    } catch (const base::Error& e) {
        ui::messageBox(ui::MessageKind::Error, e.message());
        return false;
    }
}

} // namespace printing
