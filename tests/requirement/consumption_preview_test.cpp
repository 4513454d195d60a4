// The sheet's allocation preview (its button and Ctrl+L).
#include "sheet_fixture.h"

#include "controls/db_grid_inplace_edit.h"
#include "controls/db_grid_normal.h"
#include "platform/ui/label.h"
#include "requirement/ui/consumption_preview_form.h"

#include <QTableWidget>

namespace {

using sheettest::SheetTest;

// Bread (batch 10) and cake (batch 1) take flour of MAT; biscuits take all the flour of AUX;
// the yeast is short.
class Preview : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        company.article("PF", "PF01", "Paine", 10).article("PF", "PF02", "Cozonac", 1);
        company.article("PF", "PF04", "Biscuit", 1);
        company.article("MAT", "M100", "Faina").article("AUX", "M100", "Faina auxiliara");
        company.article("MAT", "M200", "Drojdie");
        company.recipe("PF01", "MAT", "M100", 2).recipe("PF01", "MAT", "M200", 0.5);
        company.recipe("PF02", "MAT", "M100", 1).recipe("PF04", "AUX", "M100", 3);
        company.receipt(7, 15, "A1", {2024, 3, 12});
        company.receiptLine(7, 1, "PF", "PF01", 50).receiptLine(7, 2, "PF", "PF02", 4);
        company.receiptLine(7, 4, "PF", "PF04", 4);
        company.stock("G1", "MAT", "M100", "L1", 3.5, 20).stock("G1", "MAT", "M200", "L1", 9, 1);
        company.stock("G1", "AUX", "M100", "L2", 2, 12);
        company.counter(100);
    }

    // Acts on the preview once it shows, reading its rows, and closes it with Escape.
    void whenPreviewShown(QStringList& rows, QString& notIssued) {
        QTimer::singleShot(0, &receiptWindow, [&rows, &notIssued] {
            auto* preview =
                dynamic_cast<TConsumptionPreviewForm*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            EXPECT_EQ(preview->caption(), "Previzualizare consum");
            for (int r = 0; r < preview->PlanGrid->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < preview->PlanGrid->columnCount(); ++c)
                    cells << preview->PlanGrid->item(r, c)->text();
                rows << cells.join(QLatin1Char('|'));
            }
            notIssued = preview->NotIssuedLbl->isVisibleTo(preview) ? preview->NotIssuedLbl->text()
                                                                    : QString();
            QTest::keyClick(preview, Qt::Key_Escape);
        });
    }
};

const QStringList kPlan = {"1|AUX|M100|G1|L2|2|12|0 (se șterge)", "2|MAT|M100|G1|L1|3,5|14|6"};
const QString kNotIssued =
    QStringLiteral("Cantități care nu ar fi scoase din stoc:\nMAT M200: 2,5 (stoc final negativ)");

TEST_F(Preview, CtrlLShowsWhereEachLineWouldBeTakenFromAndWritesNothing) {
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        QStringList rows;
        QString notIssued;
        whenPreviewShown(rows, notIssued);
        sheet.NecesarGrid->setFocus();
        QTest::keyClick(focused(), Qt::Key_L, Qt::ControlModifier);
        EXPECT_EQ(rows, kPlan);
        EXPECT_EQ(notIssued, kNotIssued);
        EXPECT_TRUE(desktop.boxes.empty()) << "no question: nothing is generated";
        EXPECT_EQ(sheet.modalResult(), ui::mrNone) << "the sheet stays open";
        EXPECT_FALSE(DocOutGenerated);

        // The button shows the same, with the quantity just corrected on the sheet.
        rows.clear();
        sheet.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        QDMDataModule->TempTable.last(); // MAT M200, the short yeast
        sheet.NecesarGrid->setFocus();
        sheet.NecesarGrid->setCurrentField(QDMDataModule->TempTableCant);
        QLineEdit* editor = sheet.NecesarGrid->inplaceEditor();
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        editor->selectAll();
        QTest::keyClicks(editor, "1");
        whenPreviewShown(rows, notIssued);
        QTest::mouseClick(sheet.PreviewBTN, Qt::LeftButton);
        EXPECT_EQ(QDMDataModule->TempTable.state(), db::DataSetState::Browse)
            << "the pending line was posted first";
        EXPECT_EQ(QDMDataModule->TempTableCant->asFloat(), 1);
        EXPECT_EQ(rows, kPlan + QStringList{"3|MAT|M200|G1|L1|9|1|0 (se șterge)"});
        EXPECT_EQ(notIssued, QString());
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(reader.rows("Doc_out.DB").isEmpty());
    EXPECT_TRUE(reader.rows("Item_out.DB").isEmpty());
    EXPECT_EQ(reader.rows("Stoc.DB").size(), 3);
    EXPECT_EQ(reader.counter(), 100);
}

TEST_F(Preview, GenerationWritesWhatThePreviewShowed) {
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        QStringList rows;
        QString notIssued;
        whenPreviewShown(rows, notIssued);
        QTest::mouseClick(sheet.PreviewBTN, Qt::LeftButton);
        ASSERT_EQ(rows, kPlan);
        desktop.answers.push_back(ui::mrYes);
        acceptProposedDate();
        QTest::mouseClick(sheet.GenDocOutBTN, Qt::LeftButton);
        EXPECT_EQ(sheet.modalResult(), ui::mrOk);
    });
    QStringList written;
    for (const QVariantMap& line : reader.rows("Item_out.DB"))
        written << QStringList{line.value("Contor_secundar").toString(),
                               line.value("Cod_grupa").toString(),
                               line.value("Cod_articol").toString(),
                               line.value("Cod_gestiune").toString(),
                               line.value("Lot").toString(),
                               line.value("Cantitate").toString()}
                       .join(QLatin1Char('|'));
    EXPECT_EQ(written, (QStringList{"1|AUX|M100|G1|L2|12", "2|MAT|M100|G1|L1|14"}));
}

} // namespace

// The sheet with its preview button and the preview window, saved for a person to look at when
// LUMBRA_SCREENSHOT_DIR is set.
TEST_F(Preview, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    openReceipt(7);
    runSheet([&](TQDMNecesarForm& sheet) {
        QTest::qWait(200);
        EXPECT_TRUE(sheet.grab().save(target + QStringLiteral("/lumbra-sheet.png")));
        QTimer::singleShot(0, &receiptWindow, [target] {
            QWidget* preview = QApplication::activeModalWidget();
            ASSERT_NE(preview, nullptr);
            QTest::qWait(200);
            EXPECT_TRUE(preview->grab().save(target + QStringLiteral("/lumbra-preview.png")));
            QTest::keyClick(preview, Qt::Key_Escape);
        });
        sheet.NecesarGrid->setFocus();
        QTest::keyClick(focused(), Qt::Key_L, Qt::ControlModifier);
        QTest::mouseClick(sheet.BitBtn2, Qt::LeftButton);
    });
}
