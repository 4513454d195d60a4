#include "requirement/not_issued_reason.h"

namespace requirement {

QString notIssuedReason(NotIssued::Reason reason) {
    switch (reason) {
    case NotIssued::Reason::StockRanOut:
        return QStringLiteral("stocul s-a epuizat");
    case NotIssued::Reason::FinalStockNegative:
        return QStringLiteral("stoc final negativ");
    case NotIssued::Reason::NoStock:
        return QStringLiteral("fara stoc");
    case NotIssued::Reason::Return:
        return QStringLiteral("retur fara inregistrare de stoc pe care sa intre");
    }
    return QString();
}

QString notIssuedLine(const NotIssued& missing, const QString& quantity) {
    return QStringLiteral("%1 %2: %3 (%4)")
        .arg(missing.group, missing.code, quantity, notIssuedReason(missing.reason));
}

} // namespace requirement
