#include "cli/recipe_transfer.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/csv.h"
#include "cli/progress_line.h"
#include "cli/report_table.h"
#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/db/table.h"

#include <QHash>
#include <QLocale>
#include <QTextStream>

#include <cmath>

namespace cli {

namespace {

const QStringList kColumns = {QStringLiteral("Cod"), QStringLiteral("Cod_MatPrim"),
                              QStringLiteral("Cod_Grupa"), QStringLiteral("Cant_MatPrim"),
                              QStringLiteral("CantReteta")};

void placeOnCompany(db::Table& table, BatchCompany& company, const char* tableName) {
    table.setSession(&company.session());
    table.setDatabaseName(QStringLiteral("KRVPROD"));
    table.setTableName(QString::fromLatin1(tableName));
}

// A number as a spreadsheet may write it: decimal point or decimal comma.
bool parseNumber(QString text, double& value) {
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value);
}

struct RecipeRow {
    int line = 0;
    QString product, material, group;
    double quantity = 0;
    double batch = 0;
};

QString at(int line) {
    return QStringLiteral("linia %1: ").arg(line);
}

// Checks each record on its own and against the others; answers the rows that can be tried
// against the company, and adds the refusals.
QList<RecipeRow> readRows(const QList<CsvRecord>& records, QStringList& refused) {
    if (records.isEmpty())
        refuse(QStringLiteral("Fișierul este gol: lipsește rândul de antet (%1).")
                   .arg(kColumns.join(QLatin1Char(','))));
    QList<int> position;
    for (const QString& name : kColumns) {
        const QStringList& header = records.first().fields;
        const auto found = std::find_if(header.begin(), header.end(), [&](const QString& h) {
            return h.compare(name, Qt::CaseInsensitive) == 0;
        });
        const qsizetype i = found == header.end() ? -1 : found - header.begin();
        if (i < 0)
            refuse(QStringLiteral("Antetul fișierului nu are coloana %1 (coloanele cerute: %2).")
                       .arg(name, kColumns.join(QLatin1Char(','))));
        position << int(i);
    }
    QList<RecipeRow> rows;
    QHash<QString, int> firstLineOfPair;
    QHash<QString, const RecipeRow*> firstOfProduct;
    rows.reserve(records.size());
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        QStringList v;
        for (int p : position)
            v << rec.fields.value(p).trimmed();
        QStringList missing;
        for (int c = 0; c < kColumns.size(); ++c)
            if (v[c].isEmpty())
                missing << kColumns[c];
        if (!missing.isEmpty()) {
            refused << at(rec.line) +
                           QStringLiteral("lipsește %1 (toate datele liniei sunt obligatorii)")
                               .arg(missing.join(QStringLiteral(", ")));
            continue;
        }
        RecipeRow row{rec.line, v[0], v[1], v[2]};
        if (!parseNumber(v[3], row.quantity)) {
            refused << at(rec.line) + QStringLiteral("Cant_MatPrim nu este un număr: %1").arg(v[3]);
            continue;
        }
        if (!parseNumber(v[4], row.batch)) {
            refused << at(rec.line) + QStringLiteral("CantReteta nu este un număr: %1").arg(v[4]);
            continue;
        }
        if (row.batch <= 0) {
            refused << at(rec.line) +
                           QStringLiteral("CantReteta trebuie să fie pozitivă (este %1)").arg(v[4]);
            continue;
        }
        const QString pair = row.product + QLatin1Char('\n') + row.material;
        if (firstLineOfPair.contains(pair)) {
            refused << at(rec.line) + QStringLiteral("materialul %1 apare a doua oară în rețeta "
                                                     "produsului %2 (prima dată pe linia %3)")
                                          .arg(row.material, row.product)
                                          .arg(firstLineOfPair.value(pair));
            continue;
        }
        firstLineOfPair.insert(pair, rec.line);
        rows << row;
    }
    // One batch quantity per product.
    for (const RecipeRow& row : rows) {
        const RecipeRow* first = firstOfProduct.value(row.product);
        if (!first)
            firstOfProduct.insert(row.product, &row);
        else if (first->batch != row.batch)
            refused
                << at(row.line) +
                       QStringLiteral(
                           "CantReteta %1 diferă de %2 de pe linia %3, pentru același produs %4")
                           .arg(exactNumber(row.batch), exactNumber(first->batch))
                           .arg(first->line)
                           .arg(row.product);
    }
    return rows;
}

// Thrown inside the import's transaction to roll it back when nothing is to be written.
struct RollBack {};

} // namespace

int exportRecipes(BatchCompany& company, QTextStream& out) {
    db::Table recipes;
    placeOnCompany(recipes, company, "Reteta.DB");
    recipes.setReadOnly(true);
    db::Table catalog;
    placeOnCompany(catalog, company, "CATALOG.DB");
    catalog.setIndexFieldNames(QStringLiteral("Cod"));
    catalog.setReadOnly(true);
    recipes.open();
    catalog.open();
    out << csvLine(kColumns, QLatin1Char(',')) << '\n';
    int lines = 0;
    QString product;
    QVariant batch;
    for (recipes.first(); !recipes.eof(); recipes.next()) {
        const QString code = recipes.fieldByName(QStringLiteral("Cod"))->asString();
        if (code != product) {
            product = code;
            batch = catalog.lookup(QStringLiteral("Cod"), {code}, QStringLiteral("CantReteta"));
        }
        const db::Field* quantity = recipes.fieldByName(QStringLiteral("Cant_MatPrim"));
        out << csvLine(
                   {code, recipes.fieldByName(QStringLiteral("Cod_MatPrim"))->asString(),
                    recipes.fieldByName(QStringLiteral("Cod_Grupa"))->asString(),
                    quantity->isNull() ? QString() : exactNumber(quantity->asFloat()),
                    batch.isNull() || !batch.isValid() ? QString() : exactNumber(batch.toDouble())},
                   QLatin1Char(','))
            << '\n';
        ++lines;
    }
    return lines;
}

ImportOutcome importRecipes(BatchCompany& company, const QList<CsvRecord>& records, bool dryRun) {
    ImportOutcome outcome;
    const QList<RecipeRow> rows = readRows(records, outcome.refused);
    outcome.lines = int(records.size()) - 1;

    // Products in the order the file first names them, each with its rows.
    QStringList products;
    QHash<QString, QList<const RecipeRow*>> rowsOf;
    for (const RecipeRow& row : rows) {
        if (!rowsOf.contains(row.product))
            products << row.product;
        rowsOf[row.product] << &row;
    }
    outcome.products = int(products.size());

    TQDMDataModule& dm = company.dataModule();
    dm.CatalogTable.open();
    dm.CatalogTable2.open();
    dm.RetetaTable.open();
    ProgressLine progress(QStringLiteral("Import rețete"), int(rows.size()));
    int done = 0;
    QStringList refusedAgainstCompany;
    try {
        dm.GhostDB.transaction([&] {
            for (const QString& product : products) {
                const QList<const RecipeRow*>& lines = rowsOf[product];
                // The products the recipe editor lists: any article but a raw material.
                if (!dm.CatalogTable.locate(QStringLiteral("Cod"), {product})) {
                    for (const RecipeRow* row : lines)
                        refusedAgainstCompany
                            << at(row->line) +
                                   QStringLiteral("produsul %1 nu este în catalog printre "
                                                  "produsele finite sau semifabricate")
                                       .arg(product);
                    done += int(lines.size());
                    continue;
                }
                while (!dm.RetetaTable.isEmpty())
                    dm.RetetaTable.remove();
                dm.CatalogTable.edit();
                dm.CatalogTableCantReteta->setAsFloat(lines.first()->batch);
                dm.CatalogTable.post();
                for (const RecipeRow* row : lines) {
                    QString reason;
                    try {
                        dm.RetetaTable.append();
                        dm.RetetaTableCod_Grupa->setAsString(row->group);
                        try {
                            dm.RetetaTableCod_MatPrim->setAsString(row->material);
                        } catch (const base::Abort&) {
                            company.takeWarning();
                            throw base::ConversionError(
                                QStringLiteral("%1 %2 nu este materie primă sau semifabricat din "
                                               "grupa %1 în catalog")
                                    .arg(row->group, row->material));
                        }
                        dm.RetetaTableCant_MatPrim->setAsFloat(row->quantity);
                        dm.RetetaTable.post();
                    } catch (const base::Abort&) {
                        reason = company.takeWarning();
                    } catch (const base::ConversionError& e) {
                        reason = e.message();
                    } catch (const base::DatabaseError& e) {
                        if (e.kind() != base::DatabaseError::Kind::KeyViolation)
                            throw;
                        reason = QStringLiteral("materialul %1 este deja în rețeta produsului %2")
                                     .arg(row->material, product);
                    }
                    if (!reason.isEmpty()) {
                        dm.RetetaTable.cancel();
                        refusedAgainstCompany << at(row->line) + reason;
                    }
                    progress.advance(++done);
                }
            }
            if (dryRun || !outcome.refused.isEmpty() || !refusedAgainstCompany.isEmpty())
                throw RollBack();
        });
    } catch (const RollBack&) {
    }
    dm.RetetaTable.close();
    dm.CatalogTable2.close();
    dm.CatalogTable.close();

    outcome.refused << refusedAgainstCompany;
    // Lines in file order, whichever check refused them.
    std::stable_sort(
        outcome.refused.begin(), outcome.refused.end(), [](const QString& a, const QString& b) {
            return a.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(':'), 0, 0).toInt() <
                   b.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(':'), 0, 0).toInt();
        });
    return outcome;
}

} // namespace cli
