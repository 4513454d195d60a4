// One article code held under two groups, each with its own batch quantity, name, stock and
// accounts: the requirement, its lines and the consumption document's lines each follow the
// group of their own line, whichever group the catalog holds first.
#include "requirement_core_fixture.h"

namespace {

using requirement::buildRequirement;
using requirement::generateConsumptionDocument;
using requirement::readRequirementLines;
using requirement::RequirementLine;

struct GroupOrder {
    const char* name;
    bool otherGroupFirst;
};

void PrintTo(const GroupOrder& o, std::ostream* os) {
    *os << o.name;
}

class CatalogGroups : public requirementtest::RequirementFixture,
                      public ::testing::WithParamInterface<GroupOrder> {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        company.counter(10);
        // PF01 under two groups with other batch quantities; M100 under two groups with other
        // names and accounts.
        const auto products = [&](bool alt) {
            alt ? company.article("ALT", "PF01", "Pâine de post", 5)
                : company.article("PF", "PF01", "Pâine", 10);
        };
        const auto materials = [&](bool aux) {
            aux ? company.article("AUX", "M100", "Făină neagră")
                : company.article("MAT", "M100", "Făină albă");
        };
        const bool first = GetParam().otherGroupFirst;
        products(first);
        products(!first);
        materials(first);
        materials(!first);
        company.article("PF", "PF02", "Covrig", 4);
        exec("UPDATE Catalog SET Cont_marfa = '302', Cont_cheltuieli = '602', "
             "Cont_TVA_Iesiri = '4428' WHERE Grupa = 'AUX' AND Cod = 'M100'");
        company.recipe("PF01", "MAT", "M100", 2).recipe("PF02", "AUX", "M100", 1);
        company.stock("G1", "MAT", "M100", "L1", 2, 100).stock("G1", "AUX", "M100", "L1", 3, 7);
    }

    // "group code quantity name stock" of the requirement lines, in the table's order.
    QStringList lines() {
        QStringList out;
        for (const RequirementLine& l : readRequirementLines(*dm))
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(l.group, l.code)
                       .arg(l.quantity)
                       .arg(l.name)
                       .arg(l.stockOnHand);
        return out;
    }
};

// The receipt line's group picks the product's catalog record and so its batch quantity.
TEST_P(CatalogGroups, TheReceiptLinesGroupPicksTheBatchQuantity) {
    company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 20);
    company.receipt(8, 16, "A1", {2024, 3, 12}).receiptLine(8, 1, "ALT", "PF01", 20);
    buildRequirement(*dm, 7);
    EXPECT_EQ(lines(), QStringList{"MAT M100 4 Făină albă 100"}) << "20 of a batch of 10";
    buildRequirement(*dm, 8);
    EXPECT_EQ(lines(), QStringList{"MAT M100 8 Făină albă 100"}) << "20 of a batch of 5";
}

// The material's group picks its name and its stock.
TEST_P(CatalogGroups, EachMaterialLineNamesAndCountsItsOwnGroup) {
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF01", 20)
        .receiptLine(7, 2, "PF", "PF02", 8);
    buildRequirement(*dm, 7);
    EXPECT_EQ(lines(), (QStringList{"AUX M100 2 Făină neagră 7", "MAT M100 4 Făină albă 100"}));
}

// Each document line carries the accounts of its own group's catalog record.
TEST_P(CatalogGroups, DocumentLinesCarryTheAccountsOfTheirGroup) {
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF01", 20)
        .receiptLine(7, 2, "PF", "PF02", 8);
    buildRequirement(*dm, 7);
    const auto result = generateConsumptionDocument(*dm, {2024, 4, 2});
    EXPECT_TRUE(result.notIssued.isEmpty());
    const auto written = rows("SELECT Cod_grupa, Cod_articol, Cantitate, Cont_marfa, "
                              "Cont_cheltuieli, Cont_TVA_Iesiri FROM Item_out ORDER BY Cod_grupa");
    QStringList out;
    for (const QVariantList& r : written)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                   .arg(r[0].toString(), r[1].toString())
                   .arg(r[2].toDouble())
                   .arg(r[3].toString(), r[4].toString(), r[5].toString());
    EXPECT_EQ(out, (QStringList{"AUX M100 2 302 602 4428", "MAT M100 4 301 601 4427"}));
    EXPECT_EQ(scalar("SELECT Cantitate FROM Stoc WHERE Cod_grupa = 'AUX'").toDouble(), 5);
    EXPECT_EQ(scalar("SELECT Cantitate FROM Stoc WHERE Cod_grupa = 'MAT'").toDouble(), 96);
}

INSTANTIATE_TEST_SUITE_P(CatalogOrder, CatalogGroups,
                         ::testing::Values(GroupOrder{"LineGroupFirst", false},
                                           GroupOrder{"OtherGroupFirst", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
