#pragma once
// Reversal ("Stornare") of a consumption document posted by mistake. Widget-free: the host's
// output documents window and the command line call the same code.
#include "platform/base/errors.h"

#include <QDate>

namespace db {
class Database;
}

namespace requirement {

// The reversal cannot be done: the document is missing, is not a consumption document, is a
// reversal itself, was reversed already, or is dated after the reversal. Nothing was written; the
// message says which.
class ReversalRefused : public base::Error {
public:
    using base::Error::Error;
};

struct ReversalResult {
    double document = 0; // the reversed document's Contor
    double counter = 0;  // the reversal's Contor
    int lineCount = 0;   // lines written to Item_out
    int recreated = 0;   // stock records the reversal had to create again
};

// Reverses the consumption document `document` of the company database, dated `date`, as one
// transaction: a new "BMC" document whose lines are the original's with the quantities negated
// and whose explanation names the original; every quantity put back into the stock record it
// was taken from, a record the document emptied (or that was emptied since) created again with
// its warehouse, group, article, lot, price and agent; the original marked reversed in the
// register, so that whoever comes second, even at the same moment, is refused. Where the stock
// record still holds what the document left in it, it gets back exactly what it held before.
// A date before the original's is refused (a reversal cannot give back what was not yet taken)
// unless allowEarlier says the person meant it.
// Raises ReversalRefused (nothing written), or base::DatabaseError (nothing written).
ReversalResult reverseConsumption(db::Database& database, double document, const QDate& date,
                                  bool allowEarlier = false);

} // namespace requirement
