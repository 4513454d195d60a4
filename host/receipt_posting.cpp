#include "host/receipt_posting.h"

#include "platform/base/cp1250.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <map>
#include <tuple>

namespace receipts {

namespace {

// A quantity within this of nothing is rounding: a stock record left holding no more is
// deleted, as a consumption document deletes the records it empties.
constexpr double kTolerance = 0.000001;

// The line as it is written.
struct Line {
    int position = 0; // in Receipt::lines, from 1
    QString group, article, warehouse, lot;
    double quantity = 0, price = 0, vat = 0;
    bool vatGiven = false;
};

struct Parsed {
    QString type;
    double number = 0;
    QDate date;
    QString supplier, explanation;
    QList<Line> lines;
};

// The stock record a line adds to: warehouse, group, article, lot, price.
using StockKey = std::tuple<QString, QString, QString, QString, double>;

StockKey stockKey(const Line& l) {
    return {l.warehouse, l.group, l.article, l.lot, l.price};
}

void place(db::Table& table, db::Database& database, const char* name) {
    table.setSession(&database.session());
    table.setDatabaseName(database.databaseName());
    table.setTableName(QString::fromLatin1(name));
}

QString quantityText(double q) {
    return base::formatFloatGeneral(q);
}

// A text field: normalised to the code page, refused when a character is outside it or the
// text is longer than the field.
QString text(const QString& value, const QString& label, int width, int line,
             QList<Refusal>& refused) {
    const QString t = base::cp1250::normalize(value.trimmed());
    const QChar bad = base::cp1250::firstUnrepresentable(t);
    if (!bad.isNull()) {
        refused << Refusal{line, QStringLiteral("%1: caracterul „%2” nu poate fi scris (nu este în "
                                                "pagina de cod 1250)")
                                     .arg(label, QString(bad))};
        return t;
    }
    if (t.size() > width)
        refused << Refusal{line, QStringLiteral("%1 are %2 caractere, cel mult %3 sunt permise")
                                     .arg(label)
                                     .arg(t.size())
                                     .arg(width)};
    return t;
}

// Reads the receipt's texts into values, adding a refusal for each one that does not read.
Parsed parse(const Receipt& r, QList<Refusal>& refused) {
    Parsed p;
    p.type = r.type.trimmed().toUpper();
    if (p.type != kPurchase && p.type != kProduction)
        refused << Refusal{0, QStringLiteral("tipul documentului trebuie să fie NIR (recepție de "
                                             "la furnizor) sau BPF (predare din producție), nu "
                                             "„%1”")
                                  .arg(r.type.trimmed())};
    const QString number = r.number.trimmed();
    if (number.isEmpty())
        refused << Refusal{0, QStringLiteral("lipsește numărul documentului")};
    else if (!parseNumber(number, p.number) || p.number <= 0 || p.number != std::floor(p.number) ||
             p.number > 1e15)
        refused << Refusal{0, QStringLiteral("numărul documentului trebuie să fie un număr întreg "
                                             "pozitiv, nu „%1”")
                                  .arg(number)};
    const QString date = r.date.trimmed();
    if (date.isEmpty())
        refused << Refusal{0, QStringLiteral("lipsește data documentului")};
    else if (!parseDate(date, p.date))
        refused << Refusal{0, QStringLiteral("data „%1” nu există").arg(date)};
    p.supplier = text(r.supplier, QStringLiteral("Furnizor"), 30, 0, refused);
    p.explanation = text(r.explanation, QStringLiteral("Explicație"), 255, 0, refused);

    bool purchase = p.type == kPurchase;
    for (int i = 0; i < r.lines.size(); ++i) {
        const ReceiptLine& in = r.lines[i];
        if (in.isBlank())
            continue;
        const int at = i + 1;
        Line l;
        l.position = at;
        l.group = text(in.group, QStringLiteral("Grupa"), 8, at, refused);
        l.article = text(in.article, QStringLiteral("Codul articolului"), 30, at, refused);
        if (l.group.isEmpty() || l.article.isEmpty())
            refused << Refusal{at, QStringLiteral("lipsește grupa sau codul articolului")};
        l.warehouse = text(in.warehouse, QStringLiteral("Gestiunea"), 4, at, refused);
        if (l.warehouse.isEmpty())
            refused << Refusal{at, QStringLiteral("lipsește gestiunea")};
        l.lot = text(in.lot, QStringLiteral("Lotul"), 30, at, refused);

        const QString q = in.quantity.trimmed();
        if (q.isEmpty())
            refused << Refusal{at, QStringLiteral("lipsește cantitatea")};
        else if (!parseNumber(q, l.quantity))
            refused << Refusal{at, QStringLiteral("cantitatea „%1” nu este un număr").arg(q)};
        else if (std::fabs(l.quantity) <= kTolerance)
            refused << Refusal{at, QStringLiteral("cantitatea este zero")};
        else if (l.quantity < 0 && purchase)
            refused << Refusal{at, QStringLiteral("cantitatea nu poate fi negativă pe o recepție "
                                                  "de la furnizor (NIR): %1")
                                       .arg(q)};

        const QString price = in.price.trimmed();
        if (price.isEmpty())
            refused << Refusal{at, QStringLiteral("lipsește prețul")};
        else if (!parseNumber(price, l.price))
            refused << Refusal{at, QStringLiteral("prețul „%1” nu este un număr").arg(price)};
        else if (l.price < 0)
            refused << Refusal{at, QStringLiteral("prețul nu poate fi sub zero: %1").arg(price)};

        const QString vat = in.vat.trimmed();
        l.vatGiven = !vat.isEmpty();
        if (l.vatGiven && !parseNumber(vat, l.vat))
            refused << Refusal{at, QStringLiteral("TVA „%1” nu este un număr").arg(vat)};
        p.lines << l;
    }
    if (p.lines.isEmpty())
        refused << Refusal{0, QStringLiteral("documentul nu are nicio linie")};
    return p;
}

bool byLine(const Refusal& a, const Refusal& b) {
    return a.line < b.line;
}

// Thrown inside a transaction when the stock (or a receipt posted meanwhile) refuses the
// change; rolls it back.
struct RefusedInside {
    QList<Refusal> refusals;
};

// The writes of one transaction: counter, header, lines and stock.
class Posting {
public:
    explicit Posting(db::Database& database) : m_database(database) {
        place(m_counters, database, "COUNTER.DB");
        place(m_documents, database, "Doc_in.DB");
        place(m_lines, database, "Item_in.DB");
        m_lines.setIndexFieldNames(QStringLiteral("Contor"));
        place(m_stock, database, "Stoc.DB");
        place(m_catalog, database, "CATALOG.DB");
        m_catalog.setReadOnly(true);
    }

    ~Posting() {
        for (db::Table* t : {&m_counters, &m_documents, &m_lines, &m_stock, &m_catalog})
            if (t->isActive()) {
                try {
                    t->close();
                } catch (...) {
                }
            }
    }

    double takeCounter() {
        m_counters.open();
        m_counters.first();
        if (m_counters.isEmpty())
            throw base::DatabaseError(QStringLiteral("Tabela COUNTER.DB nu are nicio înregistrare: "
                                                     "contorul documentelor de intrare lipsește."));
        m_counters.edit();
        db::Field* in = m_counters.fieldByName(QStringLiteral("NewCounterIn"));
        in->setAsFloat(in->asFloat() + 1);
        const double counter = in->asFloat();
        m_counters.post();
        m_counters.close();
        return counter;
    }

    // The lines of a posted receipt, to be reversed.
    QList<Line> postedLines(double counter) {
        openLines();
        QList<Line> lines;
        for (bool found = m_lines.findKey({counter}); found && !m_lines.eof(); m_lines.next()) {
            if (m_lines.fieldByName(QStringLiteral("Contor"))->asFloat() != counter)
                break;
            Line l;
            l.position = int(m_lines.fieldByName(QStringLiteral("Contor_secundar"))->asFloat());
            l.warehouse = m_lines.fieldByName(QStringLiteral("Cod_gestiune"))->asString();
            l.group = m_lines.fieldByName(QStringLiteral("Cod_grupa"))->asString();
            l.article = m_lines.fieldByName(QStringLiteral("Cod_articol"))->asString();
            l.lot = m_lines.fieldByName(QStringLiteral("Lot"))->asString();
            l.quantity = m_lines.fieldByName(QStringLiteral("Cantitate"))->asFloat();
            l.price = m_lines.fieldByName(QStringLiteral("Pret_achizitie_lei"))->asFloat();
            lines << l;
        }
        return lines;
    }

    void deleteLines(double counter) {
        openLines();
        while (m_lines.findKey({counter}))
            m_lines.remove();
    }

    // Moves the stock by what the new lines bring less what the old ones brought, record by
    // record, so that a correction that leaves a record's quantity as it was passes even
    // where part of it was consumed. Refuses (RefusedInside) where a record would go below zero.
    void moveStock(const QList<Line>& oldLines, const QList<Line>& newLines) {
        std::map<StockKey, double> change;
        for (const Line& l : oldLines) {
            change[stockKey(l)] -= l.quantity;
        }
        for (const Line& l : newLines) {
            change[stockKey(l)] += l.quantity;
        }
        if (!m_stock.isActive())
            m_stock.open();
        QList<Refusal> refused;
        for (const auto& [key, delta] : change) {
            if (delta == 0)
                continue;
            const auto& [warehouse, group, article, lot, price] = key;
            const bool found = m_stock.findKey({warehouse, group, article, lot, price});
            const double held =
                found ? m_stock.fieldByName(QStringLiteral("Cantitate"))->asFloat() : 0;
            const double after = held + delta;
            if (after < -kTolerance) {
                refused << Refusal{
                    0,
                    QStringLiteral(
                        "articolul %1 %2 (gestiunea %3, lotul %4, prețul %5): în stoc "
                        "sunt %6, lipsesc %7 din cantitatea recepționată (consumată între timp)")
                        .arg(group, article, warehouse, lot.isEmpty() ? QStringLiteral("-") : lot,
                             base::formatFloatGeneral(price), quantityText(held),
                             quantityText(-after))};
                continue;
            }
            if (!refused.isEmpty())
                continue;
            if (!found) {
                m_stock.append();
                m_stock.fieldByName(QStringLiteral("Cod_gestiune"))->setAsString(warehouse);
                m_stock.fieldByName(QStringLiteral("Cod_grupa"))->setAsString(group);
                m_stock.fieldByName(QStringLiteral("Cod_articol"))->setAsString(article);
                m_stock.fieldByName(QStringLiteral("Lot"))->setAsString(lot);
                m_stock.fieldByName(QStringLiteral("Pret_achizitie"))->setAsFloat(price);
                m_stock.fieldByName(QStringLiteral("Cantitate"))->setAsFloat(after);
                m_stock.post();
            } else if (after <= kTolerance) {
                m_stock.remove();
            } else {
                m_stock.edit();
                m_stock.fieldByName(QStringLiteral("Cantitate"))->setAsFloat(after);
                m_stock.post();
            }
        }
        if (!refused.isEmpty())
            throw RefusedInside{refused};
    }

    void writeHeader(double counter, const Parsed& p, const QDate& registered) {
        m_documents.open();
        if (m_documents.findKey({counter}))
            m_documents.edit();
        else
            m_documents.append();
        auto set = [&](const char* name, const QVariant& v) {
            m_documents.fieldByName(QString::fromLatin1(name))->setValue(v);
        };
        set("Contor", counter);
        set("Data_inregistrarii", registered);
        set("Numar", p.number);
        set("Tip", p.type);
        set("Data", p.date);
        set("Furnizor", p.supplier);
        set("Explicatie", p.explanation);
        m_documents.post();
    }

    // Whether the receipt is there, and its registration date.
    bool find(double counter, QDate& registered) {
        m_documents.open();
        if (!m_documents.findKey({counter}))
            return false;
        registered = m_documents.fieldByName(QStringLiteral("Data_inregistrarii"))->asDate();
        return true;
    }

    bool removeHeader(double counter) {
        m_documents.open();
        if (!m_documents.findKey({counter}))
            return false;
        m_documents.remove();
        return true;
    }

    void writeLines(double counter, const QList<Line>& lines) {
        openLines();
        m_catalog.open();
        int number = 0;
        for (const Line& l : lines) {
            m_catalog.findKey({l.group, l.article});
            auto cat = [&](const char* name) {
                return m_catalog.fieldByName(QString::fromLatin1(name))->value();
            };
            // The line's VAT, when not typed: its value at the article's rate, to the ban.
            const double vat =
                l.vatGiven
                    ? l.vat
                    : std::round(l.quantity * l.price *
                                 m_catalog.fieldByName(QStringLiteral("Coef_TVA"))->asFloat()) /
                          100;
            m_lines.append();
            auto set = [&](const char* name, const QVariant& v) {
                m_lines.fieldByName(QString::fromLatin1(name))->setValue(v);
            };
            set("Contor", counter);
            set("Contor_secundar", double(++number));
            set("Cod_gestiune", l.warehouse);
            set("Cod_grupa", l.group);
            set("Cod_articol", l.article);
            set("Lot", l.lot);
            set("Cantitate", l.quantity);
            set("Pret_achizitie_valuta", l.price);
            set("Valuta", QStringLiteral("RON"));
            set("Pret_achizitie_lei", l.price);
            set("TVA", vat);
            set("Cont_marfa", cat("Cont_marfa"));
            set("Cont_TVA_Intrari", cat("Cont_TVA_Intrari"));
            set("Serii", false);
            m_lines.post();
        }
    }

private:
    void openLines() {
        if (!m_lines.isActive())
            m_lines.open();
    }

    db::Database& m_database;
    db::Table m_counters{QStringLiteral("CounterTable")};
    db::Table m_documents{QStringLiteral("DocInTable")};
    db::Table m_lines{QStringLiteral("ItemInTable")};
    db::Table m_stock{QStringLiteral("StocTable")};
    db::Table m_catalog{QStringLiteral("CatalogTable")};
};

// Another receipt of the same type and number than `counter`: a person finds a receipt by
// its type and number, so two must never share them.
Refusal sameNumber(db::Database& database, const Parsed& p, double counter) {
    if (p.number <= 0 || (p.type != kPurchase && p.type != kProduction))
        return {};
    db::Query same(QStringLiteral("SameNumber"));
    same.setSession(&database.session());
    same.setDatabaseName(database.databaseName());
    same.setSqlText(QStringLiteral("SELECT Contor FROM Doc_in WHERE Tip = :Tip AND Numar = "
                                   ":Numar AND Contor <> :Contor"));
    same.paramByName(QStringLiteral("Tip")).setAsString(p.type);
    same.paramByName(QStringLiteral("Numar")).setAsFloat(p.number);
    same.paramByName(QStringLiteral("Contor")).setAsFloat(counter);
    same.open();
    Refusal refusal;
    if (!same.isEmpty())
        refusal = {0,
                   QStringLiteral("există deja un document %1 cu numărul %2 (contorul %3)")
                       .arg(p.type, base::formatFloatGeneral(p.number), same.field(0)->asString())};
    same.close();
    return refusal;
}

} // namespace

bool ReceiptLine::isBlank() const {
    for (const QString* s : {&group, &article, &warehouse, &lot, &quantity, &price, &vat})
        if (!s->trimmed().isEmpty())
            return false;
    return true;
}

QString Refusal::text() const {
    return line > 0 ? QStringLiteral("linia %1: %2").arg(line).arg(reason) : reason;
}

namespace {

QString listed(const QList<Refusal>& refusals) {
    QStringList lines;
    for (const Refusal& r : refusals)
        lines << r.text();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ReceiptRefused::ReceiptRefused(QList<Refusal> refusals)
    : base::Error(listed(refusals)), m_refusals(std::move(refusals)) {}

bool parseNumber(const QString& text, double& value) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool parseDate(const QString& text, QDate& value) {
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QString t = text.trimmed();
    if (const QRegularExpressionMatch m = iso.match(t); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!d.isValid())
            return false;
        value = d;
        return true;
    }
    return base::tryTextToDate(t, value) && value.isValid();
}

ReceiptBook::ReceiptBook(db::Database& database) : m_database(database) {}

QList<Refusal> ReceiptBook::check(const Receipt& receipt, double counter) {
    QList<Refusal> refused;
    const Parsed p = parse(receipt, refused);

    if (const Refusal same = sameNumber(m_database, p, counter); !same.reason.isEmpty())
        refused << same;

    db::Table catalog(QStringLiteral("CatalogTable"));
    place(catalog, m_database, "CATALOG.DB");
    catalog.setReadOnly(true);
    catalog.open();
    for (const Line& l : p.lines)
        if (!l.group.isEmpty() && !l.article.isEmpty() && !catalog.findKey({l.group, l.article}))
            refused << Refusal{
                l.position,
                QStringLiteral("articolul %1 %2 nu este în catalog").arg(l.group, l.article)};
    catalog.close();
    std::stable_sort(refused.begin(), refused.end(), byLine);
    return refused;
}

double ReceiptBook::post(const Receipt& receipt) {
    if (QList<Refusal> refused = check(receipt); !refused.isEmpty())
        throw ReceiptRefused(refused);
    QList<Refusal> ignored;
    const Parsed p = parse(receipt, ignored);
    Posting posting(m_database);
    try {
        return m_database.transaction([&] {
            // Again under the write lock: another user may have posted the number meanwhile.
            if (const Refusal same = sameNumber(m_database, p, 0); !same.reason.isEmpty())
                throw RefusedInside{{same}};
            const double counter = posting.takeCounter();
            posting.writeHeader(counter, p, QDate::currentDate());
            posting.writeLines(counter, p.lines);
            posting.moveStock({}, p.lines);
            return counter;
        });
    } catch (const RefusedInside& s) {
        throw ReceiptRefused(s.refusals);
    }
}

void ReceiptBook::correct(double counter, const Receipt& receipt) {
    if (QList<Refusal> refused = check(receipt, counter); !refused.isEmpty())
        throw ReceiptRefused(refused);
    QList<Refusal> ignored;
    const Parsed p = parse(receipt, ignored);
    Posting posting(m_database);
    try {
        m_database.transaction([&] {
            if (const Refusal same = sameNumber(m_database, p, counter); !same.reason.isEmpty())
                throw RefusedInside{{same}};
            QDate registered;
            if (!posting.find(counter, registered))
                throw base::Error(QStringLiteral("Documentul de intrare cu contorul %1 nu mai "
                                                 "există; nu s-a scris nimic.")
                                      .arg(base::formatFloatGeneral(counter)));
            const QList<Line> old = posting.postedLines(counter);
            posting.moveStock(old, p.lines);
            posting.deleteLines(counter);
            posting.writeHeader(counter, p, registered);
            posting.writeLines(counter, p.lines);
        });
    } catch (const RefusedInside& s) {
        throw ReceiptRefused(s.refusals);
    }
}

void ReceiptBook::remove(double counter) {
    Posting posting(m_database);
    try {
        m_database.transaction([&] {
            const QList<Line> old = posting.postedLines(counter);
            posting.moveStock(old, {});
            posting.deleteLines(counter);
            if (!posting.removeHeader(counter))
                throw base::Error(QStringLiteral("Documentul de intrare cu contorul %1 nu mai "
                                                 "există; nu s-a scris nimic.")
                                      .arg(base::formatFloatGeneral(counter)));
        });
    } catch (const RefusedInside& s) {
        throw ReceiptRefused(s.refusals);
    }
}

Receipt ReceiptBook::load(double counter) {
    db::Table documents(QStringLiteral("DocInTable"));
    place(documents, m_database, "Doc_in.DB");
    documents.setReadOnly(true);
    documents.open();
    if (!documents.findKey({counter}))
        throw base::Error(QStringLiteral("Documentul de intrare cu contorul %1 nu există.")
                              .arg(base::formatFloatGeneral(counter)));
    Receipt r;
    auto doc = [&](const char* name) { return documents.fieldByName(QString::fromLatin1(name)); };
    r.type = doc("Tip")->asString();
    r.number =
        doc("Numar")->isNull() ? QString() : base::formatFloatGeneral(doc("Numar")->asFloat());
    r.date = base::dateToText(doc("Data")->asDate());
    r.supplier = doc("Furnizor")->asString();
    r.explanation = doc("Explicatie")->asString();
    documents.close();

    db::Table lines(QStringLiteral("ItemInTable"));
    place(lines, m_database, "Item_in.DB");
    lines.setReadOnly(true);
    lines.open();
    auto number = [&](const char* name) {
        const db::Field* f = lines.fieldByName(QString::fromLatin1(name));
        return f->isNull() ? QString() : base::formatFloatGeneral(f->asFloat());
    };
    for (bool found = lines.findKey({counter}); found && !lines.eof(); lines.next()) {
        if (lines.fieldByName(QStringLiteral("Contor"))->asFloat() != counter)
            break;
        r.lines << ReceiptLine{lines.fieldByName(QStringLiteral("Cod_grupa"))->asString(),
                               lines.fieldByName(QStringLiteral("Cod_articol"))->asString(),
                               lines.fieldByName(QStringLiteral("Cod_gestiune"))->asString(),
                               lines.fieldByName(QStringLiteral("Lot"))->asString(),
                               number("Cantitate"),
                               number("Pret_achizitie_lei"),
                               number("TVA")};
    }
    lines.close();
    return r;
}

} // namespace receipts
