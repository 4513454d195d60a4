#pragma once
// The module's register of the consumption documents it wrote: for every document, the goods
// receipt it consumed for and the document's counter and date, in the module's own table
// "Consum.DB". The generation records each document in the same transaction that writes it, so
// the register never names a document that is not there, nor misses one the module wrote.
// The table is declared to the host beside the recipe table, and created here where missing.
#include "platform/db/field_type.h"

#include <QDate>
#include <QList>

namespace db {
class Database;
}

namespace requirement {

// "Consum.DB": Contor_intrare (the receipt's counter), Contor_iesire (the document's counter,
// the primary key), Data (the document's date).
db::TableDef consumptionRegisterDef();

struct RegisteredConsumption {
    double receipt = 0;  // Contor of the goods receipt (Doc_in)
    double document = 0; // Contor of the consumption document (Doc_out)
    QDate date;
};

// Creates the register when the database has none.
void ensureConsumptionRegister(db::Database& database);

// The documents registered for one receipt that were not reversed, in counter order; none when
// there is no register.
QList<RegisteredConsumption> consumptionsOfReceipt(db::Database& database, double receipt);

// Records one document; the register must exist. Raises base::DatabaseError (a key violation
// for a document counter registered already).
void registerConsumption(db::Database& database, const RegisteredConsumption& entry);

// "Stornare.DB", the reversals: Contor_iesire (the reversed document's counter, the primary
// key, so that a document is reversed once however many users try at once), Contor_stornare
// (the counter of the document that reversed it), Data (that document's date).
db::TableDef reversalRegisterDef();

// Creates the register of reversals when the database has none.
void ensureReversalRegister(db::Database& database);

struct RegisteredReversal {
    double document = 0; // Contor of the reversed consumption document
    double reversal = 0; // Contor of the document that reversed it
    QDate date;
};

// The reversal of a document, when it was reversed (reversal 0 otherwise); none without a
// register.
RegisteredReversal reversalOf(db::Database& database, double document);

// Whether the document is itself the reversal of another.
bool isReversalDocument(db::Database& database, double document);

// Records a reversal; the register must exist. Raises base::DatabaseError, a key violation
// when the document was reversed already.
void registerReversal(db::Database& database, const RegisteredReversal& entry);

} // namespace requirement
