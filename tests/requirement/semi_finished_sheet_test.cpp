// The requirement sheet over recipes of semi-finished products, when the company's settings
// descend through them and when they do not.
#include "sheet_fixture.h"

#include "controls/db_grid_normal.h"

namespace {

using sheettest::SheetTest;

// Semi-finished products (codes beginning with S) with recipes of their own.
class SemiFinishedSheet : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        company.article("PF", "PF01", "Placinta", 10);
        company.article("SEM", "S1", "Umplutura", 5).article("SEM", "S2", "Crema", 2);
        company.article("MAT", "M100", "Faina").article("MAT", "M200", "Branza");
        company.recipe("PF01", "MAT", "M100", 2).recipe("PF01", "SEM", "S1", 5);
        company.recipe("S1", "MAT", "M200", 4);
        company.receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 20);
    }
    void TearDown() override {
        SheetTest::TearDown();
        SemiPrinReteta = false;
    }
    void descend(bool on) {
        ASSERT_TRUE(testsupport::writeProductionSettings(
            companyDir, QByteArray(testsupport::kProductionSettings) +
                            (on ? "SemiPrinReteta=1\r\n" : "SemiPrinReteta=0\r\n")));
    }
    static QStringList codesAndQuantities(TQDMNecesarForm& sheet) {
        QStringList rows;
        for (int r = 0; r < sheet.NecesarGrid->rowCount(); ++r)
            rows << sheet.NecesarGrid->cellText(r, 1) + QLatin1Char(' ') +
                        sheet.NecesarGrid->cellText(r, 3);
        return rows;
    }
};

struct SwitchCase {
    const char* name;
    bool on;
    QStringList lines; // "code quantity"
};

class SemiFinishedSwitch : public SemiFinishedSheet,
                           public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SemiFinishedSwitch, SheetLines) {
    descend(GetParam().on);
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        EXPECT_EQ(codesAndQuantities(sheet), GetParam().lines);
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
}

// Two batches: 4 of flour and 10 of filling, whose batch of 5 takes 4 of cheese.
INSTANTIATE_TEST_SUITE_P(
    Settings, SemiFinishedSwitch,
    ::testing::Values(SwitchCase{"OffStopsAtTheFilling", false, {"M100 4", "S1 10"}},
                      SwitchCase{"OnDescendsToItsMaterials", true, {"M100 4", "M200 8"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SemiFinishedSheet, CycleIsAWarningAndNoSheet) {
    company.recipe("S1", "SEM", "S2", 1).recipe("S2", "SEM", "S1", 1);
    descend(true);
    openReceipt(7);
    module->CalcNec->click();
    EXPECT_EQ(QDMNecesarForm, nullptr);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Warning);
    EXPECT_EQ(desktop.boxes[0].text, "Rețetele semifabricatelor se cuprind una pe alta: S1 -> S2 "
                                     "-> S1. Necesarul nu a fost calculat.");
    EXPECT_FALSE(requirementTableExists());
}

} // namespace
