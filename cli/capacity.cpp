#include "cli/capacity.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/db/query.h"

#include <limits>

namespace cli {

namespace {

ProductCapacity capacityOfCurrent(TQDMDataModule& dm) {
    ProductCapacity c;
    c.group = dm.CatalogTable.fieldByName(QStringLiteral("Grupa"))->asString();
    c.code = dm.CatalogTable.fieldByName(QStringLiteral("Cod"))->asString();
    c.name = dm.CatalogTable.fieldByName(QStringLiteral("Denumire"))->asString();
    if (dm.RetetaTable.isEmpty()) {
        c.reason = QStringLiteral("nu are rețetă");
        return c;
    }
    const double batch = dm.CatalogTableCantReteta->asFloat();
    if (dm.CatalogTableCantReteta->isNull() || batch <= 0) {
        c.reason = QStringLiteral(
            "cantitatea de produs din rețetă (CantReteta) lipsește sau nu este pozitivă");
        return c;
    }
    double best = std::numeric_limits<double>::infinity();
    for (dm.RetetaTable.first(); !dm.RetetaTable.eof(); dm.RetetaTable.next()) {
        const double perUnit = dm.RetetaTableCant_MatPrim->asFloat() / batch;
        if (perUnit <= 0)
            continue; // a line that consumes nothing limits nothing
        const QString group = dm.RetetaTableCod_Grupa->asString();
        const QString code = dm.RetetaTableCod_MatPrim->asString();
        const double stock = dm.StocTable.sum(
            QStringLiteral("Cantitate"), QStringLiteral("Cod_grupa;Cod_articol"), {group, code});
        const double units = std::max(0.0, stock) / perUnit;
        if (units < best) {
            best = units;
            c.limitingGroup = group;
            c.limitingCode = code;
            c.limitingStock = stock;
        }
    }
    if (best == std::numeric_limits<double>::infinity()) {
        c.reason = QStringLiteral("rețeta nu consumă niciun material");
        return c;
    }
    c.computed = true;
    c.units = best;
    return c;
}

} // namespace

QList<ProductCapacity> productCapacity(BatchCompany& company, const QString& product) {
    TQDMDataModule& dm = company.dataModule();
    dm.CatalogTable.open();
    dm.RetetaTable.open();
    dm.StocTable.open();
    QList<ProductCapacity> out;
    if (!product.isEmpty()) {
        // A code held under several groups is one catalog record per group, each with its own
        // batch quantity: every one of them is answered, not only the first found.
        db::Query groups(QStringLiteral("ProductGroups"));
        groups.setSession(&company.session());
        groups.setDatabaseName(dm.GhostDB.databaseName());
        groups.setSqlText(
            QStringLiteral("SELECT Grupa FROM \"CATALOG.DB\" WHERE Cod = :Cod ORDER BY Grupa"));
        groups.paramByName(QStringLiteral("Cod")).setAsString(product);
        QStringList groupCodes;
        try {
            groups.open();
            for (; !groups.eof(); groups.next())
                groupCodes << groups.fieldByName(QStringLiteral("Grupa"))->asString();
            groups.close();
        } catch (const base::ConversionError&) {
            // A code the catalog could not hold names no product.
        }
        for (const QString& group : groupCodes)
            if (dm.CatalogTable.locate(QStringLiteral("Grupa;Cod"), {group, product}))
                out << capacityOfCurrent(dm);
        if (out.isEmpty())
            refuse(QStringLiteral(
                       "Produsul %1 nu este în catalog printre produsele finite sau semifabricate.")
                       .arg(product));
    } else {
        for (dm.CatalogTable.first(); !dm.CatalogTable.eof(); dm.CatalogTable.next())
            if (!dm.RetetaTable.isEmpty())
                out << capacityOfCurrent(dm);
    }
    dm.StocTable.close();
    dm.RetetaTable.close();
    dm.CatalogTable.close();
    return out;
}

} // namespace cli
