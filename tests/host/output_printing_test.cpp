// The host's output documents window prints the selected consumption document as a voucher:
// "Tipărire…" and Ctrl+P through the print dialog, "Salvare PDF…" into a file.
#include "host/demo_company.h"
#include "host/output_documents_form.h"
#include "host/record_grid.h"
#include "host_fixture.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "tests/support/pdf_text.h"

#include <QPushButton>
#include <QTest>

using namespace hosttest;

namespace {

class OutputPrinting : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
        addConsumptionDocument();
        start(companyDir, QStringLiteral(HOST_TEST_ADDON));
        outputs = window()->openOutputDocuments();
        settle();
        ASSERT_EQ(outputs->documentsGrid()->model()->rowCount(), 2);
    }

    // Beside the demo's invoice (counter 1): a consumption document, counter 2.
    void addConsumptionDocument() {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Table out(QStringLiteral("Out"));
        out.setSession(&session);
        out.setDatabaseName(QStringLiteral("FIRMA"));
        out.setTableName(QStringLiteral("Doc_out.DB"));
        out.open();
        out.append();
        out.fieldByName("Contor")->setAsFloat(2);
        out.fieldByName("Numar")->setAsFloat(3);
        out.fieldByName("Tip")->setAsString("BMC");
        out.fieldByName("Data")->setAsDate({2025, 3, 14});
        out.fieldByName("Explicatie")->setAsString("Consum coresp. NIR 3/14.03.2025");
        out.post();
        db::Table lines(QStringLiteral("Lines"));
        lines.setSession(&session);
        lines.setDatabaseName(QStringLiteral("FIRMA"));
        lines.setTableName(QStringLiteral("Item_out.DB"));
        lines.open();
        lines.append();
        lines.fieldByName("Contor")->setAsFloat(2);
        lines.fieldByName("Contor_secundar")->setAsFloat(1);
        lines.fieldByName("Cod_gestiune")->setAsString("G01");
        lines.fieldByName("Cod_grupa")->setAsString("MPA");
        lines.fieldByName("Cod_articol")->setAsString("M016");
        lines.fieldByName("Cantitate")->setAsFloat(12.5);
        lines.fieldByName("Pret_achizitie")->setAsFloat(4);
        lines.post();
    }

    void select(int row) {
        host::RecordGrid* grid = outputs->documentsGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
        settle();
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    QString pdf = dir.path() + QStringLiteral("/bon.pdf");
    host::OutputDocumentsForm* outputs = nullptr;
};

TEST_F(OutputPrinting, CtrlPPrintsTheSelectedConsumptionDocument) {
    select(1);
    desktop.printTo = pdf;
    outputs->documentsGrid()->setFocus();
    QTest::keyClick(outputs->documentsGrid(), Qt::Key_P, Qt::ControlModifier);
    settle();
    EXPECT_EQ(desktop.printDialogs, 1);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text.toStdString();
    const QString page = testsupport::pdfPages(pdf).value(0);
    for (const char* expected : {"brutarie", "BON DE CONSUM", "Numărul: 3", "Unt 82%", "M016", "kg",
                                 "12,500", "50,00", "Consum coresp. NIR 3/14.03.2025"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << page.toStdString();
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

TEST_F(OutputPrinting, AnInvoiceIsNotAVoucher) {
    select(0);
    desktop.printTo = pdf;
    QTest::mouseClick(outputs->printButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.printDialogs, 0);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
    EXPECT_EQ(desktop.boxes[0].text,
              "Documentul de ieșire cu contorul 1 nu este un bon de consum (tipul lui este "
              "„FAC”).");
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(OutputPrinting, SaveAsPdfWritesTheFileTheUserNames) {
    select(1);
    desktop.saveAs = pdf;
    QTest::mouseClick(outputs->pdfButton(), Qt::LeftButton);
    ASSERT_EQ(desktop.savesAsked.size(), 1u);
    EXPECT_TRUE(desktop.savesAsked[0].second.endsWith("bon-consum-2.pdf"));
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_TRUE(testsupport::pdfPages(pdf).value(0).contains("M016"));
}

TEST_F(OutputPrinting, AFileThatCannotBeWrittenIsToldAndTheDocumentStays) {
    select(1);
    const QString bad = dir.path() + QStringLiteral("/lipsa/bon.pdf");
    desktop.saveAs = bad;
    QTest::mouseClick(outputs->pdfButton(), Qt::LeftButton);
    desktop.printTo = bad;
    QTest::mouseClick(outputs->printButton(), Qt::LeftButton);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    for (const testsupport::ShownBox& box : desktop.boxes) {
        EXPECT_EQ(box.kind, ui::MessageKind::Error);
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("Fișierul PDF „%1” nu a putut fi scris")
                                            .arg(QDir::toNativeSeparators(bad))))
            << box.text.toStdString();
    }
    outputs->refreshData();
    settle();
    EXPECT_EQ(outputs->documentsGrid()->model()->rowCount(), 2);
    EXPECT_EQ(outputs->lines().recordCount(), 1);
}

} // namespace
