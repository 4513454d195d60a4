#include "requirement_core_fixture.h"

#include "requirement/consumption_register.h"
#include "requirement/consumption_reversal.h"
#include "requirement/consumption_trace.h"
#include "tests/support/test_server.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

using requirement::generateConsumptionDocument;
using requirement::ReversalRefused;
using requirement::ReversalResult;
using requirement::reverseConsumption;

const QDate kDocumentDate{2024, 4, 2};
const QDate kReversalDate{2024, 4, 5};

class ConsumptionReversal : public requirementtest::RequirementFixture {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        company.counter(41);
        company.receipt(7, 15, "A1", {2024, 3, 12});
        for (const char* code : {"M100", "M200"})
            company.article("MAT", code);
    }

    struct Want {
        const char* code;
        double quantity;
    };
    // Generates a document for receipt 7 whose requirement lines are exactly these.
    double consume(std::initializer_list<Want> lines) {
        requirement::buildRequirement(*dm, 7);
        for (const Want& w : lines) {
            dm->TempTable.append();
            dm->TempTableCod_grupa->setAsString("MAT");
            dm->TempTableCod_MatPrim->setAsString(w.code);
            dm->TempTableCant->setAsFloat(w.quantity);
            dm->TempTable.post();
        }
        const double counter = generateConsumptionDocument(*dm, kDocumentDate).counter;
        requirement::closeRequirement(*dm);
        return counter;
    }

    ReversalResult reverse(double document) {
        return reverseConsumption(company.database(), document, kReversalDate);
    }

    // Every stock record with every field, in key order; quantities with every digit.
    QStringList stock() {
        QStringList out;
        for (const QVariantList& r :
             rows("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, Agent, "
                  "Cantitate FROM Stoc ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Lot"))
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                       .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString())
                       .arg(r[4].toDouble())
                       .arg(r[5].toString().isEmpty() ? QStringLiteral("-") : r[5].toString())
                       .arg(r[6].toDouble(), 0, 'g', 17);
        return out;
    }

    // "line warehouse lot code quantity" of a document's lines.
    QStringList documentLines(double contor) {
        const QByteArray sql = "SELECT Contor_secundar, Cod_gestiune, Lot, Cod_articol, Cantitate "
                               "FROM Item_out WHERE Contor = " +
                               QByteArray::number(contor) + " ORDER BY Contor_secundar";
        QStringList out;
        for (const QVariantList& r : rows(sql.constData()))
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(r[0].toDouble())
                       .arg(r[1].toString(), r[2].toString(), r[3].toString())
                       .arg(r[4].toDouble());
        return out;
    }

    double counter() { return scalar("SELECT NewCounterOut FROM Counter").toDouble(); }
    int count(const char* table) {
        return int(scalar((QByteArray("SELECT COUNT(*) FROM ") + table).constData()).toDouble());
    }
};

// ---- the stock comes back exactly ----

struct Lot {
    const char* warehouse;
    const char* lot;
    double quantity;
    const char* agent;
};

struct RestoreCase {
    const char* name;
    std::vector<Lot> stock; // of MAT M100
    double required;
    int recreated; // records the reversal creates again
};

void PrintTo(const RestoreCase& c, std::ostream* os) {
    *os << c.name;
}

class StockRestoring : public ConsumptionReversal,
                       public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(StockRestoring, EveryRecordComesBackWithEveryField) {
    const RestoreCase& c = GetParam();
    for (const Lot& l : c.stock) {
        company.stock(l.warehouse, "MAT", "M100", l.lot, 2.5, l.quantity);
        if (l.agent)
            exec(QByteArray("UPDATE Stoc SET Agent = '")
                     .append(l.agent)
                     .append("' WHERE Lot = '")
                     .append(l.lot)
                     .append("'")
                     .constData());
    }
    company.stock("G1", "MAT", "M200", "L0", 1, 50);
    const QStringList before = stock();
    const double document = consume({{"M100", c.required}, {"M200", 0.1}});
    ASSERT_NE(stock(), before);

    const ReversalResult r = reverse(document);
    EXPECT_EQ(r.document, document);
    EXPECT_EQ(r.counter, document + 1);
    EXPECT_EQ(r.recreated, c.recreated);
    EXPECT_EQ(stock(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StockRestoring,
    ::testing::Values(
        RestoreCase{"Lowered", {{"G1", "L1", 25, "AG1"}}, 10, 0},
        RestoreCase{"EmptiedAndDeleted", {{"G1", "L1", 10, "AG1"}}, 10, 1},
        RestoreCase{"DeletedWithinTheTolerance", {{"G1", "L1", 10.0000005, "AG2"}}, 10, 1},
        RestoreCase{"ThirdsThatDoNotAddUpInBinary", {{"G1", "L1", 1.1, nullptr}}, 0.3, 0},
        RestoreCase{"SpreadOverLotsAndWarehouses",
                    {{"G1", "L1", 4, "AG1"},
                     {"G1", "L2", 0, nullptr},
                     {"G2", "L3", 3, "AG3"},
                     {"G3", "L4", 5, nullptr}},
                    10,
                    2},
        RestoreCase{"AReturnRaisedARecord", {{"G1", "L1", 5, nullptr}}, -3, 0}));

// ---- the reversal document ----

TEST_F(ConsumptionReversal, WritesTheLinesNegatedUnderANewCounterAndMarksTheOriginal) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 4).stock("G2", "MAT", "M100", "L2", 2.5, 20);
    const double document = consume({{"M100", 10}});
    ASSERT_EQ(document, 42);

    const ReversalResult r = reverse(42);
    EXPECT_EQ(r.counter, 43);
    EXPECT_EQ(r.lineCount, 2);
    EXPECT_EQ(counter(), 43);
    const auto header = rows("SELECT Tip, Numar, Data, Explicatie FROM Doc_out WHERE Contor = 43");
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0][0].toString(), "BMC");
    EXPECT_EQ(header[0][1].toDouble(), 15);
    EXPECT_EQ(header[0][2].toString(), "2024-04-05");
    EXPECT_EQ(header[0][3].toString(), "Stornare BMC 15/02.04.2024 (contor 42)");
    EXPECT_EQ(documentLines(43), (QStringList{"1 G1 L1 M100 -4", "2 G2 L2 M100 -6"}));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Item_out A JOIN Item_out B ON A.Contor_secundar = "
                     "B.Contor_secundar AND A.Contor = 42 AND B.Contor = 43 WHERE "
                     "A.Pret_achizitie = B.Pret_achizitie AND A.Cont_marfa = B.Cont_marfa AND "
                     "A.Cont_cheltuieli = B.Cont_cheltuieli")
                  .toDouble(),
              2)
        << "prices and accounts as in the original";
    const requirement::RegisteredReversal mark = requirement::reversalOf(company.database(), 42);
    EXPECT_EQ(mark.document, 42);
    EXPECT_EQ(mark.reversal, 43);
    EXPECT_EQ(mark.date, kReversalDate);
    EXPECT_TRUE(requirement::isReversalDocument(company.database(), 43));
}

TEST_F(ConsumptionReversal, AReversedDocumentNoLongerCountsAsTheReceiptsConsumption) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    consume({{"M100", 10}}); // 42
    consume({{"M100", 1}});  // 43
    reverse(42);
    const auto left = requirement::consumptionsOfReceipt(company.database(), 7);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].document, 43);
}

// ---- refusals: nothing is written ----

struct RefusalCase {
    const char* name;
    double document;
    const char* says;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class ReversalRefusals : public ConsumptionReversal,
                         public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ReversalRefusals, SayWhyAndChangeNothing) {
    const RefusalCase& c = GetParam();
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    company.outputDocument(30, 5, "AVZ", {2024, 1, 1}, "Aviz")
        .outputLine(30, 1, "G1", "MAT", "M100", "L1", 1, 2.5);
    // A consumption posted ahead, dated after the reversal's day.
    company.outputDocument(31, 6, "BMC", {2024, 4, 30}, "Consum")
        .outputLine(31, 1, "G1", "MAT", "M100", "L1", 1, 2.5);
    consume({{"M100", 10}}); // 42
    reverse(42);             // 43
    const QStringList stockBefore = stock();
    const int documents = count("Doc_out"), lines = count("Item_out");
    try {
        reverse(c.document);
        ADD_FAILURE() << "reversed";
    } catch (const ReversalRefused& e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.says))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("nu s-a scris nimic"))) << e.what();
    }
    EXPECT_EQ(stock(), stockBefore);
    EXPECT_EQ(count("Doc_out"), documents);
    EXPECT_EQ(count("Item_out"), lines);
    EXPECT_EQ(counter(), 43);
    EXPECT_EQ(count("Stornare"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReversalRefusals,
    ::testing::Values(RefusalCase{"Missing", 99, "cu contorul 99 nu există"},
                      RefusalCase{"NotAConsumption", 30, "de tipul «AVZ», nu un bon de consum"},
                      RefusalCase{"ReversedAlready", 42,
                                  "deja stornat prin documentul cu "
                                  "contorul 43 din 05.04.2024"},
                      RefusalCase{"AReversalItself", 43, "este el însuși o stornare"},
                      RefusalCase{"DatedBeforeTheDocument", 31,
                                  "Data stornării, 05.04.2024, este înaintea datei bonului de "
                                  "consum, 30.04.2024"}));

// Meant by the person (the command's --allow-earlier): the earlier date is taken.
TEST_F(ConsumptionReversal, AnEarlierDateIsTakenWhenAllowed) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    company.outputDocument(31, 6, "BMC", {2024, 4, 30}, "Consum")
        .outputLine(31, 1, "G1", "MAT", "M100", "L1", 1, 2.5);
    const ReversalResult r = reverseConsumption(company.database(), 31, kReversalDate, true);
    EXPECT_EQ(r.lineCount, 1);
    EXPECT_EQ(count("Stornare"), 1);
}

// ---- the stock moved since ----

TEST_F(ConsumptionReversal, PutsTheQuantitiesBackAfterTheStockMovedAgain) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    company.stock("G1", "MAT", "M200", "L1", 1, 10).stock("G1", "MAT", "M200", "L2", 1, 10);
    exec("UPDATE Stoc SET Agent = 'AG7' WHERE Cod_articol = 'M200' AND Lot = 'L1'");
    consume({{"M100", 10}, {"M200", 14}}); // M100 L1 15; M200 L1 deleted, L2 6
    // Another user takes 5 more of M100, a receipt brings M200 L1 back with 3, and the rest of
    // M200 L2 is consumed and deleted.
    exec("UPDATE Stoc SET Cantitate = 10 WHERE Cod_articol = 'M100'");
    company.stock("G1", "MAT", "M200", "L1", 1, 3);
    exec("DELETE FROM Stoc WHERE Cod_articol = 'M200' AND Lot = 'L2'");

    const ReversalResult r = reverse(42);
    EXPECT_EQ(r.recreated, 1);
    EXPECT_EQ(stock(), (QStringList{"G1 MAT M100 L1 2.5 - 20", "G1 MAT M200 L1 1 - 13",
                                    "G1 MAT M200 L2 1 - 4"}));
}

TEST_F(ConsumptionReversal, ADocumentWrittenBeforeTheTraceComesBackFromItsLines) {
    company.outputDocument(30, 5, "BMC", {2024, 1, 1}, "Consum coresp. A1 5/01.01.2024")
        .outputLine(30, 1, "G1", "MAT", "M100", "L1", 4, 2.5)
        .outputLine(30, 2, "G1", "MAT", "M200", "L2", 1.5, 3);
    company.stock("G1", "MAT", "M200", "L2", 3, 1);
    ASSERT_TRUE(requirement::consumptionTrace(company.database(), 30).isEmpty());

    const ReversalResult r = reverse(30);
    EXPECT_EQ(r.counter, 42);
    EXPECT_EQ(r.recreated, 1);
    EXPECT_EQ(stock(), (QStringList{"G1 MAT M100 L1 2.5 - 4", "G1 MAT M200 L2 3 - 2.5"}));
}

TEST_F(ConsumptionReversal, AFailureWritesNothing) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 10);
    consume({{"M100", 10}});
    const QStringList before = stock();
    // The reversal's counter is taken by a document that is already there.
    exec("INSERT INTO Doc_out (Contor, Tip) VALUES (43, 'BVZ')");
    EXPECT_THROW(reverse(42), base::DatabaseError);
    EXPECT_EQ(stock(), before);
    EXPECT_EQ(counter(), 42);
    EXPECT_EQ(requirement::reversalOf(company.database(), 42).document, 0);
    EXPECT_EQ(count("Item_out"), 1);
}

// ---- two users ----

TEST_F(ConsumptionReversal, TwoUsersReversingTheSameDocumentsAtOnceOneWinsEachTime) {
    constexpr int kDocuments = 6;
    company.stock("G1", "MAT", "M100", "L1", 2.5, 100);
    for (int i = 0; i < kDocuments; ++i)
        consume({{"M100", 10}}); // 42..47
    requirement::ensureReversalRegister(company.database());
    const QString location = companyLocation;
    std::atomic<int> reversed{0}, refused{0}, failures{0};
    std::atomic<int> ready{0};
    auto user = [&] {
        try {
            db::Session s;
            s.addAlias(QStringLiteral("FIRMA"), location);
            db::Database d(QStringLiteral("FIRMA"), &s);
            d.open();
            ++ready;
            while (ready < 2)
                std::this_thread::yield();
            for (int i = 0; i < kDocuments; ++i) {
                try {
                    reverseConsumption(d, 42 + i, kReversalDate);
                    ++reversed;
                } catch (const ReversalRefused&) {
                    ++refused;
                }
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            ++failures;
        }
    };
    std::thread first(user), second(user);
    first.join();
    second.join();
    ASSERT_EQ(failures, 0);
    EXPECT_EQ(reversed, kDocuments);
    EXPECT_EQ(refused, kDocuments);
    EXPECT_EQ(count("Stornare"), kDocuments);
    EXPECT_EQ(count("Doc_out"), 2 * kDocuments);
    EXPECT_EQ(counter(), 41 + 2 * kDocuments);
    EXPECT_EQ(stock(), QStringList{"G1 MAT M100 L1 2.5 - 100"});
}

} // namespace
