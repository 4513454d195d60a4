#pragma once
// Why a quantity of a requirement line did not go into the consumption document, in the words
// the requirement sheet and the command line both show after a generation.
#include "requirement/consumption_document.h"

#include <QString>

namespace requirement {

QString notIssuedReason(NotIssued::Reason reason);

// "<group> <code>: <quantity> (<reason>)", the quantity as written by formatQuantity.
QString notIssuedLine(const NotIssued& missing, const QString& quantity);

} // namespace requirement
