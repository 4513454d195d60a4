#pragma once
// Builds the requirement of one goods receipt into the user's requirement table "temp.DB" and
// reads its lines with their stock figures. Widget-free: the requirement sheet, the command line
// and the benchmarks call the same code.
#include <QList>
#include <QString>
#include <QStringList>

class TQDMDataModule;

namespace requirement {

// What the build found besides the requirement lines, for the sheet to tell the user.
struct BuildReport {
    // Products of the receipt whose recipe batch quantity (CantReteta) is zero or empty: they
    // yield no requirement lines. "<group> <code>" each, once.
    QStringList productsWithoutBatchQuantity;
    // Receipt lines that yield no requirement at all (no recipe, or no catalog record under the
    // line's group). "<group> <code>" each, once.
    QStringList productsWithoutRequirement;
    // Semi-finished products that have a recipe but no usable batch quantity, met while the
    // requirement descended through semi-finished products (SemiPrinReteta): they stay lines
    // of the requirement. "<group> <code>" each, once.
    QStringList semiFinishedWithoutBatchQuantity;
    // Whether DocInTable was positioned on the receipt header (else it stands where the
    // search left it).
    bool receiptFound = false;
};

// Re-reads the production settings, runs the two requirement queries for the receipt whose
// counter is docInContor, batch-copies them into the requirement table, adds its primary index,
// opens StocTable, CatalogTable1, ItemInTable, CounterTable, TempTable and DocInTable in that
// order and positions DocInTable on the receipt header. Rows whose quantity is empty (a product
// whose batch quantity is zero or empty) are not copied. When the production settings turn on
// SemiPrinReteta, the semi-finished products with a recipe of their own are replaced by the
// materials of their recipes before the lines are added up (semi_finished.h); recipes that form
// a cycle or go too deep raise RecipeStructureError and build nothing. Raises
// base::DatabaseError on a database failure; the datasets opened so far then stay open
// (closeRequirement closes them).
BuildReport buildRequirement(TQDMDataModule& dm, double docInContor);

// The counter of the receipt whose requirement the last build computed (-9999 before any).
double requirementReceipt(TQDMDataModule& dm);

// Deactivates TempTable, deletes the requirement table (when there is one) and closes
// StocTable, CatalogTable1, DocInTable, ItemInTable and CounterTable in that order. Raises
// base::DatabaseError; the remaining steps are then skipped.
void closeRequirement(TQDMDataModule& dm);

// One requirement line as the sheet shows it.
struct RequirementLine {
    QString group;
    QString code;
    QString name;
    double quantity = 0;
    double stockOnHand = 0;
    double finalStock = 0;
};

// Every line of the open requirement table, in its order, with its stock figures as they are
// computed now. The table's current line is kept and its controls do not follow the walk.
// Raises base::DatabaseError while a line is being edited or inserted.
QList<RequirementLine> readRequirementLines(TQDMDataModule& dm);

} // namespace requirement
