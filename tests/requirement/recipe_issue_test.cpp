#include "requirement_core_fixture.h"

#include "requirement/consumption_reversal.h"
#include "requirement/recipe_issue.h"

#include <cmath>

namespace {

using requirement::MaterialVariance;
using requirement::RecipeIssueRow;

// Receipt 7 of 13 units of PF01, made by the batch of 10 from 1 of M100 and 2 of M200: the
// recipes ask for 1.3 of M100 and 2.6 of M200.
class RecipeBesideIssue : public requirementtest::RequirementFixture {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        company.counter(41);
        company.article("PF", "PF01", "Produs", 10);
        for (const char* code : {"M100", "M200", "M300"})
            company.article("MAT", code);
        company.recipe("PF01", "MAT", "M100", 1).recipe("PF01", "MAT", "M200", 2);
        company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 13);
        company.stock("G1", "MAT", "M100", "L1", 2.5, 10);
        company.stock("G1", "MAT", "M200", "L1", 1, 10);
        company.stock("G1", "MAT", "M300", "L1", 4, 10);
    }

    bool seek(const char* code) {
        return dm->TempTable.findKey({QStringLiteral("MAT"), QString::fromLatin1(code)});
    }

    // The user's corrections of receipt 7's sheet: M100 raised to 2, M200 removed, M300 added.
    void correctTheSheet() {
        ASSERT_TRUE(seek("M100"));
        dm->TempTable.edit();
        dm->TempTableCant->setAsFloat(2);
        dm->TempTable.post();
        ASSERT_TRUE(seek("M200"));
        dm->TempTable.remove();
        dm->TempTable.append();
        dm->TempTableCod_grupa->setAsString("MAT");
        dm->TempTableCod_MatPrim->setAsString("M300");
        dm->TempTableCant->setAsFloat(5);
        dm->TempTable.post();
    }

    double generate(const QDate& date) {
        const double counter = requirement::generateConsumptionDocument(*dm, date).counter;
        requirement::closeRequirement(*dm);
        return counter;
    }
};

TEST_F(RecipeBesideIssue, TheSheetKeepsTheRecipesFigureBesideACorrectedLine) {
    requirement::buildRequirement(*dm, 7);
    ASSERT_TRUE(seek("M100"));
    EXPECT_DOUBLE_EQ(dm->TempTableCantReteta->asFloat(), 1.3);
    EXPECT_FALSE(requirement::quantityChanged(*dm, "MAT", "M100", dm->TempTableCant->asFloat()));
    correctTheSheet();
    ASSERT_TRUE(seek("M100"));
    EXPECT_EQ(dm->TempTableCant->asFloat(), 2);
    EXPECT_DOUBLE_EQ(dm->TempTableCantReteta->asFloat(), 1.3) << "the recipe's figure stays";
    EXPECT_TRUE(requirement::quantityChanged(*dm, "MAT", "M100", 2));
    ASSERT_TRUE(seek("M300"));
    EXPECT_TRUE(dm->TempTableCantReteta->isNull()) << "a line of the user's own";
    EXPECT_TRUE(requirement::quantityChanged(*dm, "MAT", "M300", 5));
    requirement::closeRequirement(*dm);
    EXPECT_TRUE(dm->TempRecipeQuantities.isEmpty());
}

TEST_F(RecipeBesideIssue, EachDocumentKeepsRecipeSheetAndIssuedPerMaterial) {
    requirement::buildRequirement(*dm, 7);
    correctTheSheet();
    const double document = generate({2024, 4, 2});

    const QList<RecipeIssueRow> rows = requirement::recipeBesideIssue(company.database(), document);
    ASSERT_EQ(rows.size(), 3);
    auto text = [](const RecipeIssueRow& r) {
        return QStringLiteral("%1 %2 %3 %4 %5 %6")
            .arg(r.group, r.code, r.fromRecipe ? QString::number(r.recipe) : QStringLiteral("-"))
            .arg(r.sheet)
            .arg(r.issued)
            .arg(r.issuedValue);
    };
    EXPECT_EQ(text(rows[0]), "MAT M100 1.3 2 2 5");
    EXPECT_EQ(text(rows[1]), "MAT M200 2.6 0 0 0") << "removed from the sheet";
    EXPECT_EQ(text(rows[2]), "MAT M300 - 5 5 20") << "added by the user";
}

TEST_F(RecipeBesideIssue, ALineLeftShortRecordsWhatWasIssued) {
    requirement::buildRequirement(*dm, 7);
    ASSERT_TRUE(seek("M100"));
    dm->TempTable.edit();
    dm->TempTableCant->setAsFloat(12); // the stock holds 10
    dm->TempTable.post();
    const double document = requirement::generateConsumptionDocument(*dm, {2024, 4, 2}, {}).counter;
    const QList<RecipeIssueRow> rows = requirement::recipeBesideIssue(company.database(), document);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].sheet, 12);
    EXPECT_EQ(rows[0].issued, 10);
    EXPECT_EQ(rows[0].issuedValue, 25);
}

// Two documents, worked out by hand:
//   A, 2 April: M100 recipe 1.3, issued 2 at 2.5; M200 recipe 2.6, issued 0; M300 (the user's)
//               issued 5 at 4.
//   B, 10 April: as the recipes ask, M100 1.3 at 2.5, M200 2.6 at 1.
// Together: M100 recipe 2.6, issued 3.3 worth 8.25: +0.7, worth 0.7 * 8.25 / 3.3 = 1.75, 26.92%;
// M200 recipe 5.2, issued 2.6 worth 2.6: -2.6, worth -2.6, -50%; M300 +5, worth 20, no percent.
// Document A alone issued no M200: its variance has no issued price to be valued at.
class MaterialVariances : public RecipeBesideIssue {
protected:
    void SetUp() override {
        RecipeBesideIssue::SetUp();
        requirement::buildRequirement(*dm, 7);
        correctTheSheet();
        generate({2024, 4, 2}); // 42
        requirement::buildRequirement(*dm, 7);
        generate({2024, 4, 10}); // 43
    }

    static QString text(const MaterialVariance& v) {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(v.code)
            .arg(std::round(v.quantity * 1e6) / 1e6)
            .arg(v.hasValue ? QString::number(std::round(v.value * 1e6) / 1e6)
                            : QStringLiteral("-"))
            .arg(v.hasPercent ? QString::number(std::round(v.percent * 100) / 100)
                              : QStringLiteral("-"))
            .arg(std::round(v.issued * 1e6) / 1e6);
    }

    QStringList variances(const QDate& from = {}, const QDate& to = {}) {
        QStringList out;
        for (const MaterialVariance& v :
             requirement::materialVariances(company.database(), from, to))
            out << text(v);
        return out;
    }
};

TEST_F(MaterialVariances, LargestValueFirstAsWorkedOutByHand) {
    EXPECT_EQ(variances(),
              (QStringList{"M300 5 20 - 5", "M200 -2.6 -2.6 -50 2.6", "M100 0.7 1.75 26.92 3.3"}));
}

TEST_F(MaterialVariances, APeriodTakesOnlyItsDocuments) {
    EXPECT_EQ(variances({2024, 4, 5}, {}), (QStringList{"M100 0 0 0 1.3", "M200 0 0 0 2.6"}));
    EXPECT_EQ(variances({}, {2024, 4, 2}),
              (QStringList{"M300 5 20 - 5", "M100 0.7 1.75 53.85 2", "M200 -2.6 - -100 0"}))
        << "nothing of M200 was issued: its variance has no price to be valued at";
    EXPECT_TRUE(variances({2024, 5, 1}, {2024, 5, 31}).isEmpty());
}

TEST_F(MaterialVariances, AReversedDocumentCountsNoMore) {
    requirement::reverseConsumption(company.database(), 42, {2024, 4, 3});
    EXPECT_EQ(variances(), (QStringList{"M100 0 0 0 1.3", "M200 0 0 0 2.6"}));
}

} // namespace
