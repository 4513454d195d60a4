// lumbra capacity: units of product the stock allows and the material that limits them.
#include "tests/cli/cli_fixture.h"

namespace clitest {
namespace {

class CapacityCli : public CliFixture {
protected:
    void SetUp() override {
        // P1: batch of 10 needs 5 M1 and 1 M2; stock 30 M1 (two warehouses) allows 60, 4 M2
        // allows 40: M2 limits. P2 has no batch quantity; P3 has no recipe.
        company->article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
            .article(QStringLiteral("PF"), QStringLiteral("P2"), QStringLiteral("Cozonac"))
            .article(QStringLiteral("PF"), QStringLiteral("P3"), QStringLiteral("Covrig"), 1)
            .article(QStringLiteral("MAT"), QStringLiteral("M1"))
            .article(QStringLiteral("MAT"), QStringLiteral("M2"))
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M1"), 5)
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M2"), 1)
            .recipe(QStringLiteral("P2"), QStringLiteral("MAT"), QStringLiteral("M1"), 1)
            .stock(QStringLiteral("G01"), QStringLiteral("MAT"), QStringLiteral("M1"),
                   QStringLiteral("L1"), 2, 20)
            .stock(QStringLiteral("G02"), QStringLiteral("MAT"), QStringLiteral("M1"),
                   QStringLiteral("L2"), 2, 10)
            .stock(QStringLiteral("G01"), QStringLiteral("MAT"), QStringLiteral("M2"),
                   QStringLiteral("L1"), 3, 4);
    }
};

TEST_F(CapacityCli, OneMaterialLimitsTheProduct) {
    const CliRun r = run(
        {QStringLiteral("capacity"), companyDir, QStringLiteral("P1"), QStringLiteral("--csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("grupa,cod,denumire,unitati,grupa_limitativa,material_"
                                    "limitativ,stoc_material,observatii\n"
                                    "PF,P1,Pâine,40,MAT,M2,4,\n"));
}

TEST_F(CapacityCli, EveryProductWithARecipeIsListedWithTheReasonWhenNothingCanBeComputed) {
    const CliRun r = run({QStringLiteral("capacity"), companyDir});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("P1"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("CantReteta"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("P3"))) << r.out.toStdString();
}

// P1 is also held under group ALT, with a batch of 5 (the same recipe allows half as many
// units): asked for by its code, the product is answered under each of its groups.
TEST_F(CapacityCli, AProductCodeUnderTwoGroupsIsAnsweredForEach) {
    company->article(QStringLiteral("ALT"), QStringLiteral("P1"), QStringLiteral("Pâine mică"), 5);
    const CliRun r = run(
        {QStringLiteral("capacity"), companyDir, QStringLiteral("P1"), QStringLiteral("--csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("grupa,cod,denumire,unitati,grupa_limitativa,material_"
                                    "limitativ,stoc_material,observatii\n"
                                    "ALT,P1,Pâine mică,20,MAT,M2,4,\n"
                                    "PF,P1,Pâine,40,MAT,M2,4,\n"));
}

TEST_F(CapacityCli, AProductCodeUnderTwoGroupsKeepsEachGroupsBatchQuantity) {
    company->article(QStringLiteral("ALT"), QStringLiteral("P2"), QStringLiteral("Cozonac mic"), 2);
    const CliRun r = run(
        {QStringLiteral("capacity"), companyDir, QStringLiteral("P2"), QStringLiteral("--csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList rows = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3) << r.out.toStdString();
    EXPECT_EQ(rows[1], QStringLiteral("ALT,P2,Cozonac mic,60,MAT,M1,30,"));
    EXPECT_TRUE(rows[2].startsWith(QStringLiteral("PF,P2,Cozonac,,"))) << rows[2].toStdString();
    EXPECT_TRUE(rows[2].contains(QStringLiteral("CantReteta"))) << rows[2].toStdString();
}

TEST_F(CapacityCli, AnUnknownProductIsRefused) {
    const CliRun r = run({QStringLiteral("capacity"), companyDir, QStringLiteral("M1")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("M1"))) << r.err.toStdString();
}

} // namespace
} // namespace clitest
