// "Stornare…" in the host's output documents window: the selected consumption document is
// reversed after the user confirms, the stock record it emptied comes back, and a second
// reversal is refused with a warning that changes nothing.
#include "host/demo_company.h"
#include "host/output_documents_form.h"
#include "host/record_grid.h"
#include "host_fixture.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/session.h"

#include <QPushButton>
#include <QTest>

using namespace hosttest;

namespace {

class OutputReversal : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
        // Beside the demo's invoice (counter 1), a consumption document (counter 2) that took
        // the whole lot of butter, whose stock record it deleted.
        exec("INSERT INTO \"Doc_out.DB\" (Contor, Numar, Tip, Data, Explicatie) VALUES (2, 3, "
             "'BMC', '2025-03-14', 'Consum coresp. NIR 3/14.03.2025')");
        exec("INSERT INTO \"Item_out.DB\" (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, "
             "Cod_articol, Lot, Cantitate, Pret_achizitie) VALUES (2, 1, 'G01', 'MPA', 'M016', "
             "'L250308', 0.3, 38)");
        exec("DELETE FROM \"Stoc.DB\" WHERE Cod_articol = 'M016'");
        exec("UPDATE \"COUNTER.DB\" SET NewCounterOut = 2");
        start(companyDir, QStringLiteral(HOST_TEST_ADDON));
        outputs = window()->openOutputDocuments();
        settle();
        ASSERT_EQ(outputs->documentsGrid()->model()->rowCount(), 2);
    }

    void exec(const char* sql) {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(QString::fromUtf8(sql));
        q.execSql();
    }

    QStringList column(const char* sql) {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(QString::fromUtf8(sql));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.field(0)->asString();
        return out;
    }

    void select(int row) {
        host::RecordGrid* grid = outputs->documentsGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
        settle();
    }

    void clickReverse() {
        QTest::mouseClick(outputs->reverseButton(), Qt::LeftButton);
        settle();
    }

    QStringList butter() {
        return column("SELECT Cod_gestiune || ' ' || Lot || ' ' || Pret_achizitie || ' ' || "
                      "Cantitate FROM \"Stoc.DB\" WHERE Cod_articol = 'M016'");
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    host::OutputDocumentsForm* outputs = nullptr;
};

// A consumption posted ahead (dated after today) is reversed on its own date, which the
// question names, never before it.
TEST_F(OutputReversal, ADocumentDatedAheadIsReversedOnItsOwnDate) {
    const QDate ahead = QDate::currentDate().addDays(20);
    exec(QStringLiteral("UPDATE \"Doc_out.DB\" SET Data = '%1' WHERE Contor = 2")
             .arg(ahead.toString(Qt::ISODate))
             .toUtf8()
             .constData());
    outputs->documents().refresh();
    settle();
    select(1);
    desktop.answers.push_back(ui::mrYes);
    clickReverse();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_TRUE(desktop.boxes[0].text.contains(ahead.toString(QStringLiteral("dd.MM.yyyy"))))
        << desktop.boxes[0].text.toStdString();
    EXPECT_EQ(desktop.boxes[1].kind, ui::MessageKind::Information)
        << desktop.boxes[1].text.toStdString();
    EXPECT_EQ(column("SELECT Data FROM \"Doc_out.DB\" WHERE Contor = 3"),
              QStringList{ahead.toString(QStringLiteral("dd.MM.yyyy"))});
}

TEST_F(OutputReversal, ConfirmedReversalWritesTheDocumentAndBringsTheLotBack) {
    select(1);
    desktop.answers.push_back(ui::mrYes);
    clickReverse();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Confirmation);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("contorul 2")));
    EXPECT_EQ(desktop.boxes[1].kind, ui::MessageKind::Information);
    EXPECT_EQ(desktop.boxes[1].text,
              "OK. Bonul de consum cu contorul 2 a fost stornat prin documentul cu contorul 3.");
    EXPECT_EQ(butter(), QStringList{"G01 L250308 38.0 0.3"});
    EXPECT_EQ(column("SELECT Tip || ' ' || Explicatie FROM \"Doc_out.DB\" WHERE Contor = 3"),
              QStringList{"BMC Stornare BMC 3/14.03.2025 (contor 2)"});
    EXPECT_EQ(column("SELECT Cantitate FROM \"Item_out.DB\" WHERE Contor = 3"),
              QStringList{"-0,3"});
    EXPECT_EQ(outputs->documentsGrid()->model()->rowCount(), 3) << "the window shows it";
    EXPECT_EQ(outputs->documents().fieldByName(QStringLiteral("Contor"))->asFloat(), 3);
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

TEST_F(OutputReversal, NoChangesNothingAndASecondReversalIsRefused) {
    select(1);
    desktop.answers.push_back(ui::mrNo);
    clickReverse();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(butter().isEmpty());
    EXPECT_EQ(column("SELECT Contor FROM \"Doc_out.DB\"").size(), 2);

    desktop.answers.push_back(ui::mrYes);
    clickReverse();
    select(1);
    desktop.boxes.clear();
    desktop.answers.push_back(ui::mrYes);
    clickReverse();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].kind, ui::MessageKind::Warning);
    EXPECT_TRUE(desktop.boxes[1].text.contains(QStringLiteral("deja stornat")))
        << desktop.boxes[1].text.toStdString();
    EXPECT_EQ(butter(), QStringList{"G01 L250308 38.0 0.3"}) << "given back once";
    EXPECT_EQ(column("SELECT Contor FROM \"Doc_out.DB\"").size(), 3);
}

TEST_F(OutputReversal, AnInvoiceIsNotReversed) {
    select(0);
    desktop.answers.push_back(ui::mrYes);
    clickReverse();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].kind, ui::MessageKind::Warning);
    EXPECT_TRUE(desktop.boxes[1].text.contains(QStringLiteral("nu un bon de consum")))
        << desktop.boxes[1].text.toStdString();
    EXPECT_EQ(column("SELECT Contor FROM \"Doc_out.DB\"").size(), 2);
}

} // namespace
