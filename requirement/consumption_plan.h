#pragma once
// The allocation plan of a consumption document: which stock record each requirement line takes
// from and how much, one document line per stock record, and what would not be issued, with
// why. The generation writes exactly such a plan, made inside its transaction; the preview makes
// one on the stock as it is now and writes nothing. Widget-free: the requirement sheet and the
// command line show it.
#include "platform/db/record_buffer.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

class TQDMDataModule;

namespace requirement {

// A quantity of a requirement line that did not go into the document.
struct NotIssued {
    enum class Reason {
        StockRanOut,        // the matching stock records held less than the line asked for
        FinalStockNegative, // the line's final stock, as the stock is now, is below 0: left out
        NoStock,            // no stock record of the line's group and code: left out
        Return, // a negative quantity (a return) larger than the first stock record's quantity
    };
    QString group;
    QString code;
    double quantity = 0;
    Reason reason = Reason::StockRanOut;
};

// One line of the document: a quantity of one requirement line taken from one stock record.
struct PlannedLine {
    int number = 0; // Contor_secundar: 1, 2, 3... in the order the lines are written
    QString code;   // the requirement line's material
    // The stock record's values the document line copies, as stored.
    QVariant group, warehouse, lot, price, agent;
    double quantity = 0;       // taken from the record
    double stockLeft = 0;      // what the record keeps
    bool stockDeleted = false; // the record is emptied and deleted
    // How the line is written: the stock record as it stands before this line takes from it, the
    // material's catalog accounts, and whether the document line goes in before the stock
    // record changes (the first record held enough) or after (the quantity was spread).
    db::RecordBuffer stockBefore;
    QVariantList accounts;
    bool lineBeforeStock = false;
};

// A requirement line as the plan read it.
struct RequiredLine {
    QString group;
    QString code;
    double quantity = 0;
};

struct ConsumptionPlan {
    QList<RequiredLine> required; // the requirement lines, in the table's order
    QList<PlannedLine> lines;     // in the order they are written, numbered from 1
    QList<NotIssued> notIssued;   // every material that would not be issued in full
};

// Plans the consumption of the open requirement table (in browse mode) from the stock as the
// database holds it now: the lines in the table's order; lines whose quantity is nothing
// (within 0.000001) take nothing; `leftOut` ("<group>\n<code>", as negativeRequirementLines
// answers) are the lines the user agreed to leave out. For each other line the first matching
// stock record in key order decides: it holds enough and gives one document line, or the
// material's records are emptied one after the other, in key order, records holding nothing
// passed over, until the quantity is covered. A record left holding no more than 0.000001 is
// deleted. Reads the requirement lines, their catalog accounts and their stock with one
// statement each; inside a transaction the stock records read are kept from other users until
// it ends. Writes nothing. Raises base::DatabaseError.
ConsumptionPlan planConsumption(TQDMDataModule& dm, const QSet<QString>& leftOut);

// What generating the consumption document now would write, for the preview: the plan, with
// the lines left out that the generation would leave out (those whose final stock is below 0).
// Opens the stock and catalog tables when they are closed; writes nothing.
ConsumptionPlan previewConsumption(TQDMDataModule& dm);

} // namespace requirement
