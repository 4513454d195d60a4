#pragma once
// Recipes to and from CSV files: the recipe table's columns (Cod, Cod_MatPrim, Cod_Grupa,
// Cant_MatPrim) and the product's batch quantity (CantReteta), one line per recipe line.
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

namespace cli {

class BatchCompany;
struct CsvRecord;

// Writes every recipe line, ordered by product and material; answers the number of lines.
int exportRecipes(BatchCompany& company, QTextStream& out);

struct ImportOutcome {
    int lines = 0;       // recipe lines in the file
    int products = 0;    // products whose recipe the file gives
    QStringList refused; // "linia N: reason", in file order; empty when every line passed
};

// Replaces the recipes of the products named in the file with the file's lines, under the
// recipe editor's rules (a raw material or semi-finished product of the line's group, every
// field filled, a known product, a positive batch quantity). All or nothing: with any refused
// line, or with dryRun, nothing is written. Database failures raise db's errors.
ImportOutcome importRecipes(BatchCompany& company, const QList<CsvRecord>& records, bool dryRun);

} // namespace cli
