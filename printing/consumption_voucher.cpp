#include "printing/consumption_voucher.h"

#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/field.h"
#include "platform/db/query.h"

#include <QHash>
#include <QSet>

namespace printing {

namespace {

const QString kConsumptionType = QStringLiteral("BMC");

// A query on the document's counter; it holds its whole result once open.
class CounterQuery {
public:
    CounterQuery(db::Session& session, const QString& databaseName, const QString& sql,
                 double counter) {
        m_q.setSession(&session);
        m_q.setDatabaseName(databaseName);
        m_q.setSqlText(sql);
        m_q.paramByName(QStringLiteral("Contor")).setAsFloat(counter);
        m_q.open();
    }
    ~CounterQuery() { m_q.close(); }
    CounterQuery(const CounterQuery&) = delete;
    CounterQuery& operator=(const CounterQuery&) = delete;

    db::Query& operator*() { return m_q; }
    db::Query* operator->() { return &m_q; }
    QString text(const char* field) { return m_q.fieldByName(QLatin1String(field))->asString(); }
    double number(const char* field) { return m_q.fieldByName(QLatin1String(field))->asFloat(); }

private:
    db::Query m_q;
};

QString catalogKey(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

} // namespace

double ConsumptionVoucher::total() const {
    double sum = 0;
    for (const VoucherLine& line : lines)
        sum += line.value();
    return sum;
}

QStringList ConsumptionVoucher::warehouses() const {
    QStringList found;
    for (const VoucherLine& line : lines)
        if (!found.contains(line.warehouse))
            found << line.warehouse;
    found.sort();
    return found;
}

bool ConsumptionVoucher::severalLots() const {
    QSet<QString> lots;
    for (const VoucherLine& line : lines)
        lots.insert(line.lot);
    return lots.size() > 1;
}

ConsumptionVoucher readConsumptionVoucher(db::Session& session, const QString& databaseName,
                                          double counter) {
    ConsumptionVoucher v;
    v.counter = counter;
    {
        CounterQuery header(session, databaseName,
                            QStringLiteral("SELECT Numar, Tip, Data, Explicatie FROM "
                                           "\"Doc_out.DB\" WHERE Contor = :Contor"),
                            counter);
        if (header->eof())
            throw base::Error(QStringLiteral("Documentul de ieșire cu contorul %1 nu există.")
                                  .arg(base::formatFloatGeneral(counter)));
        v.type = header.text("Tip");
        if (v.type != kConsumptionType)
            throw base::Error(QStringLiteral("Documentul de ieșire cu contorul %1 nu este un bon "
                                             "de consum (tipul lui este „%2”).")
                                  .arg(base::formatFloatGeneral(counter), v.type));
        v.number = header.number("Numar");
        v.date = header->fieldByName(QStringLiteral("Data"))->asDate();
        v.explanation = header.text("Explicatie");
    }

    QHash<QString, QPair<QString, QString>> catalog; // name and unit by group and code
    {
        CounterQuery articles(
            session, databaseName,
            QStringLiteral("SELECT Grupa, Cod, Denumire, Unitate_masura FROM \"CATALOG.DB\" "
                           "WHERE Cod IN (SELECT Cod_articol FROM \"Item_out.DB\" "
                           "WHERE Contor = :Contor)"),
            counter);
        for (articles->first(); !articles->eof(); articles->next())
            catalog.insert(catalogKey(articles.text("Grupa"), articles.text("Cod")),
                           {articles.text("Denumire"), articles.text("Unitate_masura")});
    }

    CounterQuery items(session, databaseName,
                       QStringLiteral("SELECT Contor_secundar, Cod_gestiune, Cod_grupa, "
                                      "Cod_articol, Lot, Cantitate, Pret_achizitie FROM "
                                      "\"Item_out.DB\" WHERE Contor = :Contor "
                                      "ORDER BY Contor_secundar"),
                       counter);
    for (items->first(); !items->eof(); items->next()) {
        VoucherLine line;
        line.row = int(items.number("Contor_secundar"));
        line.warehouse = items.text("Cod_gestiune");
        line.group = items.text("Cod_grupa");
        line.code = items.text("Cod_articol");
        line.lot = items.text("Lot");
        line.issued = items.number("Cantitate");
        line.required = line.issued;
        line.price = items.number("Pret_achizitie");
        const auto article = catalog.value(catalogKey(line.group, line.code));
        line.name = article.first;
        line.unit = article.second;
        v.lines << line;
    }
    return v;
}

} // namespace printing
