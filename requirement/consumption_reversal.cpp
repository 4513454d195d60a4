#include "requirement/consumption_reversal.h"

#include "requirement/consumption_register.h"
#include "requirement/consumption_trace.h"

#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

#include <QHash>
#include <QList>
#include <QVariantMap>

#include <cmath>

namespace requirement {

namespace {

const QString kDocumentType = QStringLiteral("BMC");

// A stock record left holding no more than this holds nothing, as the generation counts it.
constexpr double kExhaustedTolerance = 0.000001;

QString counterText(double counter) {
    return base::formatFloatGeneral(counter);
}

class Reversal {
public:
    Reversal(db::Database& database, double document, const QDate& date, bool allowEarlier)
        : m_database(database), m_document(document), m_date(date), m_allowEarlier(allowEarlier) {}

    ReversalResult run() {
        m_result = ReversalResult();
        m_result.document = m_document;
        readOriginal();
        refuseReversed();
        if (!m_allowEarlier && m_originalDate.isValid() && m_date < m_originalDate)
            throw ReversalRefused(
                QStringLiteral("Data stornării, %1, este înaintea datei bonului de consum, %2; nu "
                               "s-a scris nimic.")
                    .arg(base::dateToText(m_date), base::dateToText(m_originalDate)));
        // The mark goes in first: a user reversing the same document at the same moment waits
        // for it and is refused, whatever else the two transactions write.
        ensureReversalRegister(m_database);
        try {
            registerReversal(m_database, {m_document, 0, m_date});
        } catch (const base::DatabaseError& e) {
            if (e.kind() != base::DatabaseError::Kind::KeyViolation)
                throw;
            throw ReversalRefused(
                QStringLiteral("Documentul de consum cu contorul %1 a fost stornat între timp de "
                               "alt utilizator; nu s-a scris nimic.")
                    .arg(counterText(m_document)));
        }
        takeCounter();
        setReversalCounter();
        writeHeader();
        writeLines();
        restoreStock();
        return m_result;
    }

private:
    void place(db::Table& t, const QString& name) {
        t.setSession(&m_database.session());
        t.setDatabaseName(m_database.databaseName());
        t.setTableName(name);
    }

    void prepare(db::Query& q, const QString& sql) {
        q.setSession(&m_database.session());
        q.setDatabaseName(m_database.databaseName());
        q.setSqlText(sql);
    }

    // The original's header and its lines, every field as stored.
    void readOriginal() {
        db::Query header(QStringLiteral("header"));
        prepare(header,
                QStringLiteral(
                    "SELECT Contor, Numar, Tip, Data FROM \"Doc_out.DB\" WHERE Contor = :Contor"));
        header.paramByName(QStringLiteral("Contor")).setAsFloat(m_document);
        header.open();
        if (header.eof())
            throw ReversalRefused(
                QStringLiteral("Documentul de ieșire cu contorul %1 nu există; nu s-a scris nimic.")
                    .arg(counterText(m_document)));
        m_type = header.fieldByName(QStringLiteral("Tip"))->asString();
        m_number = header.fieldByName(QStringLiteral("Numar"))->value();
        m_originalDate = header.fieldByName(QStringLiteral("Data"))->asDate();
        header.close();
        if (m_type != kDocumentType)
            throw ReversalRefused(
                QStringLiteral("Documentul de ieșire cu contorul %1 este de tipul «%2», nu un bon "
                               "de consum (BMC); nu s-a scris nimic.")
                    .arg(counterText(m_document), m_type));

        db::Query lines(QStringLiteral("lines"));
        prepare(
            lines,
            QStringLiteral(
                "SELECT * FROM \"Item_out.DB\" WHERE Contor = :Contor ORDER BY Contor_secundar"));
        lines.paramByName(QStringLiteral("Contor")).setAsFloat(m_document);
        lines.open();
        for (; !lines.eof(); lines.next()) {
            QVariantMap line;
            for (int i = 0; i < lines.fieldCount(); ++i) {
                db::Field* f = lines.field(i);
                // By lower-case name: a server may answer the names in another case.
                line.insert(f->fieldName().toLower(), f->value());
            }
            m_lines << line;
        }
        lines.close();
    }

    void refuseReversed() {
        const RegisteredReversal earlier = reversalOf(m_database, m_document);
        if (earlier.document != 0)
            throw ReversalRefused(
                QStringLiteral("Documentul de consum cu contorul %1 a fost deja stornat prin "
                               "documentul cu contorul %2 din %3; nu s-a scris nimic.")
                    .arg(counterText(m_document), counterText(earlier.reversal),
                         base::dateToText(earlier.date)));
        if (isReversalDocument(m_database, m_document))
            throw ReversalRefused(
                QStringLiteral("Documentul cu contorul %1 este el însuși o stornare și nu se "
                               "stornează; nu s-a scris nimic.")
                    .arg(counterText(m_document)));
    }

    // As the generation takes it: read again inside the transaction, whose write lock keeps it
    // from being taken twice.
    void takeCounter() {
        db::Table counters(QStringLiteral("COUNTER.DB"));
        place(counters, QStringLiteral("COUNTER.DB"));
        counters.open();
        counters.first();
        counters.edit();
        db::Field* f = counters.fieldByName(QStringLiteral("NewCounterOut"));
        f->setAsFloat(f->asFloat() + 1);
        m_result.counter = f->asFloat();
        counters.post();
        counters.close();
    }

    void setReversalCounter() {
        db::Query q(QStringLiteral("q"));
        prepare(q, QStringLiteral("UPDATE \"Stornare.DB\" SET Contor_stornare = :Stornare "
                                  "WHERE Contor_iesire = :Contor"));
        q.paramByName(QStringLiteral("Stornare")).setAsFloat(m_result.counter);
        q.paramByName(QStringLiteral("Contor")).setAsFloat(m_document);
        q.execSql();
    }

    void writeHeader() {
        db::Table doc(QStringLiteral("Doc_out.DB"));
        place(doc, QStringLiteral("Doc_out.DB"));
        doc.open();
        doc.append();
        doc.fieldByName(QStringLiteral("Contor"))->setAsFloat(m_result.counter);
        doc.fieldByName(QStringLiteral("Data_inregistrarii"))->setAsDate(m_date);
        doc.fieldByName(QStringLiteral("Numar"))->setValue(m_number);
        doc.fieldByName(QStringLiteral("Tip"))->setAsString(kDocumentType);
        doc.fieldByName(QStringLiteral("Data"))->setAsDate(m_date);
        doc.fieldByName(QStringLiteral("Explicatie"))
            ->setAsString(QStringLiteral("Stornare %1 %2/%3 (contor %4)")
                              .arg(m_type, base::formatFloatGeneral(m_number.toDouble()),
                                   base::dateToText(m_originalDate), counterText(m_document)));
        doc.post();
        doc.close();
    }

    // The original's lines, numbered as they were, every field copied but the quantity.
    void writeLines() {
        db::Table item(QStringLiteral("Item_out.DB"));
        place(item, QStringLiteral("Item_out.DB"));
        item.open();
        for (const QVariantMap& line : std::as_const(m_lines)) {
            item.append();
            for (auto it = line.constBegin(); it != line.constEnd(); ++it) {
                db::Field* f = item.findField(it.key());
                if (f)
                    f->setValue(it.value());
            }
            item.fieldByName(QStringLiteral("Contor"))->setAsFloat(m_result.counter);
            item.fieldByName(QStringLiteral("Cantitate"))
                ->setAsFloat(-line.value(QStringLiteral("cantitate")).toDouble());
            item.post();
            ++m_result.lineCount;
        }
        item.close();
    }

    // Last line first, so that a stock record several lines took from is given back in the
    // opposite order and comes back to what it held before each of them.
    void restoreStock() {
        QHash<int, TracedLine> traced;
        for (const TracedLine& t : consumptionTrace(m_database, m_document))
            traced.insert(t.line, t);
        db::Table stock(QStringLiteral("Stoc.DB"));
        place(stock, QStringLiteral("Stoc.DB"));
        stock.setIndexFieldNames(
            QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Lot;Pret_achizitie"));
        stock.open();
        for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
            const QVariantMap& line = m_lines[i];
            const double issued = line.value(QStringLiteral("cantitate")).toDouble();
            const int number = line.value(QStringLiteral("contor_secundar")).toInt();
            TracedLine t;
            const bool known = traced.contains(number);
            if (known) {
                t = traced.value(number);
            } else {
                // A document written before its stock records were traced: the line names its
                // record by the same fields.
                auto v = [&](const char* name) {
                    return line.value(QString::fromLatin1(name).toLower());
                };
                t = {number,
                     v("Cod_gestiune"),
                     v("Cod_grupa"),
                     v("Cod_articol"),
                     v("Lot"),
                     v("Pret_achizitie"),
                     v("Agent"),
                     0,
                     0,
                     false};
            }
            putBack(stock, t, known, issued);
        }
        stock.close();
    }

    void putBack(db::Table& stock, const TracedLine& t, bool known, double issued) {
        db::Field* quantity = stock.fieldByName(QStringLiteral("Cantitate"));
        // What the line took out of the record: all it held when the line emptied it.
        const double back = t.deleted ? t.before : issued;
        if (stock.findKey({t.warehouse, t.group, t.code, t.lot, t.price})) {
            const double now = quantity->asFloat();
            // Untouched since: it gets back exactly what it held.
            const double restored = known && !t.deleted && now == t.after ? t.before : now + back;
            if (std::fabs(restored) <= kExhaustedTolerance) {
                stock.remove();
                return;
            }
            stock.edit();
            quantity->setAsFloat(restored);
            stock.post();
            return;
        }
        if (std::fabs(back) <= kExhaustedTolerance)
            return;
        stock.append();
        auto f = [&](const char* name) { return stock.fieldByName(QString::fromLatin1(name)); };
        f("Cod_gestiune")->setValue(t.warehouse);
        f("Cod_grupa")->setValue(t.group);
        f("Cod_articol")->setValue(t.code);
        f("Lot")->setValue(t.lot);
        f("Pret_achizitie")->setValue(t.price);
        f("Agent")->setValue(t.agent);
        quantity->setAsFloat(back);
        stock.post();
        ++m_result.recreated;
    }

    db::Database& m_database;
    double m_document;
    QDate m_date;
    bool m_allowEarlier = false;
    QString m_type;
    QVariant m_number;
    QDate m_originalDate;
    QList<QVariantMap> m_lines;
    ReversalResult m_result;
};

} // namespace

ReversalResult reverseConsumption(db::Database& database, double document, const QDate& date,
                                  bool allowEarlier) {
    Reversal reversal(database, document, date, allowEarlier);
    return database.transaction([&] { return reversal.run(); });
}

} // namespace requirement
