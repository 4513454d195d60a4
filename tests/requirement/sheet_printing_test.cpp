// Printing from the requirement sheet: the voucher offered after a generation, and the sheet's
// own print button with the negative lines in bold.
#include "sheet_fixture.h"

#include "requirement/sheet_report.h"
#include "tests/support/pdf_text.h"
#include "tests/support/readable_name.h"

namespace {

using sheettest::SheetTest;

const QString kOffer = QStringLiteral("Tipăriți bonul de consum?");

// Flour of two lots in two warehouses covers the receipt; yeast is short.
class SheetPrinting : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        company.article("PF", "PF01", "Pâine", 10).article("PF", "PF02", "Cozonac", 1);
        company.article("MAT", "M100", "Făină albă").article("MAT", "M200", "Drojdie");
        company.recipe("PF01", "MAT", "M100", 2).recipe("PF01", "MAT", "M200", 0.5);
        company.recipe("PF02", "MAT", "M100", 1);
        company.receipt(7, 15, "A1", {2024, 3, 12});
        company.receiptLine(7, 1, "PF", "PF01", 50).receiptLine(7, 2, "PF", "PF02", 4);
        company.receipt(8, 16, "A1", {2024, 3, 13});
        company.receiptLine(8, 1, "PF", "PF02", 30);
        company.stock("G1", "MAT", "M100", "L1", 3.5, 20).stock("G2", "MAT", "M100", "L2", 4, 40);
        company.stock("G1", "MAT", "M200", "L1", 9, 1);
        company.counter(100);
    }

    // Generates the document of receipt 8 (no negative line: no question before the date).
    void generate() {
        openReceipt(8);
        runSheet([&](TQDMNecesarForm& sheet) {
            acceptProposedDate();
            QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        });
    }

    QString pdf = dir.path() + QStringLiteral("/bon.pdf");
};

TEST_F(SheetPrinting, YesAfterTheGenerationPrintsTheNewDocumentsVoucher) {
    desktop.answers = {ui::mrOk, ui::mrYes};
    desktop.printTo = pdf;
    generate();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].text, kOffer);
    EXPECT_EQ(desktop.boxes[1].buttons, ui::MessageButton::Yes | ui::MessageButton::No);
    EXPECT_EQ(desktop.printDialogs, 1);
    EXPECT_EQ(recomputes, 1);
    const QString page = testsupport::pdfPages(pdf).value(0);
    // 30 of flour: 20 from the first lot, 10 from the second, each on its line.
    for (const char* expected :
         {"BON DE CONSUM", "Numărul: 16", "Gestiunile: G1, G2",
          "Locul de consum: Consum coresp. A1 16/", "Făină albă", "20,000", "10,000", "70,00",
          "40,00", "110,00", "Gestionar", "Pagina 1 din 1"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << page.toStdString();
    EXPECT_EQ(reader.counter(), 101);
    EXPECT_EQ(reader.rows("Item_out.DB").size(), 2);
}

// The offer unanswered (as in every other test) is No: no print dialog; and a print that
// fails is told and leaves the written document as it is.
struct OfferCase {
    const char* name;
    ui::ModalResult answer;
    bool badFile;
    int printDialogs;
    size_t boxes;
};
void PrintTo(const OfferCase& c, std::ostream* os) {
    *os << c.name;
}

class VoucherOffer : public SheetPrinting, public ::testing::WithParamInterface<OfferCase> {};

TEST_P(VoucherOffer, LeavesTheDocumentAsWritten) {
    const OfferCase& c = GetParam();
    desktop.answers = {ui::mrOk, c.answer};
    desktop.printTo = c.badFile ? dir.path() + QStringLiteral("/lipsa/bon.pdf") : pdf;
    generate();
    ASSERT_EQ(desktop.boxes.size(), c.boxes);
    EXPECT_EQ(desktop.boxes[1].text, kOffer);
    EXPECT_EQ(desktop.printDialogs, c.printDialogs);
    if (c.badFile) {
        EXPECT_EQ(desktop.boxes[2].kind, ui::MessageKind::Error);
        EXPECT_TRUE(desktop.boxes[2].text.startsWith(QStringLiteral("Fișierul PDF „")))
            << desktop.boxes[2].text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(reader.counter(), 101);
    EXPECT_EQ(reader.rows("Item_out.DB").size(), 2);
    EXPECT_EQ(recomputes, 1);
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

INSTANTIATE_TEST_SUITE_P(Sheet, VoucherOffer,
                         ::testing::Values(OfferCase{"No", ui::mrNo, false, 0, 2},
                                           OfferCase{"YesThenTheFileFails", ui::mrYes, true, 1, 3}),
                         testsupport::ReadableName());

TEST_F(SheetPrinting, PrintButtonPrintsTheSheetWithNegativeLinesInBold) {
    openReceipt(7);
    desktop.printTo = pdf;
    runSheet([&](TQDMNecesarForm& sheet) {
        QTest::mouseClick(sheet.PrintBTN, Qt::LeftButton);
        EXPECT_EQ(desktop.printDialogs, 1);
        EXPECT_TRUE(desktop.boxes.empty());
        const printing::TableReport report =
            requirement::requirementSheetReport(*QDMDataModule, QStringLiteral("Firma"));
        ASSERT_EQ(report.rows.size(), 2);
        // Flour 14 of 60 on stock; yeast 2,5 of 1: its final stock is negative.
        EXPECT_EQ(report.rows[0].cells,
                  QStringList({"1", "Făină albă", "M100", "MAT", "14,000", "60,000", "46,000"}));
        EXPECT_FALSE(report.rows[0].bold);
        EXPECT_EQ(report.rows[1].cells,
                  QStringList({"2", "Drojdie", "M200", "MAT", "2,500", "1,000", "-1,500"}));
        EXPECT_TRUE(report.rows[1].bold);
        EXPECT_TRUE(sheet.isVisible()) << "printing leaves the sheet open";
    });
    const QString page = testsupport::pdfPages(pdf).value(0);
    for (const char* expected :
         {"FIȘĂ DE NECESAR TEHNIC", "nr. 15", "Făină albă", "46,000", "-1,500", "Pagina 1 din 1"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << page.toStdString();
    EXPECT_EQ(reader.counter(), 100) << "printing writes nothing";
}

} // namespace
