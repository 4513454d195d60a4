#include "requirement/recipe_issue.h"

#include "platform/db/row_insert.h"
#include "requirement/consumption_plan.h"

#include "data/qdm_data_module.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/table.h"
#include "platform/db/table_name.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace requirement {

namespace {

const QString kTable = QStringLiteral("ConsRet.DB");

// A correction smaller than this is rounding, not something the user typed.
constexpr double kTolerance = 0.000001;

QString key(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

void prepare(db::Query& q, db::Database& database, const QString& sql) {
    q.setSession(&database.session());
    q.setDatabaseName(database.databaseName());
    q.setSqlText(sql);
}

} // namespace

db::TableDef recipeBesideIssueDef() {
    using db::FieldType;
    db::TableDef def;
    def.name = kTable;
    def.fields = {{QStringLiteral("Contor"), FieldType::Float, 0, true},
                  {QStringLiteral("Cod_grupa"), FieldType::Text, 8, false},
                  {QStringLiteral("Cod_MatPrim"), FieldType::Text, 30, true},
                  {QStringLiteral("Data"), FieldType::Date, 0, false},
                  {QStringLiteral("Cant_reteta"), FieldType::Float, 0, false},
                  {QStringLiteral("Cant_fisa"), FieldType::Float, 0, false},
                  {QStringLiteral("Cant_emisa"), FieldType::Float, 0, false},
                  {QStringLiteral("Valoare_emisa"), FieldType::Float, 0, false}};
    def.indexes = {
        {QString(),
         {QStringLiteral("Contor"), QStringLiteral("Cod_grupa"), QStringLiteral("Cod_MatPrim")},
         true,
         true},
        {QStringLiteral("Data"), {QStringLiteral("Data")}, false, false}};
    return def;
}

void ensureRecipeBesideIssue(db::Database& database) {
    if (!database.tableExists(kTable))
        database.createTable(recipeBesideIssueDef());
}

void rememberRecipeQuantities(TQDMDataModule& dm) {
    dm.TempRecipeQuantities.clear();
    // Read straight from the requirement table as the build left it: a line's lookups and
    // calculated values are of no use here.
    db::Table& req = dm.TempTable;
    db::Connection& c = req.database().connection();
    const db::Dialect& d = c.dialect();
    auto rows = c.prepare(QStringLiteral("SELECT %1, %2, %3 FROM %4")
                              .arg(d.identifier(dm.TempTableCod_grupa->fieldName()),
                                   d.identifier(dm.TempTableCod_MatPrim->fieldName()),
                                   d.identifier(dm.TempTableCant->fieldName()),
                                   d.table(db::storedTableName(req.tableName()))));
    db::StatementUse use(*rows);
    while (rows->step())
        dm.TempRecipeQuantities.insert(key(rows->column(0, db::FieldType::Text).toString(),
                                           rows->column(1, db::FieldType::Text).toString()),
                                       rows->columnIsNull(2) ? 0.0 : rows->columnDouble(2));
}

bool quantityChanged(TQDMDataModule& dm, const QString& group, const QString& code,
                     double quantity) {
    const auto recipe = dm.TempRecipeQuantities.constFind(key(group, code));
    return recipe == dm.TempRecipeQuantities.constEnd() ||
           std::fabs(*recipe - quantity) > kTolerance;
}

void writeRecipeBesideIssue(TQDMDataModule& dm, double document, const QDate& date,
                            const ConsumptionPlan& plan) {
    db::Database& database = dm.GhostDB;
    ensureRecipeBesideIssue(database);
    // By group and code, so that the rows are written in key order.
    QMap<QString, RecipeIssueRow> rows;
    auto row = [&](const QString& group, const QString& code) -> RecipeIssueRow& {
        RecipeIssueRow& r = rows[key(group, code)];
        r.group = group;
        r.code = code;
        return r;
    };
    for (auto it = dm.TempRecipeQuantities.constBegin(); it != dm.TempRecipeQuantities.constEnd();
         ++it) {
        const QStringList parts = it.key().split(QLatin1Char('\n'));
        RecipeIssueRow& r = row(parts.value(0), parts.value(1));
        r.fromRecipe = true;
        r.recipe = it.value();
    }
    for (const RequiredLine& line : plan.required)
        row(line.group, line.code).sheet += line.quantity;
    // What the document's lines issue, under the group of the stock record each was taken from,
    // as the document's lines are stored; a line without a price adds no value.
    for (const PlannedLine& line : plan.lines) {
        RecipeIssueRow& r = row(line.group.toString(), line.code);
        r.issued += line.quantity;
        if (!line.price.isNull())
            r.issuedValue += line.quantity * line.price.toDouble();
    }

    QList<QVariantList> out;
    for (const RecipeIssueRow& r : std::as_const(rows))
        out << QVariantList{
            document, r.group,  r.code,       date, r.fromRecipe ? QVariant(r.recipe) : QVariant(),
            r.sheet,  r.issued, r.issuedValue};
    db::insertRows(database, recipeBesideIssueDef(), out);
}

QList<RecipeIssueRow> recipeBesideIssue(db::Database& database, double document) {
    QList<RecipeIssueRow> out;
    if (!database.tableExists(kTable))
        return out;
    db::Query q(QStringLiteral("RecipeIssueQuery"));
    prepare(q, database,
            QStringLiteral("SELECT Cod_grupa, Cod_MatPrim, Cant_reteta, "
                           "Cant_fisa, Cant_emisa, Valoare_emisa FROM "
                           "ConsRet WHERE Contor = :Contor ORDER BY "
                           "Cod_grupa, Cod_MatPrim"));
    q.paramByName(QStringLiteral("Contor")).setAsFloat(document);
    q.open();
    for (; !q.eof(); q.next()) {
        auto f = [&](const char* name) { return q.fieldByName(QString::fromLatin1(name)); };
        out << RecipeIssueRow{f("Cod_grupa")->asString(),   f("Cod_MatPrim")->asString(),
                              !f("Cant_reteta")->isNull(),  f("Cant_reteta")->asFloat(),
                              f("Cant_fisa")->asFloat(),    f("Cant_emisa")->asFloat(),
                              f("Valoare_emisa")->asFloat()};
    }
    q.close();
    return out;
}

QList<MaterialVariance> materialVariances(db::Database& database, const QDate& from,
                                          const QDate& to) {
    QList<MaterialVariance> out;
    if (!database.tableExists(kTable))
        return out;
    QString sql = QStringLiteral(
        "SELECT R.Cod_grupa, R.Cod_MatPrim, SUM(R.Cant_reteta) AS Reteta, SUM(R.Cant_fisa) AS "
        "Fisa, SUM(R.Cant_emisa) AS Emisa, SUM(R.Valoare_emisa) AS Valoare FROM ConsRet R "
        "WHERE 1 = 1");
    // A reversed document issued nothing in the end.
    if (database.tableExists(QStringLiteral("Stornare.DB")))
        sql += QStringLiteral(
            " AND NOT EXISTS (SELECT 1 FROM Stornare S WHERE S.Contor_iesire = R.Contor)");
    if (from.isValid())
        sql += QStringLiteral(" AND R.Data >= :DeLa");
    if (to.isValid())
        sql += QStringLiteral(" AND R.Data <= :PanaLa");
    sql += QStringLiteral(" GROUP BY R.Cod_grupa, R.Cod_MatPrim");
    db::Query q(QStringLiteral("VarianceQuery"));
    prepare(q, database, sql);
    if (from.isValid())
        q.paramByName(QStringLiteral("DeLa")).setAsDate(from);
    if (to.isValid())
        q.paramByName(QStringLiteral("PanaLa")).setAsDate(to);
    q.open();
    for (; !q.eof(); q.next()) {
        auto f = [&](const char* name) { return q.fieldByName(QString::fromLatin1(name)); };
        MaterialVariance v;
        v.group = f("Cod_grupa")->asString();
        v.code = f("Cod_MatPrim")->asString();
        v.recipe = f("Reteta")->asFloat();
        v.sheet = f("Fisa")->asFloat();
        v.issued = f("Emisa")->asFloat();
        v.issuedValue = f("Valoare")->asFloat();
        v.quantity = v.issued - v.recipe;
        v.hasValue = v.issued != 0;
        v.value = v.hasValue ? v.quantity * v.issuedValue / v.issued : 0;
        v.hasPercent = v.recipe != 0;
        v.percent = v.hasPercent ? v.quantity / v.recipe * 100 : 0;
        out << v;
    }
    q.close();
    std::stable_sort(out.begin(), out.end(),
                     [](const MaterialVariance& a, const MaterialVariance& b) {
                         if (std::fabs(a.value) != std::fabs(b.value))
                             return std::fabs(a.value) > std::fabs(b.value);
                         if (std::fabs(a.quantity) != std::fabs(b.quantity))
                             return std::fabs(a.quantity) > std::fabs(b.quantity);
                         if (a.group != b.group)
                             return a.group < b.group;
                         return a.code < b.code;
                     });
    return out;
}

} // namespace requirement
