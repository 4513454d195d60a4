#include "requirement/sheet_report.h"

#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "requirement/requirement_build.h"

namespace requirement {

namespace {

constexpr int kQuantityDecimals = 3;

QString quantity(double q) {
    return base::formatFixed(q, kQuantityDecimals);
}

} // namespace

printing::TableReport requirementSheetReport(TQDMDataModule& dm, const QString& companyName) {
    using printing::ReportColumn;
    printing::TableReport r;
    const QString number =
        base::formatFloatGeneral(dm.DocInTable.fieldByName(QStringLiteral("Numar"))->asFloat());
    const QString date =
        base::dateToText(dm.DocInTable.fieldByName(QStringLiteral("Data"))->asDate());
    r.companyName = companyName;
    r.title = QStringLiteral("FIȘĂ DE NECESAR TEHNIC");
    r.details << QStringLiteral("La documentul de intrare nr. %1 din data de %2").arg(number, date)
              << QStringLiteral("Liniile cu stoc negativ sunt tipărite îngroșat.");
    r.continuation =
        QStringLiteral("Fișa de necesar tehnic la documentul nr. %1 din %2 (continuare)")
            .arg(number, date);
    r.columns << ReportColumn{QStringLiteral("Nr. crt."), 5, true}
              << ReportColumn{QStringLiteral("Denumire materie primă"), 30, false}
              << ReportColumn{QStringLiteral("Cod materie primă"), 14, false}
              << ReportColumn{QStringLiteral("Grupa"), 8, false}
              << ReportColumn{QStringLiteral("Cantitate"), 12, true}
              << ReportColumn{QStringLiteral("Stoc existent"), 12, true}
              << ReportColumn{QStringLiteral("Stoc final"), 12, true};
    int n = 0;
    for (const RequirementLine& line : readRequirementLines(dm)) {
        printing::ReportRow row;
        row.cells << QString::number(++n) << line.name << line.code << line.group
                  << quantity(line.quantity) << quantity(line.stockOnHand)
                  << quantity(line.finalStock);
        row.bold = line.stockOnHand < 0 || line.finalStock < 0;
        r.rows << row;
    }
    return r;
}

} // namespace requirement
