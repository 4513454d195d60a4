#pragma once
// The consumption voucher ("Bon de consum") of one output document as it goes on paper: the
// document's header, one line per document line (a material taken from several stock records
// has one line per record) with the material's name and unit from the catalog, and the values.
// Read from Doc_out, Item_out and the catalog; widget-free.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Session;
}

namespace printing {

struct VoucherLine {
    int row = 0; // the document line's number (Contor_secundar)
    QString group;
    QString code;
    QString name; // empty when the catalog has no record of the material
    QString unit;
    QString warehouse;
    QString lot;
    // The quantity the requirement asked for. The document keeps only the quantity issued,
    // so both are the issued quantity.
    double required = 0;
    double issued = 0;
    double price = 0; // purchase price: consumption is valued at it
    double value() const { return issued * price; }
};

struct ConsumptionVoucher {
    double counter = 0;
    double number = 0;
    QString type;
    QDate date;
    QString explanation; // the place of consumption: the receipt the document belongs to
    QList<VoucherLine> lines;

    double total() const;
    // The warehouses of the lines, each once, in code order.
    QStringList warehouses() const;
    // Whether the lines come from more than one lot: only then does the voucher show lots.
    bool severalLots() const;
};

// Reads the output document with the counter from the database of the session (an alias or a
// database name). Throws base::Error with a Romanian message when there is no such document or
// it is not a consumption document ("BMC"), and base::DatabaseError on a database failure.
ConsumptionVoucher readConsumptionVoucher(db::Session& session, const QString& databaseName,
                                          double counter);

} // namespace printing
