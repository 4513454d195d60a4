#pragma once
// The recipe beside the issue: for every consumption document the module writes, each
// material's quantity as the recipes gave it, as the requirement sheet held it when the
// document was asked for (after the user's corrections) and as the document issued it, with the
// issued value at purchase price. Kept in the module's own table "ConsRet.DB", written in the
// generation's transaction; the material variances are read from it.
#include "platform/db/field_type.h"

#include <QDate>
#include <QList>
#include <QString>

class TQDMDataModule;

namespace db {
class Database;
}

namespace requirement {

struct ConsumptionPlan;

// "ConsRet.DB": Contor (the document), Cod_grupa, Cod_MatPrim (the primary key with Contor),
// Data (the document's date), Cant_reteta (empty for a material the recipes did not ask for),
// Cant_fisa, Cant_emisa, Valoare_emisa.
db::TableDef recipeBesideIssueDef();

void ensureRecipeBesideIssue(db::Database& database);

// Keeps the recipe's quantity of every line of the requirement table just built, before the
// user can correct it (TQDMDataModule::TempRecipeQuantities).
void rememberRecipeQuantities(TQDMDataModule& dm);

// Whether the line's quantity differs from the recipe's (a line the recipes did not give
// differs).
bool quantityChanged(TQDMDataModule& dm, const QString& group, const QString& code,
                     double quantity);

// Writes the rows of the document just written from `plan`, inside its transaction: one per
// material the recipes asked for or the requirement table holds, with what the plan's lines
// issued. Creates the table where missing.
void writeRecipeBesideIssue(TQDMDataModule& dm, double document, const QDate& date,
                            const ConsumptionPlan& plan);

struct RecipeIssueRow {
    QString group;
    QString code;
    bool fromRecipe = false;
    double recipe = 0;
    double sheet = 0;
    double issued = 0;
    double issuedValue = 0;
};

// The rows of one document, by group and code.
QList<RecipeIssueRow> recipeBesideIssue(db::Database& database, double document);

// A material's variance over the consumption documents of a period: what was issued beyond
// what the recipes asked for (negative: less), valued at the average price it was issued at.
struct MaterialVariance {
    QString group;
    QString code;
    double recipe = 0;
    double sheet = 0;
    double issued = 0;
    double issuedValue = 0;
    double quantity = 0;     // issued - recipe
    bool hasValue = false;   // false when nothing was issued: there is no issued price
    double value = 0;        // quantity at the issued price
    bool hasPercent = false; // false when the recipes asked for nothing
    double percent = 0;      // quantity / recipe * 100
};

// Every material of the documents dated from `from` to `to` (either invalid: unbounded),
// leaving out the documents that were reversed; largest variance value first, then largest
// quantity, then group and code.
QList<MaterialVariance> materialVariances(db::Database& database, const QDate& from,
                                          const QDate& to);

} // namespace requirement
