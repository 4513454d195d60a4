#include "cli/voucher_pdf.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "printing/company_name.h"
#include "printing/consumption_voucher.h"
#include "printing/report_pdf.h"
#include "printing/voucher_report.h"

#include <cmath>

namespace cli {

void writeVoucherPdf(BatchCompany& company, double counter, const QString& fileName) {
    try {
        const printing::ConsumptionVoucher voucher =
            printing::readConsumptionVoucher(company.session(), QStringLiteral("KRVPROD"), counter);
        printing::writeReportPdf(
            printing::voucherReport(voucher, printing::companyName(company.directory())), fileName);
    } catch (const base::DatabaseError&) {
        throw;
    } catch (const base::Error& e) {
        refuse(e.message());
    }
}

QCommandLineOption voucherPdfOption() {
    return {QStringLiteral("pdf"),
            QStringLiteral("Scrie bonul de consum al documentului generat în FISIER (PDF)."),
            QStringLiteral("FISIER")};
}

void checkVoucherPdfOption(const CommandOptions& options) {
    if (!options.isSet(QStringLiteral("pdf")))
        return;
    if (options.isSet(QStringLiteral("dry-run")))
        refuse(QStringLiteral("--pdf nu se poate folosi cu --dry-run: fără document scris nu "
                              "există bon de consum. Nu s-a scris nimic."));
    if (options.value(QStringLiteral("pdf")).isEmpty())
        refuse(QStringLiteral("Lipsește numele fișierului PDF după --pdf. Nu s-a scris nimic."));
}

void writeGeneratedVoucherPdf(BatchCompany& company, const CommandOptions& options,
                              double counter) {
    if (!options.isSet(QStringLiteral("pdf")))
        return;
    try {
        writeVoucherPdf(company, counter, options.value(QStringLiteral("pdf")));
    } catch (const CommandError& e) {
        refuse(QStringLiteral("Documentul de consum a fost generat (contor %1), dar bonul nu a "
                              "fost scris: %2\nÎl puteți scrie cu: lumbra print FIRMA %1 --pdf "
                              "FISIER")
                   .arg(base::formatFloatGeneral(counter), e.message()));
    }
}

double parseOutputCounter(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value != std::floor(value))
        refuse(QStringLiteral("Numărul documentului de ieșire (Contor) trebuie să fie un număr "
                              "întreg, nu «%1».")
                   .arg(text));
    return value;
}

} // namespace cli
