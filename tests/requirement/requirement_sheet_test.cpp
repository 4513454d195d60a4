// The requirement sheet opened through "Calcul necesar tehnic" over a company on disk, and the
// date dialog of the consumption document.
#include "sheet_fixture.h"

#include "catalog/cat_lookup_form.h"
#include "controls/column.h"
#include "controls/date_edit.h"
#include "controls/db_grid_normal.h"
#include "platform/base/date_text.h"
#include "platform/ui/button.h"
#include "platform/ui/db_navigator.h"
#include "platform/ui/label.h"
#include "platform/ui/panel.h"
#include "platform/ui/speed_button.h"
#include "requirement/requirement_build.h"

#include <QImage>
#include <QLineEdit>

namespace {

using sheettest::SheetTest;

const QString kQuestion = QStringLiteral(
    "Atentie, creati stocuri negative! \rRespectivele materiale nu vor fi incluse in documentul de "
    "iesire.\rDoriti sa continuati?");
const QString kSuccess = QStringLiteral(
    "OK. Documentul de iesire din gestiunea de materii prime/materiale a fost generat cu succes.");
const QString kPrintOffer = QStringLiteral("Tipăriți bonul de consum?");

// The success message, which also names the document written.
QString success(double counter, const QDate& date) {
    return kSuccess + QStringLiteral("\rBonul de consum nr. %1 din %2.")
                          .arg(counter)
                          .arg(base::dateToText(date));
}

// A bakery receipt: bread of batch 10 and cake of batch 1 share flour; the cake also takes flour
// of another group; yeast is short of stock; pretzels have no recipe.
class RequirementSheet : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        company.article("PF", "PF01", "Paine", 10).article("PF", "PF02", "Cozonac", 1);
        company.article("PF", "PF03", "Covrig", 1).article("PF", "PF04", "Biscuit", 1);
        company.article("MAT", "M100", "Faina").article("AUX", "M100", "Faina auxiliara");
        company.article("MAT", "M200", "Drojdie");
        company.recipe("PF01", "MAT", "M100", 2).recipe("PF01", "MAT", "M200", 0.5);
        company.recipe("PF02", "MAT", "M100", 1).recipe("PF04", "AUX", "M100", 3);
        company.receipt(7, 15, "A1", {2024, 3, 12});
        company.receiptLine(7, 1, "PF", "PF01", 50).receiptLine(7, 2, "PF", "PF02", 4);
        company.receiptLine(7, 3, "PF", "PF03", 2).receiptLine(7, 4, "PF", "PF04", 4);
        company.stock("G1", "MAT", "M100", "L1", 3.5, 20).stock("G1", "MAT", "M200", "L1", 9, 1);
        company.stock("G1", "AUX", "M100", "L2", 2, 12);
        company.counter(100);
    }

    // A receipt whose flour is all in stock: 2 of MAT (stock 20) and 6 of AUX (stock 12).
    void coveredReceipt() {
        company.receipt(8, 16, "A1", {2024, 3, 13});
        company.receiptLine(8, 1, "PF", "PF02", 2).receiptLine(8, 2, "PF", "PF04", 2);
    }

    static QStringList gridRows(TQDMNecesarForm& sheet) {
        QStringList rows;
        TDBGridNormal* grid = sheet.NecesarGrid;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            // The code, group, quantity and both stock figures (the recipe's figure is checked
            // on its own).
            for (int c : {1, 2, 3, 5, 6})
                cells << grid->cellText(r, c);
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
};

TEST_F(RequirementSheet, BuildShowsTheReceiptsMaterialsAgainstTheStock) {
    DocOutGenerated = true;
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        EXPECT_FALSE(DocOutGenerated) << "the build clears the flag";
        EXPECT_EQ(DocInContor, 7);
        EXPECT_EQ(sheet.caption(), "Fisa Necesar Tehnic");
        // At least its designed size, wider where the screen has room for every column.
        EXPECT_EQ(sheet.height(), 424);
        EXPECT_GE(sheet.width(), 581);
        EXPECT_EQ(sheet.NecTehLbl->text(), "Fisa de necesar tehnic ");
        EXPECT_EQ(sheet.NrDocLbl->text(), "15");
        EXPECT_EQ(sheet.DataDocLbl->text(), base::dateToText(QDate(2024, 3, 12)));
        // Shared flour adds up (50 × 2 / 10 + 4 × 1); flour of another group is its own line.
        EXPECT_EQ(gridRows(sheet),
                  (QStringList{"M100|AUX|12|12|0", "M100|MAT|14|20|6", "M200|MAT|2,5|1|-1,5"}));
        // Each line names the article of its own group: M100 is a flour under MAT and another
        // under AUX.
        EXPECT_EQ(sheet.NecesarGrid->cellText(0, 0), "Faina auxiliara");
        EXPECT_EQ(sheet.NecesarGrid->cellText(1, 0), "Faina");
        EXPECT_EQ(sheet.NecesarGrid->cellText(2, 0), "Drojdie");
        EXPECT_TRUE(sheet.GenDocOutBTN->isEnabled());
        EXPECT_TRUE(sheet.OmittedLbl->isVisible());
        EXPECT_TRUE(sheet.OmittedLbl->text().contains("PF PF03"))
            << sheet.OmittedLbl->text().toStdString();
        EXPECT_FALSE(sheet.OmittedLbl->text().contains("PF01"));
        EXPECT_TRUE(desktop.boxes.empty());

        QStringList titles;
        for (int c = 0; c < sheet.NecesarGrid->columns().count(); ++c)
            titles << sheet.NecesarGrid->columns()[c]->title().caption();
        EXPECT_EQ(titles,
                  (QStringList{"Denumire materie prima", "Cod materie prima", "Cod_grupa",
                               "Cantitate", "Cant. rețetă", "Stoc existent", "Stoc final"}));
        EXPECT_EQ(sheet.NecesarGrid->columns()[0]->width(), 500);
        EXPECT_EQ(sheet.NecesarNavigator->button(ui::NavigateButton::First)->toolTip(), "Primul");
        EXPECT_EQ(sheet.NecesarNavigator->button(ui::NavigateButton::Refresh)->toolTip(),
                  "Refresh");
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
    EXPECT_EQ(recomputes, 0) << "no generation, no recompute";
    EXPECT_FALSE(requirementTableExists()) << "closing deletes temp.DB";
    EXPECT_FALSE(QDMDataModule->StocTable.isActive());
    EXPECT_FALSE(QDMDataModule->DocInTable.isActive());
    EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
}

TEST_F(RequirementSheet, ClosedDocumentDatasetDoesNothing) {
    module->CalcNec->click();
    EXPECT_EQ(QDMNecesarForm, nullptr);
    EXPECT_EQ(DocInContor, -9999);
    EXPECT_FALSE(QDMDataModule->TempTable.isActive());
    EXPECT_EQ(recomputes, 0);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(RequirementSheet, MissingRecipeTableShowsTheBuildErrorAndNoSheet) {
    reader.database->deleteTable("Reteta.DB");
    openReceipt(7);
    module->CalcNec->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith("Eroare de acces la baza de date.\r"))
        << desktop.boxes[0].text.toStdString();
    EXPECT_EQ(QDMNecesarForm, nullptr);
    EXPECT_TRUE(receiptWindow.findChildren<TQDMNecesarForm*>().isEmpty())
        << "the sheet discarded itself";
    EXPECT_EQ(recomputes, 0);
    EXPECT_FALSE(QDMDataModule->StocTable.isActive());
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

TEST_F(RequirementSheet, ReceiptWithoutRecipesOpensAnEmptySheetThatLinesEnable) {
    company.receipt(8, 16, "A1", {2024, 3, 13}).receiptLine(8, 1, "PF", "PF03", 5);
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        EXPECT_EQ(sheet.NecesarGrid->rowCount(), 0);
        EXPECT_FALSE(sheet.GenDocOutBTN->isEnabled());
        EXPECT_TRUE(sheet.OmittedLbl->text().contains("PF PF03"));
        // A line typed through the navigator and the grid.
        QTest::mouseClick(sheet.NecesarNavigator->button(ui::NavigateButton::Insert),
                          Qt::LeftButton);
        sheet.NecesarGrid->setFocus();
        sheet.NecesarGrid->setCurrentField(QDMDataModule->TempTableCod_MatPrim);
        QTest::keyClicks(focused(), "M100");
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), "MAT");
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), "3");
        QTest::mouseClick(sheet.NecesarNavigator->button(ui::NavigateButton::Post), Qt::LeftButton);
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text.toStdString();
        EXPECT_EQ(QDMDataModule->TempTable.recordCount(), 1);
        EXPECT_TRUE(sheet.GenDocOutBTN->isEnabled()) << "a posted line enables the button";
        sheet.NecesarGrid->setFocus();
        QTest::keyClick(focused(), Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(QDMDataModule->TempTable.recordCount(), 0);
        EXPECT_FALSE(sheet.GenDocOutBTN->isEnabled()) << "deleting the last line disables it";
    });
}

TEST_F(RequirementSheet, ProductWithoutBatchQuantityIsNamedOnceAndYieldsNoLines) {
    company.article("PF", "PF05", "Corn", 0).article("PF", "PF06", "Chifla");
    company.recipe("PF05", "MAT", "M100", 1).recipe("PF06", "MAT", "M200", 1);
    company.receipt(9, 17, "A1", {2024, 3, 14});
    company.receiptLine(9, 1, "PF", "PF05", 5)
        .receiptLine(9, 2, "PF", "PF06", 5)
        .receiptLine(9, 3, "PF", "PF01", 10);
    openReceipt(9);
    runSheet([&](TQDMNecesarForm& sheet) {
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Warning);
        EXPECT_TRUE(desktop.boxes[0].text.contains("PF PF05"))
            << desktop.boxes[0].text.toStdString();
        EXPECT_TRUE(desktop.boxes[0].text.contains("PF PF06"));
        EXPECT_EQ(gridRows(sheet), (QStringList{"M100|MAT|2|20|18", "M200|MAT|0,5|1|0,5"}));
    });
}

// Stock 10 against a requirement that rounds to it or just past it.
struct PaintCase {
    const char* name;
    double requirement;
    const char* finalStock;
    bool red;
};

class NegativeStockPainting : public SheetTest, public ::testing::WithParamInterface<PaintCase> {};

// Pixels of the cell that are drawn in pure red (the text's solid strokes).
int redPixels(TDBGridNormal& grid, int row, int column) {
    const QImage image = grid.viewport()->grab().toImage();
    const QRect cell(grid.columnViewportPosition(column), grid.rowViewportPosition(row),
                     grid.columnWidth(column), grid.rowHeight(row));
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() >= 200 && c.green() <= 80 && c.blue() <= 80)
                ++red;
        }
    return red;
}

TEST_P(NegativeStockPainting, FinalStockRoundsToHundredthsBeforeItTurnsRed) {
    const PaintCase& p = GetParam();
    company.article("PF", "PF09", "Tort", 1).article("MAT", "M100", "Faina");
    company.recipe("PF09", "MAT", "M100", p.requirement);
    company.receipt(9, 1, "A1", {2024, 3, 14}).receiptLine(9, 1, "PF", "PF09", 1);
    company.stock("G1", "MAT", "M100", "L1", 1, 10);
    company.article("ZZZ", "M999", "Sare").stock("G1", "ZZZ", "M999", "L1", 1, 5);
    openReceipt(9);
    runSheet([&](TQDMNecesarForm& sheet) {
        sheet.resize(1200, 424); // every column in view
        // A second line is current, so that the first one is painted by the grid, not its editor.
        QDMDataModule->TempTable.append();
        QDMDataModule->TempTableCod_grupa->setAsString("ZZZ");
        QDMDataModule->TempTableCod_MatPrim->setAsString("M999");
        QDMDataModule->TempTableCant->setAsFloat(1);
        QDMDataModule->TempTable.post();
        QDMDataModule->TempTable.first();
        QDMDataModule->TempTable.next();
        NegativeStockShown = false;
        EXPECT_EQ(sheet.NecesarGrid->cellText(0, 6), p.finalStock);
        EXPECT_EQ(redPixels(*sheet.NecesarGrid, 0, 6) > 0, p.red);
        EXPECT_EQ(redPixels(*sheet.NecesarGrid, 0, 5), 0) << "stock on hand is positive";
        EXPECT_EQ(NegativeStockShown, p.red);
        // Any state change lowers the flag again.
        QDMDataModule->TempTable.edit();
        EXPECT_FALSE(NegativeStockShown);
        QDMDataModule->TempTable.cancel();
    });
}

INSTANTIATE_TEST_SUITE_P(Requirement, NegativeStockPainting,
                         ::testing::Values(PaintCase{"RoundsToZero", 10.004, "0", false},
                                           PaintCase{"RoundsBelowZero", 10.006, "-0,01", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Ctrl+Enter and a double click open the catalog only on the code and name columns.
struct KeyColumnCase {
    const char* name;
    int column;
    bool opensCatalog;
};

class CatalogKey : public RequirementSheet, public ::testing::WithParamInterface<KeyColumnCase> {};

TEST_P(CatalogKey, CtrlEnterOpensTheCatalogOnlyOnCodeAndNameColumns) {
    const KeyColumnCase& p = GetParam();
    catalogGroups({"AUX", "MAT", "PF"});
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        sheet.NecesarGrid->setFocus();
        sheet.NecesarGrid->setSelectedIndex(p.column);
        bool opened = false;
        // Cancels the catalog when it shows.
        QTimer::singleShot(0, &sheet, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != &sheet) {
                opened = true;
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        const QString before = sheet.NecesarGrid->cellText(0, p.column);
        QTest::keyClick(focused(), Qt::Key_Return, Qt::ControlModifier);
        QTest::qWait(20);
        EXPECT_EQ(opened, p.opensCatalog);
        for (const auto& box : desktop.boxes)
            ADD_FAILURE() << box.text.toStdString();
        EXPECT_EQ(QDMDataModule->TempTable.state(), db::DataSetState::Browse)
            << "cancelling leaves the line";
        EXPECT_EQ(QDMDataModule->TempTableCod_MatPrim->asString(), "M100");
        EXPECT_EQ(QDMDataModule->TempTableCod_grupa->asString(), "AUX");
        EXPECT_EQ(sheet.NecesarGrid->cellText(0, p.column), before);
    });
}

INSTANTIATE_TEST_SUITE_P(Requirement, CatalogKey,
                         ::testing::Values(KeyColumnCase{"Name", 0, true},
                                           KeyColumnCase{"Code", 1, true},
                                           KeyColumnCase{"Group", 2, true},
                                           KeyColumnCase{"Quantity", 3, false},
                                           KeyColumnCase{"RecipeQuantity", 4, false},
                                           KeyColumnCase{"StockOnHand", 5, false},
                                           KeyColumnCase{"FinalStock", 6, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RequirementSheet, CatalogChoiceOnAnEmptySheetStartsALine) {
    catalogGroups({"AUX", "MAT", "PF"});
    company.receipt(8, 16, "A1", {2024, 3, 13}).receiptLine(8, 1, "PF", "PF03", 5);
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        sheet.NecesarGrid->setFocus();
        sheet.NecesarGrid->setSelectedIndex(1);
        QString shown;
        QTimer::singleShot(0, &sheet, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, &sheet);
            shown = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Return); // takes the article the window stands on
        });
        QTest::keyClick(focused(), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(shown.isEmpty()) << "the catalog showed";
        EXPECT_EQ(QDMDataModule->TempTable.state(), db::DataSetState::Insert);
        EXPECT_FALSE(QDMDataModule->TempTableCod_MatPrim->asString().isEmpty());
        EXPECT_FALSE(QDMDataModule->TempTableCod_grupa->asString().isEmpty());
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text.toStdString();
    });
}

// Text typed into the code cell before the catalog was opened must not overwrite the choice
// when the cell is left: a stale code that exists would store the wrong material silently.
TEST_F(RequirementSheet, TextTypedBeforeTheCatalogPickDoesNotOverwriteIt) {
    catalogGroups({"AUX", "MAT", "PF"});
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        TDBGridNormal& grid = *sheet.NecesarGrid;
        QDMDataModule->TempTable.first();
        QDMDataModule->TempTable.next(); // MAT M100
        grid.setFocus();
        grid.setSelectedIndex(1);
        const auto target = [&grid]() -> QWidget* { return focused() ? focused() : &grid; };
        QTest::keyClicks(target(), "M200"); // a code of the same group that exists
        QString picked;
        QTimer::singleShot(0, &sheet, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, &sheet);
            picked = CatLookupForm ? CatLookupForm->currentGroupCode() : QString();
            QTest::keyClick(modal, Qt::Key_Return); // takes MAT M100, where it opened
        });
        QTest::keyClick(target(), Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(picked, "MAT");
        sheet.activateWindow();
        QTest::qWaitForWindowActive(&sheet);
        QTest::keyClick(target(), Qt::Key_Tab); // leaves the cell
        EXPECT_EQ(QDMDataModule->TempTableCod_MatPrim->asString(), "M100");
        EXPECT_EQ(QDMDataModule->TempTableCod_grupa->asString(), "MAT");
        QDMDataModule->TempTable.checkBrowseMode();
        EXPECT_EQ(requirement::readRequirementLines(*QDMDataModule).size(), 3)
            << "no line turned into M200";
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text.toStdString();
    });
}

TEST_F(RequirementSheet, DoubleClickOnACodeOpensTheCatalogOnTheLine) {
    catalogGroups({"AUX", "MAT", "PF"});
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        TDBGridNormal& grid = *sheet.NecesarGrid;
        QDMDataModule->TempTable.first();
        QDMDataModule->TempTable.next(); // MAT M100
        grid.setFocus();
        grid.setSelectedIndex(2);
        QString chosen;
        QTimer::singleShot(0, &sheet, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, &sheet);
            chosen = CatLookupForm ? CatLookupForm->currentGroupCode() : QString();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        const QRect cell = grid.visualRect(grid.model()->index(grid.row(), 1));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(chosen, "MAT") << "the catalog opens on the line's group";
        EXPECT_EQ(QDMDataModule->TempTableCod_grupa->asString(), "MAT");
    });
}

// The consumption document from the sheet's button.
class Generation : public RequirementSheet {};

TEST_F(Generation, NegativeLineOutOfViewStillAsksAndNoWritesNothing) {
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        // At its designed size the stock columns are scrolled out of view: nothing negative is
        // painted.
        sheet.resize(581, 424);
        QTest::qWait(20);
        NegativeStockShown = false;
        sheet.NecesarGrid->viewport()->repaint();
        ASSERT_GT(sheet.NecesarGrid->columnViewportPosition(5), // the stock on hand
                  sheet.NecesarGrid->viewport()->width());
        EXPECT_FALSE(NegativeStockShown);
        desktop.answers.push_back(ui::mrNo);
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Information);
        EXPECT_EQ(desktop.boxes[0].text, kQuestion);
        EXPECT_EQ(desktop.boxes[0].buttons, ui::MessageButton::Yes | ui::MessageButton::No);
        EXPECT_FALSE(DocOutGenerated);
        EXPECT_EQ(sheet.modalResult(), ui::mrNone) << "the sheet stays open";
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
    EXPECT_EQ(reader.counter(), 100);
    EXPECT_EQ(recomputes, 0);
}

TEST_F(Generation, RefusedPendingLineEndsTheClickAfterItsMessage) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        QTest::mouseClick(sheet.NecesarNavigator->button(ui::NavigateButton::Insert),
                          Qt::LeftButton);
        sheet.NecesarGrid->setFocus();
        sheet.NecesarGrid->setCurrentField(QDMDataModule->TempTableCod_MatPrim);
        QTest::keyClicks(focused(), "M100"); // no quantity
        bool dateAsked = false;
        QTimer::singleShot(0, &sheet, [&] {
            if (SelDateDlg && SelDateDlg->isShowingModal()) {
                dateAsked = true;
                SelDateDlg->CancelBtn->click();
            }
        });
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        QTest::qWait(20);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text, "Completati toate datele articolului!");
        EXPECT_FALSE(dateAsked);
        EXPECT_EQ(QDMDataModule->TempTable.state(), db::DataSetState::Insert)
            << "the line stays in edit";
        EXPECT_FALSE(DocOutGenerated);
        QDMDataModule->TempTable.cancel();
    });
    EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
}

TEST_F(Generation, CancellingTheDateWritesNothing) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        whenDateAsked([&](TSelDateDlg& d) {
            EXPECT_EQ(d.caption(), "Selectie");
            EXPECT_EQ(d.Label1->caption(), "&Specificati data:");
            EXPECT_EQ(d.DateEdit->date(), QDate::currentDate()) << "today is proposed";
            QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
        });
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        EXPECT_TRUE(desktop.boxes.empty()) << "no negative line, no question";
        EXPECT_FALSE(DocOutGenerated);
        EXPECT_EQ(sheet.modalResult(), ui::mrNone);
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
    EXPECT_TRUE(reader.rows("Item_out.DB").isEmpty());
    EXPECT_EQ(reader.counter(), 100);
    EXPECT_EQ(recomputes, 0);
}

TEST_F(Generation, YesAndADateWriteTheDocumentCloseTheSheetAndRecomputeOnce) {
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        desktop.answers.push_back(ui::mrYes);
        acceptProposedDate();
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        // The question, the success, and the offer to print the voucher (unanswered: No).
        ASSERT_EQ(desktop.boxes.size(), 3u);
        EXPECT_EQ(desktop.boxes[0].text, kQuestion);
        EXPECT_EQ(desktop.boxes[2].text, kPrintOffer);
        EXPECT_EQ(desktop.boxes[1].kind, ui::MessageKind::Information);
        // The success names what was left out, the short yeast included.
        EXPECT_EQ(
            desktop.boxes[1].text,
            success(101, QDate::currentDate()) +
                "\rCantitati care nu au fost scoase din stoc:\rMAT M200: 2,5 (stoc final negativ)");
        EXPECT_EQ(desktop.boxes[1].buttons, ui::MessageButton::Ok);
        EXPECT_EQ(sheet.modalResult(), ui::mrOk);
    });
    EXPECT_TRUE(DocOutGenerated);
    EXPECT_EQ(recomputes, 1) << "exactly one recompute after a generation";
    const QList<QVariantMap> headers = reader.rows("Doc_out.DB");
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0].value("Contor").toDouble(), 101);
    EXPECT_EQ(headers[0].value("Tip").toString(), "BMC");
    EXPECT_EQ(headers[0].value("Data").toDate(), QDate::currentDate());
    // The yeast line is short and left out; both flours are issued.
    EXPECT_EQ(reader.rows("Item_out.DB").size(), 2);
    EXPECT_EQ(reader.counter(), 101);
    EXPECT_FALSE(requirementTableExists());
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

TEST_F(Generation, StockTakenMeanwhileIsNamedInTheSuccessMessage) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        whenDateAsked([&](TSelDateDlg& d) {
            // Another user takes most of the AUX flour while the date is asked.
            db::Table stock(QStringLiteral("Stoc.DB"));
            stock.setSession(&reader.session);
            stock.setDatabaseName(QStringLiteral("CHECK"));
            stock.setTableName(QStringLiteral("Stoc.DB"));
            stock.open();
            ASSERT_TRUE(stock.locate("Cod_grupa;Cod_articol", {"AUX", "M100"}));
            stock.edit();
            stock.fieldByName("Cantitate")->setAsFloat(2);
            stock.post();
            stock.close();
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 2u) << "the success and the offer to print";
        EXPECT_TRUE(desktop.boxes[0].text.startsWith(kSuccess));
        // What the other user left is issued; the rest is named.
        EXPECT_TRUE(desktop.boxes[0].text.contains("AUX M100: 4 (stocul s-a epuizat)"))
            << desktop.boxes[0].text.toStdString();
    });
    EXPECT_EQ(recomputes, 1);
    double issued = 0;
    for (const QVariantMap& line : reader.rows("Item_out.DB"))
        if (line.value("Cod_grupa") == "AUX" && line.value("Cod_articol") == "M100")
            issued += line.value("Cantitate").toDouble();
    EXPECT_EQ(issued, 2);
}

// Pixels of the cell drawn in pure blue: the quantity of a line the user changed.
int bluePixels(TDBGridNormal& grid, int row, int column) {
    const QImage image = grid.viewport()->grab().toImage();
    const QRect cell(grid.columnViewportPosition(column), grid.rowViewportPosition(row),
                     grid.columnWidth(column), grid.rowHeight(row));
    int blue = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() >= 200 && c.red() <= 80 && c.green() <= 80)
                ++blue;
        }
    return blue;
}

TEST_F(Generation, ACorrectedQuantityIsMarkedAndKeptBesideTheRecipesFigure) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        sheet.resize(1200, 424); // every column in view
        TDBGridNormal& grid = *sheet.NecesarGrid;
        ASSERT_EQ(grid.rowCount(), 2);
        EXPECT_EQ(grid.columns()[4]->title().caption(), "Cant. rețetă");
        EXPECT_EQ(grid.cellText(0, 4), "6");
        EXPECT_EQ(grid.cellText(1, 4), "2");
        // The user types 3 over the 2 of MAT M100 and goes up a line, which posts it.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(grid.model()->index(1, 3)).center());
        QTest::qWait(20);
        auto* editor = qobject_cast<QLineEdit*>(focused());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, "3");
        QTest::keyClick(focused(), Qt::Key_Up);
        QTest::qWait(20);
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text.toStdString();
        EXPECT_EQ(grid.cellText(1, 3), "3");
        EXPECT_EQ(grid.cellText(1, 4), "2") << "the recipe's figure stays beside it";
        EXPECT_GT(bluePixels(grid, 1, 3), 0) << "the changed line is marked";
        EXPECT_EQ(bluePixels(grid, 0, 3), 0) << "the recipe's own quantity is not";
        EXPECT_EQ(bluePixels(grid, 1, 4), 0);

        acceptProposedDate();
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        EXPECT_EQ(sheet.modalResult(), ui::mrOk);
    });
    QStringList kept;
    for (const QVariantMap& r : reader.rows("ConsRet.DB"))
        kept << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(r.value("Cod_grupa").toString(), r.value("Cod_MatPrim").toString())
                    .arg(r.value("Cant_reteta").toDouble())
                    .arg(r.value("Cant_fisa").toDouble())
                    .arg(r.value("Cant_emisa").toDouble());
    EXPECT_EQ(kept, (QStringList{"AUX M100 6 6 6", "MAT M100 2 3 3"}));
}

// Generates the document of receipt 8 dated today, answering nothing else.
class SecondDocument : public RequirementSheet {
protected:
    void SetUp() override {
        RequirementSheet::SetUp();
        coveredReceipt();
        openReceipt(8);
        runSheet([&](TQDMNecesarForm& sheet) {
            acceptProposedDate();
            QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        });
        ASSERT_EQ(reader.counter(), 101);
        desktop.boxes.clear();
        // The first sheet goes as the event loop would release it before the next command.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Cancels the date dialog if it shows, and says whether it did.
    void cancelDateIfAsked(bool& asked) {
        QTimer::singleShot(0, &receiptWindow, [&asked] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal == SelDateDlg) {
                asked = true;
                QTest::mouseClick(SelDateDlg->CancelBtn, Qt::LeftButton);
            }
        });
    }
};

TEST_F(SecondDocument, IsAskedForNamingTheFirstAndNoWritesNothing) {
    runSheet([&](TQDMNecesarForm& sheet) {
        bool dateAsked = false;
        cancelDateIfAsked(dateAsked);
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton); // no answer: the box's No
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text,
                  QStringLiteral("Pentru această recepție există deja bonul de consum nr. 101 din "
                                 "%1. Generați încă unul?")
                      .arg(base::dateToText(QDate::currentDate())));
        EXPECT_EQ(desktop.boxes[0].buttons, ui::MessageButton::Yes | ui::MessageButton::No);
        EXPECT_EQ(desktop.boxes[0].defaultButton, ui::MessageButtons(ui::MessageButton::No));
        QCoreApplication::processEvents();
        EXPECT_FALSE(dateAsked);
        EXPECT_TRUE(sheet.isVisible());
    });
    EXPECT_EQ(reader.counter(), 101);
    EXPECT_EQ(reader.rows("Doc_out.DB").size(), 1);
}

TEST_F(SecondDocument, YesGoesOnToTheDateAndWritesASecondOne) {
    runSheet([&](TQDMNecesarForm& sheet) {
        desktop.answers.push_back(ui::mrYes);
        acceptProposedDate();
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 3u) << "the question, the success and the offer to print";
        EXPECT_EQ(desktop.boxes[1].text.section(QLatin1Char('\r'), 0, 1),
                  success(102, QDate::currentDate()));
    });
    EXPECT_EQ(reader.counter(), 102);
    const QList<QVariantMap> registered = reader.rows("Consum.DB");
    ASSERT_EQ(registered.size(), 2);
    EXPECT_EQ(registered[1].value("Contor_intrare").toDouble(), 8);
    EXPECT_EQ(registered[1].value("Contor_iesire").toDouble(), 102);
}

TEST_F(Generation, ADateBeforeTheReceiptsIsConfirmedNamingBothDates) {
    coveredReceipt(); // dated 13.03.2024
    openReceipt(8);
    const auto typeDate = [this](const char* digits) {
        whenDateAsked([digits](TSelDateDlg& d) {
            d.DateEdit->setFocus();
            d.DateEdit->selectAll();
            QTest::keyClicks(d.DateEdit, digits);
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
    };
    runSheet([&](TQDMNecesarForm& sheet) {
        typeDate("01012020");
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton); // no answer: No
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(
            desktop.boxes[0].text,
            QStringLiteral("Data bonului de consum, %1, este înaintea datei recepției, %2. "
                           "Generați bonul cu această dată?")
                .arg(base::dateToText(QDate(2020, 1, 1)), base::dateToText(QDate(2024, 3, 13))));
        EXPECT_EQ(desktop.boxes[0].defaultButton, ui::MessageButtons(ui::MessageButton::No));
        EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
        EXPECT_FALSE(DocOutGenerated);

        desktop.answers.push_back(ui::mrYes);
        typeDate("01012020");
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 4u) << "the question twice, the success, the offer";
        EXPECT_EQ(desktop.boxes[2].text, success(101, QDate(2020, 1, 1)));
    });
    const QList<QVariantMap> headers = reader.rows("Doc_out.DB");
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0].value("Data").toDate(), QDate(2020, 1, 1));
}

TEST_F(Generation, DatabaseFailureKeepsTheSheetOpenForASecondAttempt) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        whenDateAsked([&](TSelDateDlg& d) {
            reader.database->deleteTable("Item_out.DB");
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
        EXPECT_TRUE(desktop.boxes[0].text.startsWith(
            "Eroare de baza de date survenita in generarea documentului de iesire!\r"))
            << desktop.boxes[0].text.toStdString();
        EXPECT_TRUE(DocOutGenerated) << "a started generation has the host recompute";
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.modalResult(), ui::mrNone);
        EXPECT_EQ(reader.counter(), 100) << "nothing written";
        EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
        EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);

        company::createMissingTables(*reader.database, company::hostTables());
        acceptProposedDate();
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 3u) << "the success and the offer to print";
        EXPECT_EQ(desktop.boxes[1].text, success(101, QDate::currentDate()));
    });
    EXPECT_EQ(reader.counter(), 101);
    EXPECT_EQ(reader.rows("Item_out.DB").size(), 2);
    EXPECT_EQ(recomputes, 1);
}

TEST_F(Generation, FailedGenerationThenCancelStillRecomputesOnce) {
    coveredReceipt();
    openReceipt(8);
    runSheet([&](TQDMNecesarForm& sheet) {
        whenDateAsked([&](TSelDateDlg& d) {
            reader.database->deleteTable("Doc_out.DB");
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
    EXPECT_EQ(recomputes, 1);
    EXPECT_EQ(reader.counter(), 100);
}

// The date dialog on its own.
class DateDialog : public testsupport::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        base::setFormatSettings(base::FormatSettings{});
    }
    QWidget owner;
    static void retype(TDateEdit* edit, const char* digits) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, digits);
    }
};

TEST_F(DateDialog, OkWithAnImpossibleDateBeepsRestoresAndStaysOpen) {
    QDate date(2024, 3, 12);
    bool checked = false;
    QTimer::singleShot(0, &owner, [&] {
        TSelDateDlg& d = *SelDateDlg;
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        EXPECT_EQ(d.size(), QSize(240, 118));
        retype(d.DateEdit, "31042024");
        // The click takes the focus from the edit, which refuses the text on the way out; OK
        // then keeps the dialog open without a second beep.
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(desktop.beeps, 1);
        EXPECT_EQ(d.modalResult(), ui::mrNone) << "the dialog stays open";
        EXPECT_EQ(d.DateEdit->text(), base::dateToText(QDate(2024, 3, 12)));
        // Enter, with the focus in the edit, refuses the same way.
        retype(d.DateEdit, "3104");
        QTest::keyClick(d.DateEdit, Qt::Key_Return);
        EXPECT_EQ(desktop.beeps, 2);
        EXPECT_EQ(d.modalResult(), ui::mrNone);
        EXPECT_EQ(d.DateEdit->text(), base::dateToText(QDate(2024, 3, 12)));
        checked = true;
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(SelectDate(&owner, date));
    EXPECT_TRUE(checked);
    EXPECT_EQ(date, QDate(2024, 3, 12));
}

TEST_F(DateDialog, OkWithAValidDateGivesIt) {
    QDate date(2024, 3, 12);
    QTimer::singleShot(0, &owner, [&] {
        retype(SelDateDlg->DateEdit, "29022024");
        QTest::mouseClick(SelDateDlg->OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(SelectDate(&owner, date));
    EXPECT_EQ(date, QDate(2024, 2, 29));
    EXPECT_EQ(desktop.beeps, 0);
}

} // namespace
