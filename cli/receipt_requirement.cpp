#include "cli/receipt_requirement.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "data/qdm_data_module.h"
#include "platform/db/table.h"
#include "requirement/semi_finished.h"

#include <cmath>

namespace cli {

bool ReceiptRequirement::hasNegativeLines() const {
    return std::any_of(lines.begin(), lines.end(), [](const auto& l) { return l.finalStock < 0; });
}

double parseReceiptCounter(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value != std::floor(value))
        refuse(
            QStringLiteral(
                "Numărul documentului de intrare (Contor) trebuie să fie un număr întreg, nu «%1».")
                .arg(text));
    return value;
}

ReceiptRequirement buildReceiptRequirement(BatchCompany& company, double contor) {
    {
        db::Table receipts;
        receipts.setSession(&company.session());
        receipts.setDatabaseName(QStringLiteral("KRVPROD"));
        receipts.setTableName(QStringLiteral("Doc_in.DB"));
        receipts.setReadOnly(true);
        receipts.open();
        if (!receipts.findKey({contor}))
            refuse(QStringLiteral("Documentul de intrare cu Contor %1 nu există în firma %2.")
                       .arg(QString::number(contor, 'f', 0), company.directory()));
    }
    TQDMDataModule& dm = company.dataModule();
    ReceiptRequirement r;
    r.contor = contor;
    try {
        r.report = requirement::buildRequirement(dm, contor);
    } catch (const requirement::RecipeStructureError& e) {
        requirement::closeRequirement(dm);
        refuse(e.message());
    }
    r.lines = requirement::readRequirementLines(dm);
    r.tip = dm.DocInTable.fieldByName(QStringLiteral("Tip"))->asString();
    r.numar = dm.DocInTable.fieldByName(QStringLiteral("Numar"))->asFloat();
    r.data = dm.DocInTable.fieldByName(QStringLiteral("Data"))->value().toDate();
    return r;
}

} // namespace cli
