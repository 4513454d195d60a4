#include "printing/voucher_report.h"

#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "printing/consumption_voucher.h"

namespace printing {

namespace {

constexpr int kQuantityDecimals = 3;
constexpr int kMoneyDecimals = 2;

QString quantity(double q) {
    return base::formatFixed(q, kQuantityDecimals);
}
QString money(double m) {
    return base::formatFixed(m, kMoneyDecimals);
}

} // namespace

TableReport voucherReport(const ConsumptionVoucher& voucher, const QString& companyName) {
    TableReport r;
    const QString number = base::formatFloatGeneral(voucher.number);
    const QString date = base::dateToText(voucher.date);
    const QStringList warehouses = voucher.warehouses();
    const bool byWarehouse = warehouses.size() > 1;
    const bool byLot = voucher.severalLots();

    r.companyName = companyName;
    r.title = QStringLiteral("BON DE CONSUM");
    r.details << QStringLiteral("Numărul: %1        Data: %2").arg(number, date)
              << (byWarehouse ? QStringLiteral("Gestiunile: %1") : QStringLiteral("Gestiunea: %1"))
                     .arg(warehouses.join(QStringLiteral(", ")))
              << QStringLiteral("Locul de consum: %1").arg(voucher.explanation);
    r.continuation = QStringLiteral("Bon de consum nr. %1 din %2 (continuare)").arg(number, date);

    r.columns << ReportColumn{QStringLiteral("Nr. crt."), 5, true}
              << ReportColumn{QStringLiteral("Denumirea materialului"), byLot ? 24.0 : 30.0, false}
              << ReportColumn{QStringLiteral("Cod"), 12, false}
              << ReportColumn{QStringLiteral("U.M."), 5, false};
    if (byWarehouse)
        r.columns << ReportColumn{QStringLiteral("Gest."), 6, false};
    if (byLot)
        r.columns << ReportColumn{QStringLiteral("Lot"), 9, false};
    r.columns << ReportColumn{QStringLiteral("Cantitate necesară"), 11, true}
              << ReportColumn{QStringLiteral("Cantitate eliberată"), 11, true}
              << ReportColumn{QStringLiteral("Preț unitar"), 11, true}
              << ReportColumn{QStringLiteral("Valoare"), 13, true};

    for (const VoucherLine& line : voucher.lines) {
        ReportRow row;
        row.cells << QString::number(line.row) << line.name << line.code << line.unit;
        if (byWarehouse)
            row.cells << line.warehouse;
        if (byLot)
            row.cells << line.lot;
        row.cells << quantity(line.required) << quantity(line.issued) << money(line.price)
                  << money(line.value());
        r.rows << row;
    }
    r.totalCaption = QStringLiteral("Total valoare");
    r.totalValue = money(voucher.total());
    r.signatures << QStringLiteral("Aprobat\nȘef compartiment")
                 << QStringLiteral("Predat\nGestionar") << QStringLiteral("Primit\nPrimitor");
    return r;
}

} // namespace printing
