#pragma once
// How many units of each finished product the current stock allows: every recipe line needs
// Cant_MatPrim ÷ CantReteta of its material per unit, against the material's stock in every
// warehouse; the material that allows the fewest units limits the product.
#include <QList>
#include <QString>

namespace cli {

class BatchCompany;

struct ProductCapacity {
    QString group, code, name;
    bool computed = false; // false: no recipe, or no usable batch quantity (see reason)
    double units = 0;      // whole and fractional units the stock allows
    QString limitingGroup, limitingCode;
    double limitingStock = 0; // stock of the limiting material, every warehouse
    QString reason;           // why nothing was computed
};

// Every product with a recipe (product empty), or the product whose code is given, under each
// group that holds the code (refused with CommandError when the catalog has no such product).
QList<ProductCapacity> productCapacity(BatchCompany& company, const QString& product);

} // namespace cli
