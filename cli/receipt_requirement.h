#pragma once
// The requirement of one goods receipt, computed by the requirement sheet's own build and read
// back with its stock figures, for the requirement and consume commands.
#include "requirement/requirement_build.h"

#include <QDate>

namespace cli {

class BatchCompany;

struct ReceiptRequirement {
    double contor = 0;
    QString tip;
    double numar = 0;
    QDate data;
    requirement::BuildReport report;
    QList<requirement::RequirementLine> lines;

    bool hasNegativeLines() const;
};

// Refuses (CommandError) a counter that names no goods receipt. The requirement table stays
// open for a generation; closeRequirement ends it.
ReceiptRequirement buildReceiptRequirement(BatchCompany& company, double contor);

// The receipt counter as typed: a whole number.
double parseReceiptCounter(const QString& text);

} // namespace cli
