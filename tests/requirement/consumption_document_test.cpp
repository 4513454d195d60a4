#include "requirement_core_fixture.h"

#include "requirement/consumption_register.h"

#include <cmath>
#include <vector>

namespace {

using requirement::generateConsumptionDocument;
using requirement::GenerationResult;
using requirement::NotIssued;
using Reason = requirement::NotIssued::Reason;

const QDate kDocumentDate{2024, 4, 2};

class ConsumptionDocument : public requirementtest::RequirementFixture {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        company.counter(41);
        company.receipt(7, 15, "A1", {2024, 3, 12});
        for (const char* code : {"M100", "M200", "M300", "M400", "M500"})
            company.article("MAT", code);
        company.article("AUX", "M100");
    }

    // A sheet over receipt 7 whose requirement lines are exactly these.
    struct Want {
        const char* code;
        double quantity;
    };
    void sheetWith(std::initializer_list<Want> lines) {
        requirement::buildRequirement(*dm, 7);
        for (const Want& w : lines) {
            dm->TempTable.append();
            dm->TempTableCod_grupa->setAsString("MAT");
            dm->TempTableCod_MatPrim->setAsString(w.code);
            dm->TempTableCant->setAsFloat(w.quantity);
            dm->TempTable.post();
        }
        dm->TempTable.first();
    }

    // "warehouse lot quantity" of the stock records of one material of group MAT, in key order.
    QStringList stockOf(const char* code) {
        const QByteArray sql =
            QByteArray("SELECT Cod_gestiune, Lot, Cantitate FROM Stoc WHERE Cod_grupa = 'MAT' AND "
                       "Cod_articol = '") +
            code + "' ORDER BY Cod_gestiune, Lot";
        QStringList out;
        for (const QVariantList& r : rows(sql.constData()))
            out << QStringLiteral("%1 %2 %3")
                       .arg(r[0].toString(), r[1].toString())
                       .arg(r[2].toDouble());
        return out;
    }

    // "line warehouse lot code quantity" of the document's lines, in line order.
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

// ---- how a line takes its quantity out of the stock ----

struct Lot {
    const char* warehouse;
    const char* lot;
    double quantity;
};

struct StockCase {
    const char* name;
    std::vector<Lot> stock; // of MAT M100
    double required;
    QStringList lines; // "line warehouse lot code quantity"
    QStringList left;  // "warehouse lot quantity" of MAT M100 afterwards
    double notIssued;  // 0 when everything was issued
    Reason reason = Reason::StockRanOut;
};

void PrintTo(const StockCase& c, std::ostream* os) {
    *os << c.name;
}

class StockTaking : public ConsumptionDocument, public ::testing::WithParamInterface<StockCase> {};

TEST_P(StockTaking, TakesInKeyOrderAndLowersOrDeletes) {
    const StockCase& c = GetParam();
    // Entered in reverse, so that key order and order of entry differ.
    for (auto it = c.stock.rbegin(); it != c.stock.rend(); ++it)
        company.stock(it->warehouse, "MAT", "M100", it->lot, 2.5, it->quantity);
    company.stock("G1", "AUX", "M100", "L0", 1, 50).stock("G1", "MAT", "M200", "L0", 1, 50);
    sheetWith({{"M100", c.required}});

    const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(r.counter, 42);
    EXPECT_EQ(documentLines(42), c.lines);
    EXPECT_EQ(r.lineCount, c.lines.size());
    EXPECT_EQ(stockOf("M100"), c.left);
    EXPECT_EQ(stockOf("M200"), QStringList{"G1 L0 50"}) << "another material";
    EXPECT_EQ(scalar("SELECT Cantitate FROM Stoc WHERE Cod_grupa = 'AUX'").toDouble(), 50)
        << "the same code in another group";
    if (c.notIssued == 0) {
        EXPECT_TRUE(r.notIssued.isEmpty());
    } else {
        ASSERT_EQ(r.notIssued.size(), 1);
        EXPECT_EQ(r.notIssued[0].code, "M100");
        EXPECT_NEAR(r.notIssued[0].quantity, c.notIssued, 1e-9);
        EXPECT_EQ(r.notIssued[0].reason, c.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StockTaking,
    ::testing::Values(
        StockCase{
            "TenAgainstTwentyFive", {{"G1", "L1", 25}}, 10, {"1 G1 L1 M100 10"}, {"G1 L1 15"}, 0},
        StockCase{"TenAgainstExactlyTen", {{"G1", "L1", 10}}, 10, {"1 G1 L1 M100 10"}, {}, 0},
        StockCase{"TenAgainstTenAndHalfAMillionth",
                  {{"G1", "L1", 10.0000005}},
                  10,
                  {"1 G1 L1 M100 10"},
                  {},
                  0},
        StockCase{"SpreadOverFourZeroThreeFive",
                  {{"G1", "L1", 4}, {"G1", "L2", 0}, {"G1", "L3", 3}, {"G1", "L4", 5}},
                  10,
                  {"1 G1 L1 M100 4", "2 G1 L3 M100 3", "3 G1 L4 M100 3"},
                  {"G1 L2 0", "G1 L4 2"},
                  0},
        StockCase{"FirstRecordNegativeIsPassedOver",
                  {{"G1", "L1", -2}, {"G1", "L2", 4}, {"G1", "L3", 9}},
                  10,
                  {"1 G1 L2 M100 4", "2 G1 L3 M100 6"},
                  {"G1 L1 -2", "G1 L3 3"},
                  0},
        StockCase{"RecordEqualToTheRemainderEndsTheSpreading",
                  {{"G1", "L1", 4}, {"G1", "L2", 6}, {"G1", "L3", 5}},
                  10,
                  {"1 G1 L1 M100 4", "2 G1 L2 M100 6"},
                  {"G1 L3 5"},
                  0},
        StockCase{"NegativeRequirementRaisesTheStock",
                  {{"G1", "L1", 5}},
                  -3,
                  {"1 G1 L1 M100 -3"},
                  {"G1 L1 8"},
                  0},
        StockCase{"TwoWarehouses",
                  {{"G1", "L1", 4}, {"G2", "L1", 8}},
                  10,
                  {"1 G1 L1 M100 4", "2 G2 L1 M100 6"},
                  {"G2 L1 2"},
                  0},
        StockCase{"RoundedFinalStockOfZeroIssuesWhatThereIs",
                  {{"G1", "L1", 10}},
                  10.004,
                  {"1 G1 L1 M100 10"},
                  {},
                  0.004},
        // Quantities from received x recipe / batch are rarely exact: what the arithmetic leaves
        // within a millionth of nothing is neither a document line nor a stock record.
        StockCase{"OnePointOneOverOneAndATenthLeavesNoRoundingLine",
                  {{"G1", "L1", 1.0}, {"G1", "L2", 0.1}, {"G1", "L3", 5}},
                  1.1,
                  {"1 G1 L1 M100 1", "2 G1 L2 M100 0.1"},
                  {"G1 L3 5"},
                  0},
        StockCase{"ThreeTenthsOverATenthAndTwoTenthsDeletesBoth",
                  {{"G1", "L1", 0.1}, {"G1", "L2", 0.2}},
                  0.3,
                  {"1 G1 L1 M100 0.1", "2 G1 L2 M100 0.2"},
                  {},
                  0},
        StockCase{"RecordHoldingLessThanAMillionthIsPassedOver",
                  {{"G1", "L1", 0.5}, {"G1", "L2", 0.0000004}, {"G1", "L3", 2}},
                  1.2,
                  {"1 G1 L1 M100 0.5", "2 G1 L3 M100 0.7"},
                  {"G1 L2 4e-07", "G1 L3 1.3"},
                  0},
        StockCase{"RequirementOfLessThanAMillionthWritesNoLine",
                  {{"G1", "L1", 5}},
                  0.0000004,
                  {},
                  {"G1 L1 5"},
                  0},
        StockCase{"ReturnBeyondANegativeFirstRecordIsNamedAsAReturn",
                  {{"G1", "L1", -5}, {"G1", "L2", 4}},
                  -3,
                  {},
                  {"G1 L1 -5", "G1 L2 4"},
                  -3,
                  Reason::Return}),
    [](const ::testing::TestParamInfo<StockCase>& info) { return std::string(info.param.name); });

// ---- the lines left out when asked ----

struct NegativeCase {
    const char* name;
    std::vector<Lot> stock; // of MAT M100
    double required;
    bool negative; // the line's final stock is below 0
};
void PrintTo(const NegativeCase& c, std::ostream* os) {
    *os << c.name;
}

class NegativeLines : public ConsumptionDocument,
                      public ::testing::WithParamInterface<NegativeCase> {};

// The lines a window offers to leave out are those whose final stock the sheet shows below 0.
TEST_P(NegativeLines, AgreeWithTheFinalStockTheSheetShows) {
    const NegativeCase& c = GetParam();
    for (const Lot& lot : c.stock)
        company.stock(lot.warehouse, "MAT", "M100", lot.lot, 2.5, lot.quantity);
    company.stock("G1", "AUX", "M100", "L0", 1, 50).stock("G1", "MAT", "M200", "L0", 1, 50);
    sheetWith({{"M100", c.required}, {"M200", 1}});
    const QSet<QString> negative = requirement::negativeRequirementLines(*dm);
    EXPECT_EQ(negative.contains(QStringLiteral("MAT\nM100")), c.negative);
    EXPECT_FALSE(negative.contains(QStringLiteral("MAT\nM200")));
    const auto shown = requirement::readRequirementLines(*dm);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].finalStock < 0, c.negative)
        << "as the sheet shows it: " << shown[0].finalStock;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NegativeLines,
    ::testing::Values(
        NegativeCase{"EnoughStock", {{"G1", "L1", 25}}, 10, false},
        NegativeCase{"ExactlyEnough", {{"G1", "L1", 10}}, 10, false},
        NegativeCase{"ShortByLessThanHalfAHundredth", {{"G1", "L1", 10}}, 10.004, false},
        NegativeCase{"ShortByHalfAHundredth", {{"G1", "L1", 10}}, 10.005, true},
        NegativeCase{"ShortBySixThousandths", {{"G1", "L1", 10}}, 10.006, true},
        NegativeCase{"TwoWarehousesTogetherEnough", {{"G1", "L1", 4}, {"G2", "L1", 8}}, 12, false},
        NegativeCase{"TwoWarehousesTogetherShort", {{"G1", "L1", 4}, {"G2", "L1", 8}}, 12.01, true},
        NegativeCase{"NoStockRecord", {}, 1, true},
        NegativeCase{"AReturnWithoutStock", {}, -3, false},
        NegativeCase{"NegativeStockAndNothingRequired", {{"G1", "L1", -1}}, 0, true}),
    [](const ::testing::TestParamInfo<NegativeCase>& info) {
        return std::string(info.param.name);
    });

// ---- the document as a whole ----

TEST_F(ConsumptionDocument, HeaderAndLinesCarryTheReceiptTheDateAndTheAccounts) {
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    sheetWith({{"M100", 10}});
    generateConsumptionDocument(*dm, kDocumentDate);
    const auto header = rows("SELECT Contor, Data_inregistrarii, Numar, Tip, Data, Explicatie, "
                             "Client, Data_scadenta, Agent FROM Doc_out");
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0][0].toDouble(), 42);
    EXPECT_EQ(header[0][1].toString(), "2024-04-02");
    EXPECT_EQ(header[0][2].toDouble(), 15);
    EXPECT_EQ(header[0][3].toString(), "BMC");
    EXPECT_EQ(header[0][4].toString(), "2024-04-02");
    EXPECT_EQ(header[0][5].toString(), "Consum coresp. A1 15/12.03.2024");
    EXPECT_TRUE(header[0][6].isNull() || header[0][6].toString().isEmpty());
    EXPECT_TRUE(header[0][7].isNull());
    EXPECT_EQ(counter(), 42);

    const auto line =
        rows("SELECT Pret_achizitie, Pret_vinzare, Pret_vz_echiv_USD, TVA, Cod_grupa, Cont_marfa, "
             "Cont_cheltuieli, Cont_TVA_Iesiri, Acciza FROM Item_out");
    ASSERT_EQ(line.size(), 1);
    EXPECT_EQ(line[0][0].toDouble(), 2.5);
    EXPECT_EQ(line[0][1].toDouble(), 2.5) << "valued at purchase price";
    EXPECT_EQ(line[0][2].toDouble(), 0);
    EXPECT_EQ(line[0][3].toDouble(), 0);
    EXPECT_EQ(line[0][4].toString(), "MAT");
    EXPECT_EQ(line[0][5].toString(), "301");
    EXPECT_EQ(line[0][6].toString(), "601");
    EXPECT_EQ(line[0][7].toString(), "4427");
    EXPECT_TRUE(line[0][8].isNull());
}

TEST_F(ConsumptionDocument, ExplanationFollowsTheDateSeparatorInForce) {
    testsupport::ScopedFormat slash("DD/MM/YYYY", '/', ',');
    company.stock("G1", "MAT", "M100", "L1", 2.5, 25);
    sheetWith({{"M100", 10}});
    generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(scalar("SELECT Explicatie FROM Doc_out").toString(),
              "Consum coresp. A1 15/12/03/2024");
}

TEST_F(ConsumptionDocument, SkippedLinesTakeNoNumberAndAreReported) {
    company.stock("G1", "MAT", "M100", "L1", 1, 25).stock("G1", "MAT", "M200", "L1", 1, 5);
    company.stock("G1", "MAT", "M300", "L1", 1, 3).stock("G1", "MAT", "M500", "L1", 1, 1);
    // M200 would go below zero, M300 asks for nothing, M400 has no stock record.
    sheetWith({{"M100", 10}, {"M200", 8}, {"M300", 0}, {"M400", -2}, {"M500", 1}});
    dm->TempTable.last();

    const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(documentLines(42), (QStringList{"1 G1 L1 M100 10", "2 G1 L1 M500 1"}));
    EXPECT_EQ(r.lineCount, 2);
    ASSERT_EQ(r.notIssued.size(), 2);
    EXPECT_EQ(r.notIssued[0].code, "M200");
    EXPECT_EQ(r.notIssued[0].quantity, 8);
    EXPECT_EQ(r.notIssued[0].reason, Reason::FinalStockNegative);
    EXPECT_EQ(r.notIssued[1].code, "M400");
    EXPECT_EQ(r.notIssued[1].quantity, -2);
    EXPECT_EQ(r.notIssued[1].reason, Reason::NoStock);
    EXPECT_EQ(stockOf("M200"), QStringList{"G1 L1 5"});
    EXPECT_EQ(stockOf("M300"), QStringList{"G1 L1 3"});

    EXPECT_EQ(requirement::readRequirementLines(*dm).size(), 5)
        << "the requirement table is not changed";
    EXPECT_EQ(dm->TempTableCod_MatPrim->asString(), "M500") << "and keeps its current line";
    EXPECT_FALSE(dm->DocOutTable.isActive());
    EXPECT_FALSE(dm->ItemOutTable.isActive());
    EXPECT_FALSE(dm->CounterTable.isActive());
}

TEST_F(ConsumptionDocument, AllLinesSkippedStillWritesTheHeaderAndAdvancesTheCounter) {
    sheetWith({{"M100", 10}, {"M200", 0}});
    const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(r.counter, 42);
    EXPECT_EQ(r.lineCount, 0);
    EXPECT_EQ(count("Doc_out"), 1);
    EXPECT_EQ(count("Item_out"), 0);
    EXPECT_EQ(counter(), 42);
}

TEST_F(ConsumptionDocument, TwoSheetsGetConsecutiveCounters) {
    company.stock("G1", "MAT", "M100", "L1", 1, 25);
    sheetWith({{"M100", 10}});
    EXPECT_EQ(generateConsumptionDocument(*dm, kDocumentDate).counter, 42);
    requirement::closeRequirement(*dm);
    sheetWith({{"M100", 10}});
    EXPECT_EQ(generateConsumptionDocument(*dm, kDocumentDate).counter, 43);
    EXPECT_EQ(counter(), 43);
    EXPECT_EQ(stockOf("M100"), QStringList{"G1 L1 5"});
    EXPECT_EQ(documentLines(43), QStringList{"1 G1 L1 M100 10"});
}

// ---- the register of the documents written ----

TEST_F(ConsumptionDocument, EachDocumentIsRegisteredAgainstItsReceipt) {
    company.stock("G1", "MAT", "M100", "L1", 1, 25);
    EXPECT_TRUE(requirement::consumptionsOfReceipt(company.database(), 7).isEmpty())
        << "no register yet";
    sheetWith({{"M100", 10}});
    generateConsumptionDocument(*dm, kDocumentDate);
    requirement::closeRequirement(*dm);
    sheetWith({{"M100", 1}});
    generateConsumptionDocument(*dm, kDocumentDate.addDays(1));

    const auto registered = requirement::consumptionsOfReceipt(company.database(), 7);
    ASSERT_EQ(registered.size(), 2);
    EXPECT_EQ(registered[0].document, 42);
    EXPECT_EQ(registered[0].date, kDocumentDate);
    EXPECT_EQ(registered[1].document, 43);
    EXPECT_EQ(registered[1].date, kDocumentDate.addDays(1));
    EXPECT_TRUE(requirement::consumptionsOfReceipt(company.database(), 8).isEmpty());
}

TEST_F(ConsumptionDocument, AFailedDocumentLeavesNoRegisterEntry) {
    company.stock("G1", "MAT", "M100", "L1", 1, 25);
    sheetWith({{"M100", 10}});
    dm->ItemOutTable.beforePost = [](db::DataSet&) { throw base::DatabaseError("disk full"); };
    EXPECT_THROW(generateConsumptionDocument(*dm, kDocumentDate), base::DatabaseError);
    EXPECT_TRUE(requirement::consumptionsOfReceipt(company.database(), 7).isEmpty());
}

TEST_F(ConsumptionDocument, AReceiptDeletedSinceTheBuildIsRefusedAndNothingWritten) {
    company.receipt(9, 99, "B9", {2024, 1, 1});
    company.stock("G1", "MAT", "M100", "L1", 1, 25);
    sheetWith({{"M100", 10}});
    // DocInTable stands on receipt 7; another user deletes it. The document must not cite
    // whatever receipt the dataset would stand on next.
    exec("DELETE FROM Doc_in WHERE Contor = 7");
    try {
        generateConsumptionDocument(*dm, kDocumentDate);
        ADD_FAILURE() << "a document was written for a receipt that is gone";
    } catch (const requirement::GenerationRefused& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("contorul 7"))) << e.what();
    }
    EXPECT_EQ(count("Doc_out"), 0);
    EXPECT_EQ(counter(), 41);
    EXPECT_EQ(stockOf("M100"), QStringList{"G1 L1 25"});
}

// ---- all or nothing ----

TEST_F(ConsumptionDocument, FailureInTheMiddleWritesNothingAndASecondAttemptSucceeds) {
    company.stock("G1", "MAT", "M100", "L1", 1, 4).stock("G1", "MAT", "M100", "L2", 1, 20);
    company.stock("G1", "MAT", "M200", "L1", 1, 5);
    sheetWith({{"M100", 10}, {"M200", 5}});
    int posted = 0;
    dm->ItemOutTable.beforePost = [&posted](db::DataSet&) {
        if (++posted == 3)
            throw base::DatabaseError("disk full");
    };
    EXPECT_THROW(generateConsumptionDocument(*dm, kDocumentDate), base::DatabaseError);
    EXPECT_EQ(count("Doc_out"), 0);
    EXPECT_EQ(count("Item_out"), 0);
    EXPECT_EQ(counter(), 41) << "the counter is unchanged";
    EXPECT_EQ(stockOf("M100"), (QStringList{"G1 L1 4", "G1 L2 20"})) << "the first record is back";
    EXPECT_EQ(stockOf("M200"), QStringList{"G1 L1 5"});
    EXPECT_FALSE(dm->DocOutTable.isActive());
    EXPECT_FALSE(dm->ItemOutTable.isActive());
    EXPECT_EQ(dm->StocTable.state(), db::DataSetState::Browse);

    dm->ItemOutTable.beforePost = nullptr;
    const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(r.counter, 42);
    EXPECT_EQ(documentLines(42),
              (QStringList{"1 G1 L1 M100 4", "2 G1 L2 M100 6", "3 G1 L1 M200 5"}));
    EXPECT_EQ(stockOf("M100"), QStringList{"G1 L2 14"});
}

TEST_F(ConsumptionDocument, CounterOutOfStepWithTheDocumentsWritesNothing) {
    company.stock("G1", "MAT", "M100", "L1", 1, 25);
    exec("INSERT INTO Doc_out (Contor, Tip) VALUES (42, 'BMC')");
    sheetWith({{"M100", 10}});
    try {
        generateConsumptionDocument(*dm, kDocumentDate);
        ADD_FAILURE() << "a second document 42 was written";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), base::DatabaseError::Kind::KeyViolation);
    }
    EXPECT_EQ(counter(), 41);
    EXPECT_EQ(count("Doc_out"), 1);
    EXPECT_EQ(stockOf("M100"), QStringList{"G1 L1 25"});
}

TEST_F(ConsumptionDocument, WorksOnTheStockAndCounterAsAnotherUserLeftThem) {
    company.stock("G1", "MAT", "M100", "L1", 1, 6).stock("G1", "MAT", "M100", "L2", 1, 20);
    company.stock("G1", "MAT", "M200", "L1", 1, 12);
    company.stock("G1", "MAT", "M300", "L1", 1, 1);
    sheetWith({{"M100", 10}, {"M200", 5}, {"M300", 3}});
    // The user was shown enough of M100 and M200 and agreed to leave M300 out. Once the
    // generation has started, before it takes its lock, another user takes 5 of M100's first
    // lot, 10 of M200, a document counter, and brings M300 back in stock.
    ASSERT_EQ(requirement::readRequirementLines(*dm)[1].finalStock, 7);
    dm->DocOutTable.afterOpen = [this](db::DataSet&) {
        exec("UPDATE Stoc SET Cantitate = 1 WHERE Cod_articol = 'M100' AND Lot = 'L1'");
        exec("UPDATE Stoc SET Cantitate = 2 WHERE Cod_articol = 'M200'");
        exec("UPDATE Stoc SET Cantitate = 50 WHERE Cod_articol = 'M300'");
        exec("UPDATE Counter SET NewCounterOut = 42");
    };

    const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate);
    EXPECT_EQ(r.counter, 43);
    EXPECT_EQ(documentLines(43),
              (QStringList{"1 G1 L1 M100 1", "2 G1 L2 M100 9", "3 G1 L1 M200 2"}))
        << "no quantity taken twice; what is left of M200 is issued";
    EXPECT_EQ(stockOf("M100"), QStringList{"G1 L2 11"});
    EXPECT_EQ(stockOf("M200"), QStringList{}) << "no stock below zero";
    EXPECT_EQ(stockOf("M300"), QStringList{"G1 L1 50"}) << "left out as the user agreed";
    ASSERT_EQ(r.notIssued.size(), 2);
    EXPECT_EQ(r.notIssued[0].code, "M200");
    EXPECT_EQ(r.notIssued[0].quantity, 3);
    EXPECT_EQ(r.notIssued[0].reason, Reason::StockRanOut);
    EXPECT_EQ(r.notIssued[1].code, "M300");
    EXPECT_EQ(r.notIssued[1].reason, Reason::FinalStockNegative);
}

// ---- the work a line costs ----

// A document's lines cost a fixed few statements each, whatever the document's length: the
// stock and catalog records of all lines are read at once, and each document line writes its
// line and its stock record. Nothing is prepared again for a longer document.
TEST_F(ConsumptionDocument, EachLineCostsAFewStatementsAndNothingIsPreparedPerLine) {
    struct Round {
        int materials;
        int lines; // document lines written
    };
    db::Connection& companyConnection = dm->GhostDB.connection();
    auto counts = [&] {
        const auto a = companyConnection.statementCounts();
        const auto b = dm->TempTable.isActive()
                           ? dm->TempTable.database().connection().statementCounts()
                           : db::Connection::StatementCounts{};
        return db::Connection::StatementCounts{a.executed + b.executed, a.prepared + b.prepared};
    };
    QList<QString> codes;
    for (int i = 0; i < 60; ++i) {
        const QString code = QStringLiteral("M6%1").arg(i, 2, 10, QChar('0'));
        codes << code;
        company.article("MAT", code);
        // Two lots of 2: a line of 3 takes the first whole and 1 of the second.
        company.stock("G1", "MAT", code, "L1", 1, 2);
        company.stock("G1", "MAT", code, "L2", 1, 2);
    }
    std::vector<db::Connection::StatementCounts> cost;
    // Ten materials spread over both lots, then sixty materials taking 1 each from one lot.
    for (const Round& round : {Round{10, 20}, Round{60, 60}}) {
        requirement::buildRequirement(*dm, 7);
        for (int i = 0; i < round.materials; ++i) {
            dm->TempTable.append();
            dm->TempTableCod_grupa->setAsString("MAT");
            dm->TempTableCod_MatPrim->setAsString(codes[i]);
            dm->TempTableCant->setAsFloat(cost.empty() ? 3 : 1);
            dm->TempTable.post();
        }
        dm->TempTable.first();
        const auto before = counts();
        const GenerationResult r = generateConsumptionDocument(*dm, kDocumentDate, {});
        const auto after = counts();
        EXPECT_EQ(r.lineCount, round.lines);
        cost.push_back({after.executed - before.executed, after.prepared - before.prepared});
    }
    // A document line writes its line and its stock record; the rest is the document's.
    const double perLine = double(cost[1].executed) / 60;
    const double perMoreLine = double(cost[1].executed - cost[0].executed) / (60 - 20);
    EXPECT_LE(perLine, 4.0) << cost[1].executed << " statements for 60 lines";
    EXPECT_LE(perMoreLine, 2.5) << cost[0].executed << " for 20 lines, " << cost[1].executed
                                << " for 60";
    // Two reads of a longer list of materials at most.
    EXPECT_LE(cost[1].prepared, cost[0].prepared + 2) << "a longer document prepares no more";
}

TEST_F(ConsumptionDocument, ClosedRequirementTableIsAnError) {
    EXPECT_THROW(generateConsumptionDocument(*dm, kDocumentDate), base::DatabaseError);
    EXPECT_EQ(count("Doc_out"), 0);
}

} // namespace
