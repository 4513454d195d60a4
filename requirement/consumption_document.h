#pragma once
// Turns the open requirement table into a consumption document of the host: header, lines,
// stock lowered or deleted and the output-document counter advanced, as one transaction.
// Widget-free: the requirement sheet's button and the command line call the same code.
#include "platform/base/errors.h"
#include "requirement/consumption_plan.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

class TQDMDataModule;

namespace requirement {

// The generation cannot start (the receipt it would cite is gone); nothing was written.
class GenerationRefused : public base::Error {
public:
    using base::Error::Error;
};

struct GenerationResult {
    double counter = 0;         // the new document's Contor
    int lineCount = 0;          // lines written to Item_out
    QList<NotIssued> notIssued; // every material that could not be issued in full
};

// Generates the consumption document dated `date` from the requirement table that
// buildRequirement left open, for the receipt that build was for: locates the receipt header
// by its counter (GenerationRefused, nothing written, when it is gone), takes the next
// output-document counter, writes the header ("BMC"), then plans the consumption
// (planConsumption, consumption_plan.h) and writes that plan: one line per stock record
// consumed, numbered from 1 without gaps, and those stock records lowered or deleted. Lines whose
// final stock is below 0 when it is called (the user agreed to leave them out), whose quantity is 0
// or whose material has no stock record are left out. Quantities within 0.000001 of nothing
// count as nothing: no line is written for them and a stock record left holding no more than
// that is deleted. The document is recorded in the module's register (consumption_register.h).
//
// All or nothing, on the stock as it is now: everything runs in one transaction of the company
// database that re-reads the counter and the stock inside it, so two users consuming the same
// lots never take the same quantity twice: a line whose stock another user took since the call
// is issued as far as the stock now allows, and the rest is reported as not issued. On any failure
// nothing is written, the counter is unchanged and base::DatabaseError (or the failure met) is
// raised. The requirement table is not changed and keeps its current line. CounterTable is closed
// afterwards (reopened by the next generation); DocOutTable and ItemOutTable are open only
// while it runs.
GenerationResult generateConsumptionDocument(TQDMDataModule& dm, const QDate& date);

// The requirement lines ("<group>\n<code>") whose final stock is below 0 now. A window takes
// them when it asks whether to generate: those are the lines the user agrees to leave out.
QSet<QString> negativeRequirementLines(TQDMDataModule& dm);

// As above, leaving out exactly the lines the user agreed to leave out when asked; any other
// line whose stock was taken since is issued as far as the stock now allows.
GenerationResult generateConsumptionDocument(TQDMDataModule& dm, const QDate& date,
                                             const QSet<QString>& leftOut);

} // namespace requirement
