#include "requirement/consumption_trace.h"

#include "platform/db/row_insert.h"

#include "platform/db/database.h"
#include "platform/db/query.h"

namespace requirement {

namespace {

const QString kTable = QStringLiteral("ConsStoc.DB");

} // namespace

db::TableDef consumptionTraceDef() {
    using db::FieldType;
    db::TableDef def;
    def.name = kTable;
    def.fields = {{QStringLiteral("Contor"), FieldType::Float, 0, true},
                  {QStringLiteral("Contor_secundar"), FieldType::Float, 0, true},
                  {QStringLiteral("Cod_gestiune"), FieldType::Text, 4, false},
                  {QStringLiteral("Cod_grupa"), FieldType::Text, 8, false},
                  {QStringLiteral("Cod_articol"), FieldType::Text, 30, false},
                  {QStringLiteral("Lot"), FieldType::Text, 30, false},
                  {QStringLiteral("Pret_achizitie"), FieldType::Float, 0, false},
                  {QStringLiteral("Agent"), FieldType::Text, 3, false},
                  {QStringLiteral("Cant_inainte"), FieldType::Float, 0, false},
                  {QStringLiteral("Cant_dupa"), FieldType::Float, 0, false},
                  {QStringLiteral("Sters"), FieldType::Boolean, 0, false}};
    def.indexes = {
        {QString(), {QStringLiteral("Contor"), QStringLiteral("Contor_secundar")}, true, true}};
    return def;
}

void ensureConsumptionTrace(db::Database& database) {
    if (!database.tableExists(kTable))
        database.createTable(consumptionTraceDef());
}

void writeConsumptionTrace(db::Database& database, double document,
                           const QList<TracedLine>& lines) {
    QList<QVariantList> rows;
    for (const TracedLine& l : lines)
        rows << QVariantList{document, double(l.line), l.warehouse, l.group, l.code,   l.lot,
                             l.price,  l.agent,        l.before,    l.after, l.deleted};
    db::insertRows(database, consumptionTraceDef(), rows);
}

QList<TracedLine> consumptionTrace(db::Database& database, double document) {
    QList<TracedLine> out;
    if (!database.tableExists(kTable))
        return out;
    db::Query q(QStringLiteral("ConsStocQuery"));
    q.setSession(&database.session());
    q.setDatabaseName(database.databaseName());
    q.setSqlText(QStringLiteral(
        "SELECT Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, "
        "Agent, Cant_inainte, Cant_dupa, Sters FROM \"ConsStoc.DB\" WHERE Contor = :Contor "
        "ORDER BY Contor_secundar"));
    q.paramByName(QStringLiteral("Contor")).setAsFloat(document);
    q.open();
    for (; !q.eof(); q.next()) {
        auto f = [&](const char* name) { return q.fieldByName(QString::fromLatin1(name)); };
        TracedLine l;
        l.line = int(f("Contor_secundar")->asFloat());
        l.warehouse = f("Cod_gestiune")->value();
        l.group = f("Cod_grupa")->value();
        l.code = f("Cod_articol")->value();
        l.lot = f("Lot")->value();
        l.price = f("Pret_achizitie")->value();
        l.agent = f("Agent")->value();
        l.before = f("Cant_inainte")->asFloat();
        l.after = f("Cant_dupa")->asFloat();
        l.deleted = f("Sters")->asBoolean();
        out << l;
    }
    q.close();
    return out;
}

} // namespace requirement
