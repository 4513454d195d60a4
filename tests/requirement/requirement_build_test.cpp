#include "requirement_core_fixture.h"

namespace {

using requirement::buildRequirement;
using requirement::closeRequirement;
using requirement::readRequirementLines;
using requirement::RequirementLine;

class RequirementBuild : public requirementtest::RequirementFixture {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        company.article("PF", "PF01", "Paine", 10).article("PF", "PF02", "Cozonac", 4);
        company.article("MAT", "M100", "Faina")
            .article("MAT", "M200", "Drojdie")
            .article("AUX", "M200", "Drojdie uscata");
        company.article("SEM", "S12", "Aluat");
    }

    // "group code quantity" of every requirement line, in the table's order.
    QStringList lines() {
        QStringList out;
        for (const RequirementLine& l : readRequirementLines(*dm))
            out << QStringLiteral("%1 %2 %3").arg(l.group, l.code).arg(l.quantity);
        return out;
    }
};

TEST_F(RequirementBuild, SharedMaterialsAddUpAndTwoGroupsMakeTwoLines) {
    company.recipe("PF01", "MAT", "M100", 2)
        .recipe("PF01", "MAT", "M200", 0.5)
        .recipe("PF01", "SEM", "S12", 1);
    company.recipe("PF02", "MAT", "M100", 1).recipe("PF02", "AUX", "M200", 2);
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF01", 20)
        .receiptLine(7, 2, "PF", "PF02", 8);
    const auto report = buildRequirement(*dm, 7);
    // PF01: 20/10 batches; PF02: 8/4 batches. M100 of MAT: 4 + 2; M200 is in MAT and in AUX.
    EXPECT_EQ(lines(), (QStringList{"AUX M200 4", "MAT M100 6", "MAT M200 1", "SEM S12 2"}));
    EXPECT_TRUE(report.productsWithoutBatchQuantity.isEmpty());
    EXPECT_TRUE(report.productsWithoutRequirement.isEmpty());
}

TEST_F(RequirementBuild, QuantityIsReceivedTimesRecipeOverBatch) {
    company.article("PF", "PF03", "Covrig", 10).recipe("PF03", "MAT", "M100", 2);
    company.stock("G1", "MAT", "M100", "L1", 3, 4).stock("G2", "MAT", "M100", "L2", 3, 7.5);
    company.receipt(9, 3, "A1", {2024, 3, 12}).receiptLine(9, 1, "PF", "PF03", 50);
    buildRequirement(*dm, 9);
    const auto read = readRequirementLines(*dm);
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].quantity, 10) << "50 units of a batch of 10 needing 2 kg";
    EXPECT_EQ(read[0].name, "Faina");
    EXPECT_EQ(read[0].stockOnHand, 11.5) << "both warehouses";
    EXPECT_EQ(read[0].finalStock, 1.5);
}

TEST_F(RequirementBuild, ReceiptWithoutRecipesGivesAnEmptyTableAndNamesItsProducts) {
    company.article("PF", "PF05", "Chifla", 10);
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF05", 20)
        .receiptLine(7, 2, "XX", "PF05", 1)
        .receiptLine(7, 3, "PF", "PF05", 3);
    const auto report = buildRequirement(*dm, 7);
    EXPECT_TRUE(dm->TempTable.isActive());
    EXPECT_TRUE(dm->TempTable.isEmpty());
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(report.productsWithoutRequirement, (QStringList{"PF PF05", "XX PF05"}))
        << "each product once";
}

TEST_F(RequirementBuild, ProductOutsideTheCatalogUnderItsGroupYieldsNothing) {
    company.recipe("PF01", "MAT", "M100", 2);
    // PF01 is in the catalog under PF only: the line under group ALT has no catalog record.
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "ALT", "PF01", 20)
        .receiptLine(7, 2, "PF", "PF01", 10);
    const auto report = buildRequirement(*dm, 7);
    EXPECT_EQ(lines(), QStringList{"MAT M100 2"});
    EXPECT_EQ(report.productsWithoutRequirement, QStringList{"ALT PF01"});
}

TEST_F(RequirementBuild, ZeroOrEmptyBatchQuantityYieldsNoRowsAndIsReported) {
    company.article("PF", "PF06", "Zero", 0).article("PF", "PF07", "Gol");
    company.recipe("PF06", "MAT", "M100", 1)
        .recipe("PF07", "MAT", "M200", 1)
        .recipe("PF07", "MAT", "M100", 1);
    company.recipe("PF01", "MAT", "M100", 2);
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF06", 5)
        .receiptLine(7, 2, "PF", "PF07", 5)
        .receiptLine(7, 3, "PF", "PF01", 10);
    const auto report = buildRequirement(*dm, 7);
    EXPECT_EQ(lines(), QStringList{"MAT M100 2"})
        << "no line without a quantity, no division error";
    EXPECT_EQ(report.productsWithoutBatchQuantity, (QStringList{"PF PF06", "PF PF07"}));
    EXPECT_TRUE(report.productsWithoutRequirement.isEmpty());
}

TEST_F(RequirementBuild, OpensTheDatasetsAndStandsOnTheReceipt) {
    company.recipe("PF01", "MAT", "M100", 2);
    company.receipt(5, 4, "A2", {2024, 1, 2})
        .receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF01", 10);
    const auto report = buildRequirement(*dm, 7);
    for (db::DataSet* d : {(db::DataSet*)&dm->StocTable, (db::DataSet*)&dm->CatalogTable1,
                           (db::DataSet*)&dm->ItemInTable, (db::DataSet*)&dm->CounterTable,
                           (db::DataSet*)&dm->TempTable, (db::DataSet*)&dm->DocInTable})
        EXPECT_TRUE(d->isActive()) << d->name().toStdString();
    EXPECT_TRUE(report.receiptFound);
    EXPECT_EQ(dm->DocInTable.fieldByName("Numar")->asFloat(), 15);
    EXPECT_EQ(dm->DocInTable.fieldByName("Tip")->asString(), "A1");
    EXPECT_EQ(dm->ItemInTable.fieldByName("Cod_articol")->asString(), "PF01")
        << "the receipt's lines follow it";

    EXPECT_FALSE(buildRequirement(*dm, 99).receiptFound);
}

TEST_F(RequirementBuild, RebuildReplacesTheTableAndCloseDeletesIt) {
    company.recipe("PF01", "MAT", "M100", 2).recipe("PF02", "MAT", "M200", 1);
    company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 10);
    company.receipt(8, 16, "A1", {2024, 3, 13}).receiptLine(8, 1, "PF", "PF02", 4);
    buildRequirement(*dm, 7);
    // A line the user added stays only until the next build.
    dm->TempTable.append();
    dm->TempTableCod_MatPrim->setAsString("M100");
    dm->TempTableCant->setAsFloat(1);
    dm->TempTable.post();
    buildRequirement(*dm, 8);
    EXPECT_EQ(lines(), QStringList{"MAT M200 1"});
    const auto structure = dm->TempTable.database().tableStructure("temp.DB");
    ASSERT_FALSE(structure.indexes.isEmpty());
    EXPECT_TRUE(structure.indexes.first().primary);
    EXPECT_EQ(structure.indexes.first().fields.join(";").toLower(), "cod_grupa;cod_matprim");

    closeRequirement(*dm);
    for (db::DataSet* d : {(db::DataSet*)&dm->StocTable, (db::DataSet*)&dm->CatalogTable1,
                           (db::DataSet*)&dm->ItemInTable, (db::DataSet*)&dm->CounterTable,
                           (db::DataSet*)&dm->TempTable, (db::DataSet*)&dm->DocInTable})
        EXPECT_FALSE(d->isActive()) << d->name().toStdString();
    EXPECT_FALSE(dm->TempTable.exists());
    EXPECT_NO_THROW(closeRequirement(*dm)) << "closing again finds nothing to delete";
}

TEST_F(RequirementBuild, ReloadsTheProductionSettings) {
    company.article("MAT", "X100", "Sare").recipe("PF01", "MAT", "X100", 1);
    company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 10);
    ASSERT_TRUE(testsupport::writeProductionSettings(companyDir, "[Productie]\r\nIndCod=X\r\n"));
    buildRequirement(*dm, 7);
    EXPECT_EQ(IndCod, 'X');
    ASSERT_EQ(readRequirementLines(*dm).size(), 1);
    EXPECT_EQ(readRequirementLines(*dm)[0].name, "Sare")
        << "the raw-material view uses the character just read";
}

TEST_F(RequirementBuild, MissingRecipeTableIsADatabaseError) {
    company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 10);
    company.database().deleteTable("Reteta.DB");
    EXPECT_THROW(buildRequirement(*dm, 7), base::DatabaseError);
    EXPECT_FALSE(dm->TempTable.isActive());
    EXPECT_NO_THROW(closeRequirement(*dm));
}

TEST_F(RequirementBuild, ReadingLinesKeepsTheCurrentLineAndRefusesWhileEditing) {
    company.recipe("PF01", "MAT", "M100", 2).recipe("PF01", "MAT", "M200", 1);
    company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 10);
    buildRequirement(*dm, 7);
    dm->TempTable.last();
    EXPECT_EQ(readRequirementLines(*dm).size(), 2);
    EXPECT_EQ(dm->TempTableCod_MatPrim->asString(), "M200");
    dm->TempTable.edit();
    dm->TempTableCant->setAsFloat(3);
    EXPECT_THROW(readRequirementLines(*dm), base::DatabaseError);
    EXPECT_EQ(dm->TempTable.state(), db::DataSetState::Edit)
        << "the pending edit is left to the user";
}

} // namespace
