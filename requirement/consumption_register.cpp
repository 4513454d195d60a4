#include "requirement/consumption_register.h"

#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

namespace requirement {

namespace {

const QString kTable = QStringLiteral("Consum.DB");
const QString kReversals = QStringLiteral("Stornare.DB");

// The one row of a query on the reversals whose parameter :Contor is `counter`.
RegisteredReversal readReversal(db::Database& database, const QString& column, double counter) {
    RegisteredReversal out;
    if (!database.tableExists(kReversals))
        return out;
    db::Query q(QStringLiteral("Reversal"));
    q.setSession(&database.session());
    q.setDatabaseName(database.databaseName());
    q.setSqlText(QStringLiteral("SELECT Contor_iesire, Contor_stornare, Data FROM "
                                "\"Stornare.DB\" WHERE %1 = :Contor")
                     .arg(column));
    q.paramByName(QStringLiteral("Contor")).setAsFloat(counter);
    q.open();
    if (!q.eof())
        out = {q.fieldByName(QStringLiteral("Contor_iesire"))->asFloat(),
               q.fieldByName(QStringLiteral("Contor_stornare"))->asFloat(),
               q.fieldByName(QStringLiteral("Data"))->asDate()};
    q.close();
    return out;
}

} // namespace

db::TableDef consumptionRegisterDef() {
    db::TableDef def;
    def.name = kTable;
    def.fields = {{QStringLiteral("Contor_intrare"), db::FieldType::Float, 0, true},
                  {QStringLiteral("Contor_iesire"), db::FieldType::Float, 0, true},
                  {QStringLiteral("Data"), db::FieldType::Date, 0, false}};
    def.indexes = {
        {QString(), {QStringLiteral("Contor_iesire")}, true, true},
        {QStringLiteral("Contor_intrare"), {QStringLiteral("Contor_intrare")}, false, false}};
    return def;
}

void ensureConsumptionRegister(db::Database& database) {
    if (!database.tableExists(kTable))
        database.createTable(consumptionRegisterDef());
}

QList<RegisteredConsumption> consumptionsOfReceipt(db::Database& database, double receipt) {
    QList<RegisteredConsumption> out;
    if (!database.tableExists(kTable))
        return out;
    db::Query q(QStringLiteral("ReceiptConsumptions"));
    q.setSession(&database.session());
    q.setDatabaseName(database.databaseName());
    // A reversed document took nothing out in the end: a new one for the receipt is no repeat.
    const QString notReversed =
        database.tableExists(kReversals)
            ? QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM Stornare S WHERE S.Contor_iesire = "
                             "C.Contor_iesire)")
            : QString();
    q.setSqlText(QStringLiteral("SELECT C.Contor_iesire, C.Data FROM Consum C WHERE "
                                "C.Contor_intrare = :Contor%1 ORDER BY C.Contor_iesire")
                     .arg(notReversed));
    q.paramByName(QStringLiteral("Contor")).setAsFloat(receipt);
    q.open();
    for (; !q.eof(); q.next())
        out << RegisteredConsumption{receipt,
                                     q.fieldByName(QStringLiteral("Contor_iesire"))->asFloat(),
                                     q.fieldByName(QStringLiteral("Data"))->asDate()};
    q.close();
    return out;
}

void registerConsumption(db::Database& database, const RegisteredConsumption& entry) {
    db::Table t(QStringLiteral("ConsumTable"));
    t.setSession(&database.session());
    t.setDatabaseName(database.databaseName());
    t.setTableName(kTable);
    t.open();
    t.append();
    t.fieldByName(QStringLiteral("Contor_intrare"))->setAsFloat(entry.receipt);
    t.fieldByName(QStringLiteral("Contor_iesire"))->setAsFloat(entry.document);
    t.fieldByName(QStringLiteral("Data"))->setAsDate(entry.date);
    t.post();
    t.close();
}

db::TableDef reversalRegisterDef() {
    db::TableDef def;
    def.name = kReversals;
    def.fields = {{QStringLiteral("Contor_iesire"), db::FieldType::Float, 0, true},
                  {QStringLiteral("Contor_stornare"), db::FieldType::Float, 0, true},
                  {QStringLiteral("Data"), db::FieldType::Date, 0, false}};
    def.indexes = {
        {QString(), {QStringLiteral("Contor_iesire")}, true, true},
        {QStringLiteral("Contor_stornare"), {QStringLiteral("Contor_stornare")}, false, false}};
    return def;
}

void ensureReversalRegister(db::Database& database) {
    if (!database.tableExists(kReversals))
        database.createTable(reversalRegisterDef());
}

RegisteredReversal reversalOf(db::Database& database, double document) {
    return readReversal(database, QStringLiteral("Contor_iesire"), document);
}

bool isReversalDocument(db::Database& database, double document) {
    return readReversal(database, QStringLiteral("Contor_stornare"), document).reversal != 0;
}

void registerReversal(db::Database& database, const RegisteredReversal& entry) {
    db::Table t(QStringLiteral("StornareTable"));
    t.setSession(&database.session());
    t.setDatabaseName(database.databaseName());
    t.setTableName(kReversals);
    t.open();
    t.append();
    t.fieldByName(QStringLiteral("Contor_iesire"))->setAsFloat(entry.document);
    t.fieldByName(QStringLiteral("Contor_stornare"))->setAsFloat(entry.reversal);
    t.fieldByName(QStringLiteral("Data"))->setAsDate(entry.date);
    t.post();
    t.close();
}

} // namespace requirement
