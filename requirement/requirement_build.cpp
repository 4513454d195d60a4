#include "requirement/requirement_build.h"

#include "requirement/recipe_issue.h"

#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/query.h"
#include "platform/db/read_burst.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"
#include "requirement/semi_finished.h"
#include "settings/production_settings.h"
#include "settings/production_settings_file.h"

#include <QSet>

namespace requirement {

namespace {

const QString kRequirementIndex = QStringLiteral("Cod_MatPrim");
const QString kRequirementKey = QStringLiteral("Cod_grupa;Cod_MatPrim");

// Why the lines of a receipt yield what they yield: for each line, in line order, whether its
// product has a catalog record under the line's group, a recipe, a usable batch quantity and
// a received quantity. Read by the same join conditions as the requirement query.
const QStringList kReceiptProductsSql = {
    QStringLiteral("SELECT D.Cod_grupa, D.Cod_articol,"),
    QStringLiteral(" (D.Cantitate IS NOT NULL) AS HasQuantity,"),
    QStringLiteral(" EXISTS (SELECT 1 FROM Reteta R WHERE R.Cod = D.Cod_articol) AS HasRecipe,"),
    QStringLiteral(" EXISTS (SELECT 1 FROM Catalog C WHERE C.Cod = D.Cod_articol AND C.Grupa = "
                   "D.Cod_grupa) AS InCatalog,"),
    QStringLiteral(
        " EXISTS (SELECT 1 FROM Catalog C WHERE C.Cod = D.Cod_articol AND C.Grupa = D.Cod_grupa"),
    QStringLiteral("         AND C.CantReteta IS NOT NULL AND C.CantReteta <> 0) AS HasBatch"),
    QStringLiteral("FROM Item_in D"),
    QStringLiteral("WHERE D.Contor = :Contor"),
    QStringLiteral("ORDER BY D.Contor_secundar"),
};

// Products of the receipt that yield no requirement, and why. Read straight through the
// connection, which keeps the statement from one sheet to the next.
BuildReport explainReceipt(TQDMDataModule& dm, double docInContor) {
    db::Connection& c = dm.GhostDB.connection();
    auto q = c.prepareQuery(kReceiptProductsSql.join(QLatin1Char('\n')));
    db::StatementUse use(*q);
    q->bind(q->parameterIndex(QStringLiteral("Contor")), docInContor);
    enum Column { Group, Code, HasQuantity, HasRecipe, InCatalog, HasBatch };
    BuildReport report;
    QSet<QString> seen;
    while (q->step()) {
        const QString product = q->column(Group, db::FieldType::Text).toString() +
                                QLatin1Char(' ') + q->column(Code, db::FieldType::Text).toString();
        if (seen.contains(product))
            continue;
        const auto flag = [&q](Column column) { return q->columnDouble(column) != 0; };
        if (!flag(HasRecipe) || !flag(InCatalog) || !flag(HasQuantity)) {
            seen.insert(product);
            report.productsWithoutRequirement << product;
        } else if (!flag(HasBatch)) {
            seen.insert(product);
            report.productsWithoutBatchQuantity << product;
        }
    }
    return report;
}

// Copies a query into the requirement table, replacing it.
void copyIntoRequirementTable(TQDMDataModule& dm, db::Query& source) {
    dm.TempBatchMove.setSource(&source);
    dm.TempBatchMove.setDestination(&dm.TempTable);
    dm.TempBatchMove.setMode(db::BatchMove::Mode::Copy);
    dm.TempBatchMove.execute();
}

// Replaces, in the requirement table as the per-line query filled it, the semi-finished products
// that have a recipe of their own by the materials of their recipes (semi_finished.h). The
// table is rewritten only when something was descended.
void descendThroughSemiFinished(TQDMDataModule& dm, BuildReport& report) {
    db::Database& own = dm.TempTable.database();
    QList<MaterialNeed> needs;
    {
        db::Query rows(QStringLiteral("RequirementRows"));
        rows.setSession(&own.session());
        rows.setDatabaseName(own.databaseName());
        rows.setSqlText(QStringLiteral("SELECT Cod_Grupa, Cod_MatPrim, Cant FROM \"Temp.Db\""));
        rows.open();
        for (; !rows.eof(); rows.next())
            needs << MaterialNeed{rows.fieldByName(QStringLiteral("Cod_Grupa"))->asString(),
                                  rows.fieldByName(QStringLiteral("Cod_MatPrim"))->asString(),
                                  rows.fieldByName(QStringLiteral("Cant"))->asFloat()};
    }
    const Descent descent = descendSemiFinished(dm.GhostDB, needs);
    report.semiFinishedWithoutBatchQuantity = descent.withoutBatchQuantity;
    if (!descent.descended)
        return;
    db::Connection& c = own.connection();
    const QString table = dm.TempTable.tableName();
    c.emptyTable(db::storedTableName(table));
    const db::Dialect& d = c.dialect();
    auto insert = c.prepare(
        QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (%5, %6, %7)")
            .arg(d.table(db::storedTableName(table)), d.identifier(QStringLiteral("Cod_Grupa")),
                 d.identifier(QStringLiteral("Cod_MatPrim")), d.identifier(QStringLiteral("Cant")),
                 d.parameter(1), d.parameter(2), d.parameter(3)));
    const int group = 1, code = 2, quantity = 3;
    for (const MaterialNeed& need : descent.needs) {
        db::StatementUse use(*insert);
        insert->bind(group, db::toStored(db::FieldType::Text, need.group));
        insert->bind(code, db::toStored(db::FieldType::Text, need.code));
        insert->bind(quantity, need.quantity);
        insert->step();
    }
    c.noteWrite();
}

} // namespace

BuildReport buildRequirement(TQDMDataModule& dm, double docInContor) {
    LoadProductionSettings();

    // A product whose batch quantity is zero or empty makes the division yield no value; its
    // rows are left out rather than copied as lines without a quantity (and reported).
    db::Query& perLine = dm.CalcNecesQuery;
    perLine.close();
    perLine.paramByName(QStringLiteral("Contor")).setAsFloat(docInContor);
    const db::DataSet::FilterEvent savedFilter = perLine.onFilterRecord;
    const bool savedFiltered = perLine.isFiltered();
    const auto restoreFilter = [&] {
        perLine.onFilterRecord = savedFilter;
        perLine.setFiltered(savedFiltered);
    };
    perLine.onFilterRecord = [](db::DataSet& d, bool& accept) {
        accept = !d.fieldByName(QStringLiteral("Cant"))->isNull();
    };
    perLine.setFiltered(true);
    BuildReport descentReport;
    try {
        // The copies and the index are one transaction of the private database: the table is
        // written to disk once, and a build that fails leaves no half-built table behind.
        dm.TempTable.database().transaction([&] {
            perLine.open();
            copyIntoRequirementTable(dm, perLine);
            restoreFilter();
            if (SemiPrinReteta)
                descendThroughSemiFinished(dm, descentReport);
            dm.CalcNecesQuery2.close();
            dm.CalcNecesQuery2.open();
            copyIntoRequirementTable(dm, dm.CalcNecesQuery2);
            dm.TempTable.addIndex(kRequirementIndex, kRequirementKey, true);
        });
    } catch (...) {
        restoreFilter();
        throw;
    }

    // The sheet's tables open, and the figures below are read, as one read of each database.
    const db::ReadBurst burst;
    for (db::DataSet* d :
         {static_cast<db::DataSet*>(&dm.StocTable), static_cast<db::DataSet*>(&dm.CatalogTable1),
          static_cast<db::DataSet*>(&dm.ItemInTable), static_cast<db::DataSet*>(&dm.CounterTable),
          static_cast<db::DataSet*>(&dm.TempTable), static_cast<db::DataSet*>(&dm.DocInTable)})
        d->open();

    // The recipe's figures are kept before the user can correct a line.
    rememberRecipeQuantities(dm);

    BuildReport report = explainReceipt(dm, docInContor);
    report.semiFinishedWithoutBatchQuantity = descentReport.semiFinishedWithoutBatchQuantity;
    report.receiptFound = dm.DocInTable.findKey({docInContor});
    return report;
}

double requirementReceipt(TQDMDataModule& dm) {
    // The per-line query keeps the receipt it was last run for.
    const QVariant& contor = dm.CalcNecesQuery.paramByName(QStringLiteral("Contor")).value();
    return contor.isNull() ? -9999.0 : contor.toDouble();
}

void closeRequirement(TQDMDataModule& dm) {
    dm.TempRecipeQuantities.clear();
    dm.TempTable.close();
    // A build that failed before the copy leaves no table to delete.
    if (dm.TempTable.exists())
        dm.TempTable.deleteTable();
    // The queries' rows were copied into the requirement table: their memory goes with the sheet.
    for (db::DataSet* d :
         {static_cast<db::DataSet*>(&dm.StocTable), static_cast<db::DataSet*>(&dm.CatalogTable1),
          static_cast<db::DataSet*>(&dm.DocInTable), static_cast<db::DataSet*>(&dm.ItemInTable),
          static_cast<db::DataSet*>(&dm.CounterTable),
          static_cast<db::DataSet*>(&dm.CalcNecesQuery),
          static_cast<db::DataSet*>(&dm.CalcNecesQuery2)})
        d->close();
}

QList<RequirementLine> readRequirementLines(TQDMDataModule& dm) {
    db::Table& t = dm.TempTable;
    QList<RequirementLine> lines;
    if (!t.isActive())
        return lines;
    if (t.state() != db::DataSetState::Browse)
        throw base::DatabaseError(
            QStringLiteral("The requirement lines cannot be read while a line is being edited."),
            base::DatabaseError::Kind::InvalidState);
    const db::Bookmark here = t.bookmark();
    t.disableControls();
    try {
        for (t.first(); !t.eof(); t.next()) {
            RequirementLine line;
            line.group = dm.TempTableCod_grupa->asString();
            line.code = dm.TempTableCod_MatPrim->asString();
            line.name = dm.TempTableDenumire->asString();
            line.quantity = dm.TempTableCant->asFloat();
            line.stockOnHand = dm.TempTableStocExist->asFloat();
            line.finalStock = dm.TempTableStocFin->asFloat();
            lines << line;
        }
        if (t.bookmarkValid(here))
            t.gotoBookmark(here);
        else
            t.first();
    } catch (...) {
        t.enableControls();
        throw;
    }
    t.enableControls();
    return lines;
}

} // namespace requirement
