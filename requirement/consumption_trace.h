#pragma once
// Where each line of a consumption document took its quantity from: for every line, the stock
// record as it stood before the line (warehouse, group, article, lot, price, agent and
// quantity), its quantity after, and whether the line emptied and deleted it. Kept in the
// module's own table "ConsStoc.DB", written in the generation's transaction, so that a
// reversal can put every quantity back where it came from and recreate a record the document
// deleted exactly as it was.
#include "platform/db/field_type.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Database;
}

namespace requirement {

// "ConsStoc.DB": Contor and Contor_secundar (the document line, the primary key), the stock
// record's Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, Agent, Cant_inainte (its
// quantity before the line), Cant_dupa (after; 0 when deleted) and Sters (deleted).
db::TableDef consumptionTraceDef();

void ensureConsumptionTrace(db::Database& database);

struct TracedLine {
    int line = 0; // Contor_secundar
    // The stock record's fields as stored (a null is an empty text).
    QVariant warehouse, group, code, lot, price, agent;
    double before = 0;
    double after = 0;
    bool deleted = false;
};

// Writes the lines of one document; the table must exist.
void writeConsumptionTrace(db::Database& database, double document, const QList<TracedLine>& lines);

// The traced lines of one document, in line order; none when it was not traced (written before
// the trace was kept) or there is no table.
QList<TracedLine> consumptionTrace(db::Database& database, double document);

} // namespace requirement
