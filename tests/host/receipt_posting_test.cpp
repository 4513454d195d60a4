// Goods receipts posted, corrected and deleted without a window, on the company's own tables:
// what reaches the stock, the counter and the two receipt tables, and what is refused with
// nothing written. Runs on SQLite and again on the test server.
#include "host/receipt_posting.h"

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"

#include <QFile>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

using receipts::Receipt;
using receipts::ReceiptBook;
using receipts::ReceiptLine;
using receipts::ReceiptRefused;
using receipts::Refusal;

class ReceiptPosting : public ::testing::Test {
protected:
    testsupport::ScopedFormat format{"DD/MM/YYYY", '/', ','};
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString location = testsupport::companyLocation(companyDir);
    testsupport::CompanyBuilder company{location};
    db::Session session;
    std::unique_ptr<db::Database> database;
    std::unique_ptr<ReceiptBook> book;

    void SetUp() override {
        company.counter(41);
        company.database().connection().exec(QStringLiteral("UPDATE Counter SET NewCounterIn = 4"));
        company.article("MPF", "M001", "Făină albă").article("PF", "P001", "Pâine");
        company.database().connection().exec(
            QStringLiteral("UPDATE Catalog SET Coef_TVA = 9, Cont_TVA_Intrari = '4426'"));
        company.stock("G01", "MPF", "M001", "L1", 2.25, 10);
        company.receipt(4, 103, "BPF", {2025, 3, 14});
        session.addAlias(QStringLiteral("FIRMA"), location);
        database = std::make_unique<db::Database>(QStringLiteral("FIRMA"), &session);
        book = std::make_unique<ReceiptBook>(*database);
    }

    static Receipt purchase(QList<ReceiptLine> lines) {
        return {QStringLiteral("NIR"),        QStringLiteral("5521"),
                QStringLiteral("15/03/2025"), QStringLiteral("Moara Dâmboviţa SRL"),
                QStringLiteral("Făină"),      std::move(lines)};
    }
    static ReceiptLine flour(const char* lot, const char* quantity, const char* price = "2,25") {
        return {"MPF", "M001", "G01", lot, quantity, price, ""};
    }

    QList<QVariantList> rows(const QString& sql) {
        QList<QVariantList> out;
        auto s = company.database().connection().prepare(sql);
        db::StatementUse use(*s);
        while (s->step()) {
            QVariantList row;
            for (int i = 0; i < s->columnCount(); ++i) {
                const QVariant v = s->columnRaw(i);
                row << (v.typeId() == QMetaType::LongLong ? QVariant(v.toDouble()) : v);
            }
            out << row;
        }
        return out;
    }
    double scalar(const QString& sql) { return rows(sql).value(0).value(0).toDouble(); }

    // "warehouse group article lot price quantity" of every stock record, in key order.
    QStringList stock() {
        QStringList out;
        for (const QVariantList& r :
             rows(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                                 "Pret_achizitie, Cantitate FROM Stoc ORDER BY Cod_gestiune, "
                                 "Cod_grupa, Cod_articol, Lot, Pret_achizitie")))
            out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                       .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString())
                       .arg(r[4].toDouble())
                       .arg(r[5].toDouble());
        return out;
    }
    // Every record of the tables a receipt writes, as text: equal before and after means
    // nothing was written.
    QString everything() {
        QString out;
        for (const char* table : {"Doc_in ORDER BY 1", "Item_in ORDER BY 1, 2",
                                  "Stoc ORDER BY 1, 2, 3, 4, 5", "Counter"})
            for (const QVariantList& r : rows(QStringLiteral("SELECT * FROM %1").arg(table))) {
                out += QString::fromLatin1(table).section(QLatin1Char(' '), 0, 0);
                for (const QVariant& v : r)
                    out += QLatin1Char('|') + v.toString();
                out += QLatin1Char('\n');
            }
        return out;
    }
    QByteArray fileBytes() {
        if (testsupport::onServer())
            return {};
        QFile f(companyDir + QStringLiteral("/tables.sqlite"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    double counterIn() { return scalar(QStringLiteral("SELECT NewCounterIn FROM Counter")); }
};

TEST_F(ReceiptPosting, APurchaseIncreasesOneRecordCreatesAnotherAndTakesOneCounter) {
    const double counter =
        book->post(purchase({flour("L1", "5"), flour("L2", "3.5", "2.3"), flour("L1", "1")}));
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(counterIn(), 5);
    EXPECT_EQ(scalar("SELECT NewCounterOut FROM Counter"), 41) << "the output counter is not his";
    EXPECT_EQ(stock(), (QStringList{"G01 MPF M001 L1 2.25 16", "G01 MPF M001 L2 2.3 3.5"}));

    const auto header = rows("SELECT Numar, Tip, Data, Furnizor, Explicatie, Data_inregistrarii "
                             "FROM Doc_in WHERE Contor = 5");
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0][0].toDouble(), 5521);
    EXPECT_EQ(header[0][1].toString(), "NIR");
    EXPECT_EQ(header[0][2].toString(), "2025-03-15");
    EXPECT_EQ(header[0][3].toString(), "Moara Dâmboviţa SRL");
    EXPECT_EQ(header[0][4].toString(), "Făină");
    EXPECT_EQ(header[0][5].toString(), QDate::currentDate().toString(Qt::ISODate));

    QStringList lines;
    for (const QVariantList& r :
         rows("SELECT Contor_secundar, Cod_articol, Lot, Cantitate, Pret_achizitie_lei, TVA, "
              "Valuta, Cont_marfa, Cont_TVA_Intrari FROM Item_in WHERE Contor = 5 "
              "ORDER BY Contor_secundar")) {
        QStringList cells;
        for (const QVariant& v : r)
            cells << v.toString();
        lines << cells.join(QLatin1Char(' '));
    }
    EXPECT_EQ(lines, (QStringList{"1 M001 L1 5 2.25 1.01 RON 301 4426",
                                  "2 M001 L2 3.5 2.3 0.72 RON 301 4426",
                                  "3 M001 L1 1 2.25 0.2 RON 301 4426"}))
        << "numbered from 1, VAT at the catalog's 9%, the catalog's accounts";
}

TEST_F(ReceiptPosting, AProductionReceiptTypedVatAndEmptyLotAreKept) {
    const double counter = book->post({"BPF",
                                       "104",
                                       "2025-03-16",
                                       "Secţia panificaţie",
                                       "",
                                       {{"PF", "P001", "PF1", "", "200", "1.35", "0"}}});
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(stock(), (QStringList{"G01 MPF M001 L1 2.25 10", "PF1 PF P001  1.35 200"}));
    EXPECT_EQ(scalar("SELECT TVA FROM Item_in WHERE Contor = 5"), 0);
    const Receipt loaded = book->load(5);
    EXPECT_EQ(loaded.date, "16/03/2025");
    EXPECT_EQ(loaded.supplier, "Secţia panificaţie");
    ASSERT_EQ(loaded.lines.size(), 1);
    EXPECT_EQ(loaded.lines[0].price, "1,35") << "numbers in the separator in force";
    EXPECT_EQ(loaded.lines[0].lot, "");
    // Posted again as loaded, under another number: the same record grows.
    Receipt again = loaded;
    again.number = QStringLiteral("105");
    book->post(again);
    EXPECT_EQ(stock()[1], "PF1 PF P001  1.35 400");
}

TEST_F(ReceiptPosting, AProductionReturnLowersItsRecordAndIsRefusedBeyondIt) {
    Receipt r{"BPF", "104", "16/03/2025", "Secţia", "", {flour("L1", "-4")}};
    book->post(r);
    EXPECT_EQ(stock(), QStringList{"G01 MPF M001 L1 2.25 6"});
    const QString before = everything();
    r.number = QStringLiteral("105");
    r.lines[0].quantity = QStringLiteral("-7");
    try {
        book->post(r);
        ADD_FAILURE() << "a return larger than the stock was posted";
    } catch (const ReceiptRefused& e) {
        EXPECT_TRUE(e.message().contains("MPF M001")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("lipsesc 1 ")) << e.message().toStdString();
    }
    EXPECT_EQ(everything(), before);
}

TEST_F(ReceiptPosting, AFailureMidwayWritesNothingAndTheCounterStays) {
    // A stray line already holds the place of the new receipt's second line.
    company.database().connection().exec(QStringLiteral(
        "INSERT INTO Item_in (Contor, Contor_secundar, Cantitate) VALUES (5, 2, 1)"));
    const QString before = everything();
    EXPECT_THROW(book->post(purchase({flour("L1", "5"), flour("L2", "3")})), base::DatabaseError);
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(counterIn(), 4);
}

TEST_F(ReceiptPosting, CorrectionReversesTheOldLinesAndWritesTheNewOnes) {
    book->post(purchase({flour("L1", "5"), flour("L2", "3")}));
    const QString registered =
        rows("SELECT Data_inregistrarii FROM Doc_in WHERE Contor = 5")[0][0].toString();
    Receipt changed = purchase({flour("L1", "2"), flour("L3", "7", "2,4")});
    changed.supplier = QStringLiteral("Alt furnizor");
    book->correct(5, changed);
    EXPECT_EQ(stock(), (QStringList{"G01 MPF M001 L1 2.25 12", "G01 MPF M001 L3 2.4 7"}))
        << "L2 came only with this receipt and is gone";
    EXPECT_EQ(counterIn(), 5) << "a correction takes no counter";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Item_in WHERE Contor = 5"), 2);
    EXPECT_EQ(rows("SELECT Furnizor, Data_inregistrarii FROM Doc_in WHERE Contor = 5")[0],
              (QVariantList{"Alt furnizor", registered}));
    const Receipt loaded = book->load(5);
    EXPECT_EQ(loaded.lines[1].lot, "L3");
    EXPECT_EQ(loaded.lines[1].quantity, "7");
}

TEST_F(ReceiptPosting, DeletionPutsTheStockBackAsItWas) {
    const QString before = everything();
    book->post(purchase({flour("L1", "5"), flour("L2", "3")}));
    book->remove(5);
    // The counter stays taken: a deleted receipt's counter is not given again.
    QString expected = before;
    expected.replace(QStringLiteral("|41|4\n"), QStringLiteral("|41|5\n"));
    EXPECT_EQ(everything(), expected);
}

struct ConsumedCase {
    const char* name;
    double consumed;         // taken from lot L1 after the receipt brought 5 there
    const char* newQuantity; // the correction's quantity on L1; nullptr: the receipt is deleted
    const char* missing;     // in the refusal; nullptr: the change passes
};

void PrintTo(const ConsumedCase& c, std::ostream* os) {
    *os << c.name;
}

class AfterConsumption : public ReceiptPosting,
                         public ::testing::WithParamInterface<ConsumedCase> {};

TEST_P(AfterConsumption, AChangeThatNeedsConsumedStockIsRefusedWithNothingWritten) {
    const ConsumedCase& c = GetParam();
    // L1 held 10 before; the receipt brings 5 to L1 and 3 to a new lot L2.
    book->post(purchase({flour("L1", "5"), flour("L2", "3")}));
    company.database().connection().exec(
        QStringLiteral("UPDATE Stoc SET Cantitate = Cantitate - %1 WHERE Lot = 'L1'")
            .arg(c.consumed));
    company.database().connection().exec(
        QStringLiteral("UPDATE Stoc SET Cantitate = 1 WHERE Lot = 'L2'"));
    const QString before = everything();
    try {
        if (c.newQuantity)
            book->correct(5, purchase({flour("L1", c.newQuantity), flour("L2", "3")}));
        else
            book->remove(5);
        EXPECT_FALSE(c.missing) << "refusal expected";
    } catch (const ReceiptRefused& e) {
        ASSERT_TRUE(c.missing) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("MPF M001"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("lipsesc %1 ").arg(c.missing)))
            << e.message().toStdString();
        EXPECT_EQ(everything(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AfterConsumption,
    ::testing::Values(
        // L2 holds 1 of the 3 it got: a deletion misses 2 there, whatever L1 holds.
        ConsumedCase{"DeletionAfterL2WasConsumed", 0, nullptr, "2"},
        ConsumedCase{"CorrectionKeepingWhatIsLeft", 12, "5", nullptr},
        ConsumedCase{"CorrectionLoweringWithinWhatIsLeft", 12, "3", nullptr},
        ConsumedCase{"CorrectionLoweringBelowWhatIsLeft", 12, "1", "1"},
        ConsumedCase{"CorrectionRaising", 14, "9", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- refused input ----

struct BadCase {
    const char* name;
    std::function<void(Receipt&)> spoil;
    int line;           // of the refusal
    const char* reason; // a part of it
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class BadInput : public ReceiptPosting, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadInput, IsRefusedWithItsReasonAndNothingIsWritten) {
    const BadCase& c = GetParam();
    Receipt r = purchase({flour("L1", "5"), flour("L2", "3")});
    c.spoil(r);
    const QList<Refusal> refused = book->check(r);
    ASSERT_EQ(refused.size(), 1) << (refused.isEmpty() ? "" : refused[0].text().toStdString());
    EXPECT_EQ(refused[0].line, c.line);
    EXPECT_TRUE(refused[0].reason.contains(QString::fromUtf8(c.reason)))
        << refused[0].text().toStdString();

    const QString before = everything();
    const QByteArray bytes = fileBytes();
    try {
        book->post(r);
        ADD_FAILURE() << "posted";
    } catch (const ReceiptRefused& e) {
        EXPECT_EQ(e.refusals(), refused);
    }
    EXPECT_EQ(everything(), before);
    EXPECT_TRUE(fileBytes() == bytes) << "the database file changed";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    ::testing::Values(
        BadCase{"ArticleNotInCatalog", [](Receipt& r) { r.lines[1].article = "M999"; }, 2,
                "articolul MPF M999 nu este în catalog"},
        BadCase{"ArticleInAnotherGroup", [](Receipt& r) { r.lines[0].group = "PF"; }, 1,
                "nu este în catalog"},
        BadCase{"QuantityZero", [](Receipt& r) { r.lines[1].quantity = "0,0"; }, 2,
                "cantitatea este zero"},
        BadCase{"QuantityNegativeOnAPurchase", [](Receipt& r) { r.lines[0].quantity = "-2"; }, 1,
                "nu poate fi negativă"},
        BadCase{"QuantityNotANumber", [](Receipt& r) { r.lines[0].quantity = "doi"; }, 1,
                "cantitatea „doi” nu este un număr"},
        BadCase{"QuantityWithThousands", [](Receipt& r) { r.lines[0].quantity = "1.000,5"; }, 1,
                "nu este un număr"},
        BadCase{"QuantityMissing", [](Receipt& r) { r.lines[0].quantity = ""; }, 1,
                "lipsește cantitatea"},
        BadCase{"DateThatDoesNotExist", [](Receipt& r) { r.date = "31/04/2025"; }, 0,
                "data „31/04/2025” nu există"},
        BadCase{"IsoDateThatDoesNotExist", [](Receipt& r) { r.date = "2025-02-29"; }, 0,
                "nu există"},
        BadCase{"PriceBelowZero", [](Receipt& r) { r.lines[1].price = "-0,01"; }, 2,
                "prețul nu poate fi sub zero"},
        BadCase{"PriceMissing", [](Receipt& r) { r.lines[1].price = " "; }, 2, "lipsește prețul"},
        BadCase{"VatNotANumber", [](Receipt& r) { r.lines[1].vat = "9%"; }, 2, "TVA „9%”"},
        BadCase{"SupplierOutsideCodePage", [](Receipt& r) { r.supplier = "Zhōu 周"; }, 0,
                "Furnizor: caracterul „ō”"},
        BadCase{"LotOutsideCodePage", [](Receipt& r) { r.lines[0].lot = "L✓1"; }, 1,
                "Lotul: caracterul „✓”"},
        BadCase{"LotTooLong", [](Receipt& r) { r.lines[0].lot = QString(31, 'L'); }, 1,
                "Lotul are 31 caractere"},
        BadCase{"WarehouseMissing", [](Receipt& r) { r.lines[1].warehouse = ""; }, 2,
                "lipsește gestiunea"},
        BadCase{"TypeUnknown", [](Receipt& r) { r.type = "FAC"; }, 0, "NIR"},
        BadCase{"NumberNotWhole", [](Receipt& r) { r.number = "12,5"; }, 0, "întreg pozitiv"},
        BadCase{"SameTypeAndNumberAsAPostedReceipt",
                [](Receipt& r) {
                    r.type = "BPF";
                    r.number = "103";
                },
                0, "există deja un document BPF cu numărul 103 (contorul 4)"},
        BadCase{"NoLines", [](Receipt& r) { r.lines = {ReceiptLine{}}; }, 0,
                "documentul nu are nicio linie"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiptPosting, EveryRefusalIsListedInLineOrder) {
    Receipt r = purchase({flour("L1", "x"), flour("L2", "3")});
    r.date = QStringLiteral("30/02/2025");
    r.lines[1].article = QStringLiteral("M999");
    r.lines[1].price = QStringLiteral("-1");
    QStringList texts;
    for (const Refusal& f : book->check(r))
        texts << f.text();
    EXPECT_EQ(texts, (QStringList{"data „30/02/2025” nu există",
                                  "linia 1: cantitatea „x” nu este un număr",
                                  "linia 2: prețul nu poate fi sub zero: -1",
                                  "linia 2: articolul MPF M999 nu este în catalog"}));
}

TEST_F(ReceiptPosting, ACorrectedReceiptMayKeepItsOwnNumber) {
    book->post(purchase({flour("L1", "5")}));
    EXPECT_TRUE(book->check(purchase({flour("L1", "6")}), 5).isEmpty());
    EXPECT_FALSE(book->check(purchase({flour("L1", "6")})).isEmpty()) << "a new one may not";
}

TEST_F(ReceiptPosting, TwoUsersPostingAtOnceGetDistinctCounters) {
    constexpr int kEach = 8;
    std::atomic<int> failures{0};
    auto user = [&](int who) {
        try {
            db::Session s;
            s.addAlias(QStringLiteral("FIRMA"), location);
            db::Database d(QStringLiteral("FIRMA"), &s);
            ReceiptBook own(d);
            for (int i = 0; i < kEach; ++i)
                own.post({"NIR",
                          QString::number(1000 * who + i),
                          "15/03/2025",
                          "",
                          "",
                          {{"MPF", "M001", "G01", "L1", "1", "2,25", ""}}});
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            ++failures;
        }
    };
    std::thread first(user, 1), second(user, 2);
    first.join();
    second.join();
    ASSERT_EQ(failures, 0);
    EXPECT_EQ(counterIn(), 4 + 2 * kEach);
    EXPECT_EQ(scalar("SELECT COUNT(DISTINCT Contor) FROM Doc_in WHERE Contor > 4"), 2 * kEach);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Item_in"), 2 * kEach);
    EXPECT_EQ(stock(), QStringList{QStringLiteral("G01 MPF M001 L1 2.25 %1").arg(10 + 2 * kEach)});
}

TEST(ReceiptText, NumbersAndDatesAsPeopleAndSpreadsheetsWriteThem) {
    testsupport::ScopedFormat format{"DD/MM/YYYY", '/', ','};
    double v = 0;
    EXPECT_TRUE(receipts::parseNumber(" 2,25 ", v));
    EXPECT_EQ(v, 2.25);
    EXPECT_TRUE(receipts::parseNumber("2.25", v));
    EXPECT_EQ(v, 2.25);
    for (const char* bad : {"", "1.2.3", "1,2,3", "abc", "inf", "nan", "1e999"})
        EXPECT_FALSE(receipts::parseNumber(bad, v)) << bad;
    QDate d;
    EXPECT_TRUE(receipts::parseDate("15/03/2025", d));
    EXPECT_EQ(d, QDate(2025, 3, 15));
    EXPECT_TRUE(receipts::parseDate("2024-02-29", d));
    EXPECT_EQ(d, QDate(2024, 2, 29));
    for (const char* bad : {"29/02/2025", "2025-13-01", "mâine", "15/03"})
        EXPECT_FALSE(receipts::parseDate(bad, d)) << bad;
}

} // namespace
