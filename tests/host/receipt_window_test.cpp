// Receipts entered with the keyboard in the host's goods-receipt window, over the demo company on
// disk: posted purchases and production receipts, refused lines that write nothing, receipts
// dropped unposted, corrections and deletions, and a production receipt followed through its
// requirement and consumption document to the stock.
#include "controls/date_edit.h"
#include "data/qdm_data_module.h"
#include "host/article_picker.h"
#include "host/demo_company.h"
#include "host/receipt_commands.h"
#include "host/receipt_editor.h"
#include "host/receipt_lines_table.h"
#include "host/receipts_form.h"
#include "host/record_grid.h"
#include "host_fixture.h"
#include "platform/base/format_settings.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "settings/production_settings_file.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace hosttest;
using host::ReceiptLinesTable;

namespace {

class ReceiptWindow : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
        start(companyDir, QStringLiteral(HOST_TEST_ADDON));
        window()->resize(1280, 800);
        window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        receipts = window()->openReceipts();
        settle();
    }

    QByteArray fileBytes() const {
        QFile f(companyDir + QStringLiteral("/tables.sqlite"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Rows of a table as "field=value" lists, as another user reads them.
    QStringList records(const char* table, const char* fields, const QString& where = QString()) {
        db::Session s;
        s.addAlias(QStringLiteral("CHECK"), companyDir);
        db::Table t;
        t.setSession(&s);
        t.setDatabaseName(QStringLiteral("CHECK"));
        t.setTableName(QString::fromLatin1(table));
        t.open();
        QStringList out;
        const QStringList names = QString::fromLatin1(fields).split(QLatin1Char(';'));
        for (t.first(); !t.eof(); t.next()) {
            QStringList cells;
            for (const QString& n : names)
                cells << t.fieldByName(n)->asString();
            const QString row = cells.join(QLatin1Char(' '));
            if (where.isEmpty() || row.startsWith(where))
                out << row;
        }
        return out;
    }
    QStringList stockOf(const char* code) {
        QStringList out;
        for (const QString& r :
             records("Stoc.DB", "Cod_articol;Cod_gestiune;Cod_grupa;Lot;Pret_achizitie;Cantitate"))
            if (r.startsWith(QString::fromLatin1(code) + QLatin1Char(' ')))
                out << r.section(QLatin1Char(' '), 1);
        return out;
    }
    QString counters() { return records("COUNTER.DB", "NewCounterOut;NewCounterIn").value(0); }

    host::ReceiptEditor* editor() const {
        QMdiSubWindow* current = window()->mdiArea()->currentSubWindow();
        return current ? dynamic_cast<host::ReceiptEditor*>(current->widget()) : nullptr;
    }
    static QWidget* focused() { return QApplication::focusWidget(); }

    // Types text into the focused widget, letters outside ASCII (ţ, â, ✓) as a keyboard layout
    // that has them sends them.
    static void keys(const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClicks(focused(), QString(c));
                continue;
            }
            QTest::sendKeyEvent(QTest::Press, focused(), Qt::Key_unknown, QString(c), {});
            QTest::sendKeyEvent(QTest::Release, focused(), Qt::Key_unknown, QString(c), {});
        }
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(focused(), k, m); }

    // Opens a new receipt with Insert on the documents' grid.
    host::ReceiptEditor* newReceipt() {
        receipts->documentsGrid()->setFocus();
        key(Qt::Key_Insert);
        settle();
        return editor();
    }

    // Types the header: number, then (for a production receipt) the type, the supplier.
    void header(host::ReceiptEditor* e, const char* type, const char* number,
                const char* supplier) {
        e->numberEdit()->setFocus();
        keys(QString::fromUtf8(number));
        if (QByteArray(type) == "BPF") {
            e->typeBox()->setFocus();
            key(Qt::Key_Down);
        }
        e->supplierEdit()->setFocus();
        keys(QString::fromUtf8(supplier));
    }

    // Types a line's group, code, warehouse, lot, quantity, price and VAT, each followed by Tab,
    // starting on the group of the current line.
    void line(const QStringList& cells) {
        for (const QString& cell : cells) {
            if (!cell.isEmpty())
                keys(cell);
            key(Qt::Key_Tab);
        }
    }
    void startLines(host::ReceiptEditor* e) {
        ReceiptLinesTable* t = e->linesTable();
        t->setFocus();
        t->setCurrentCell(t->rowCount() - 1, ReceiptLinesTable::Group);
    }

    QString boxes() const {
        QString all;
        for (const auto& b : desktop.boxes)
            all += b.text + QLatin1Char('\n');
        return all;
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    host::ReceiptsForm* receipts = nullptr;
};

} // namespace

TEST_F(ReceiptWindow, APurchaseTypedAndPostedWithCtrlS) {
    host::ReceiptEditor* e = newReceipt();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->caption(), "Document de intrare nou");
    EXPECT_EQ(e->dateEdit()->date(), QDate::currentDate()) << "today proposed";
    header(e, "NIR", "7001", "Moara Dâmboviţa SRL");
    startLines(e);
    line({"MPF", "M001", "G01", "L250401", "100", "2,10", ""});
    // A code alone: the catalog gives its group. The stock record of this lot and price grows.
    line({"", "M010", "G01", "L250311", "2", "14,5", "2,61"});
    ReceiptLinesTable* t = e->linesTable();
    EXPECT_EQ(t->item(1, ReceiptLinesTable::Group)->text(), "MPA");
    EXPECT_EQ(t->item(1, ReceiptLinesTable::Name)->text(), "Drojdie proaspătă");
    EXPECT_EQ(t->rowCount(), 3) << "Tab past the last cell starts a line";
    key(Qt::Key_S, Qt::ControlModifier);
    settle();

    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(editor(), nullptr) << "the posted receipt's window closed";
    EXPECT_EQ(counters(), "1 5") << "one receipt counter taken";
    EXPECT_EQ(records("Doc_in.DB", "Contor;Tip;Numar;Furnizor", "5 "),
              QStringList{"5 NIR 7001 Moara Dâmboviţa SRL"});
    EXPECT_EQ(
        records("Item_in.DB", "Contor;Contor_secundar;Cod_grupa;Cod_articol;Cantitate;TVA", "5 "),
        (QStringList{"5 1 MPF M001 100 18,9", "5 2 MPA M010 2 2,61"}));
    EXPECT_EQ(stockOf("M001"), (QStringList{"G01 MPF L250301 2,1 400", "G01 MPF L250310 2,25 250",
                                            "G01 MPF L250401 2,1 100", "G02 MPF L250305 2,3 120"}));
    EXPECT_EQ(stockOf("M010"), QStringList{"G01 MPA L250311 14,5 8"});
    EXPECT_EQ(receipts->documents().fieldByName("Contor")->asInteger(), 5)
        << "the window shows the new receipt";
}

TEST_F(ReceiptWindow, APointInTheNumbersAndAOneDigitDayAndMonthAreTakenAsTyped) {
    // As a person types them on a keyboard whose decimal key gives a point, and a date as said.
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", "7002", "Moara Dâmboviţa SRL");
    e->dateEdit()->setFocus();
    e->dateEdit()->selectAll();
    keys("5.3.2025");
    key(Qt::Key_Tab);
    settle();
    EXPECT_EQ(e->dateEdit()->date(), QDate(2025, 3, 5));
    startLines(e);
    line({"MPF", "M001", "G01", "L250405", "0.75", "2.10", ""});
    key(Qt::Key_S, Qt::ControlModifier);
    settle();

    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(records("Doc_in.DB", "Contor;Numar;Data", "5 "), QStringList{"5 7002 05.03.2025"});
    EXPECT_EQ(records("Item_in.DB", "Contor;Cod_articol;Cantitate;Pret_achizitie_lei", "5 "),
              QStringList{"5 M001 0,75 2,1"});
    EXPECT_TRUE(stockOf("M001").contains("G01 MPF L250405 2,1 0,75"));
}

TEST_F(ReceiptWindow, AProductionReceiptWithItsArticlePickedFromTheList) {
    host::ReceiptEditor* e = newReceipt();
    header(e, "BPF", "104", "Secţia patiserie");
    startLines(e);
    QTimer::singleShot(0, e, [] {
        host::ArticlePicker* picker = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = dynamic_cast<host::ArticlePicker*>(w); p && p->isVisible())
                picker = p;
        ASSERT_NE(picker, nullptr);
        picker->searchEdit()->setFocus();
        QTest::keyClicks(picker->searchEdit(), "P003");
        EXPECT_EQ(picker->code(), "P003");
        QTest::keyClick(picker->searchEdit(), Qt::Key_Return);
    });
    key(Qt::Key_F4);
    settle();
    ReceiptLinesTable* t = e->linesTable();
    EXPECT_EQ(t->item(0, ReceiptLinesTable::Group)->text(), "PFP");
    EXPECT_EQ(t->item(0, ReceiptLinesTable::Name)->text(), "Cozonac cu nucă 1 kg");
    EXPECT_EQ(t->currentColumn(), ReceiptLinesTable::Warehouse);
    // The main window is active again once the pick list has gone.
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    t->setFocus();
    line({"PF1", "P250401", "10", "14,50", ""});
    QTest::mouseClick(e->postButton(), Qt::LeftButton);
    settle();

    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(records("Doc_in.DB", "Contor;Tip;Numar", "5 "), QStringList{"5 BPF 104"});
    EXPECT_EQ(stockOf("P003"), QStringList{"PF1 PFP P250401 14,5 10"});
    EXPECT_EQ(counters(), "1 5");
}

TEST_F(ReceiptWindow, LinesAreAddedRemovedAndNamedFromTheKeyboard) {
    host::ReceiptEditor* e = newReceipt();
    startLines(e);
    ReceiptLinesTable* t = e->linesTable();
    line({"MPF", "M999", "G02"});
    EXPECT_EQ(t->item(0, ReceiptLinesTable::Name)->text(), "— nu este în catalog —");
    key(Qt::Key_Insert);
    EXPECT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->item(1, ReceiptLinesTable::Warehouse)->text(), "G02") << "from the line above";
    EXPECT_EQ(t->currentRow(), 1);
    EXPECT_EQ(t->currentColumn(), ReceiptLinesTable::Group);
    // The pick list given up with Escape leaves the line as it was.
    QTimer::singleShot(0, e, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = dynamic_cast<host::ArticlePicker*>(w); p && p->isVisible()) {
                QTest::keyClick(p->searchEdit(), Qt::Key_Down);
                QTest::keyClick(p->searchEdit(), Qt::Key_Escape);
            }
    });
    key(Qt::Key_Return, Qt::ControlModifier);
    settle();
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(t->item(1, ReceiptLinesTable::Article)->text(), "");
    t->setFocus();
    t->setCurrentCell(0, ReceiptLinesTable::Lot);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(t->rowCount(), 1);
    EXPECT_EQ(t->item(0, ReceiptLinesTable::Warehouse)->text(), "G02");
    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
}

TEST_F(ReceiptWindow, EnterGoesThroughTheHeaderToTheLines) {
    host::ReceiptEditor* e = newReceipt();
    e->numberEdit()->setFocus();
    keys(QStringLiteral("7001"));
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), e->dateEdit());
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), e->supplierEdit());
    keys(QStringLiteral("Furnizor"));
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), e->linesTable());
    line({"MPF", "M001", "G01", "L1", "1", "2", ""});
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(records("Doc_in.DB", "Contor;Numar;Furnizor", "5 "), QStringList{"5 7001 Furnizor"});
}

// ---- refused input: a message box, the receipt stays as typed, nothing written ----

struct RefusedLine {
    const char* name;
    QStringList cells; // group, code, warehouse, lot, quantity, price, VAT
    const char* number;
    const char* message;
};

void PrintTo(const RefusedLine& c, std::ostream* os) {
    *os << c.name;
}

class RefusedReceipt : public ReceiptWindow, public ::testing::WithParamInterface<RefusedLine> {};

TEST_P(RefusedReceipt, ShowsWhyAndLeavesTheDatabaseByteIdentical) {
    const RefusedLine& c = GetParam();
    const QByteArray before = fileBytes();
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", c.number, "Furnizor");
    startLines(e);
    line(c.cells);
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Warning);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QString::fromUtf8(c.message)))
        << desktop.boxes[0].text.toStdString();
    EXPECT_EQ(editor(), e) << "the receipt stays open";
    EXPECT_EQ(e->linesTable()->item(0, ReceiptLinesTable::Article)->text(), c.cells[1]);
    EXPECT_TRUE(fileBytes() == before) << "the database file changed";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedReceipt,
    ::testing::Values(RefusedLine{"ArticleNotInCatalog",
                                  {"MPF", "M999", "G01", "L1", "5", "2", ""},
                                  "7001",
                                  "linia 1: articolul MPF M999 nu este în catalog"},
                      RefusedLine{"QuantityZero",
                                  {"MPF", "M001", "G01", "L1", "0", "2", ""},
                                  "7001",
                                  "linia 1: cantitatea este zero"},
                      RefusedLine{"QuantityNegativeOnAPurchase",
                                  {"MPF", "M001", "G01", "L1", "-5", "2", ""},
                                  "7001",
                                  "nu poate fi negativă pe o recepție de la furnizor"},
                      RefusedLine{"QuantityNotANumber",
                                  {"MPF", "M001", "G01", "L1", "cinci", "2", ""},
                                  "7001",
                                  "cantitatea „cinci” nu este un număr"},
                      RefusedLine{"PriceBelowZero",
                                  {"MPF", "M001", "G01", "L1", "5", "-2", ""},
                                  "7001",
                                  "prețul nu poate fi sub zero"},
                      RefusedLine{"TextOutsideTheCodePage",
                                  {"MPF", "M001", "G01", "L✓1", "5", "2", ""},
                                  "7001",
                                  "Lotul: caracterul „✓”"},
                      RefusedLine{"NumberOfAnotherPurchase",
                                  {"MPF", "M001", "G01", "L1", "5", "2", ""},
                                  "5521",
                                  "există deja un document NIR cu numărul 5521 (contorul 1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiptWindow, ADateThatDoesNotExistIsRefusedWithNothingWritten) {
    const QByteArray before = fileBytes();
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", "7001", "Furnizor");
    startLines(e);
    line({"MPF", "M001", "G01", "L1", "5", "2", ""});
    // The date edit takes the day's digits as typed; 31 April is caught when posting.
    e->dateEdit()->setFocus();
    key(Qt::Key_Home);
    keys(QStringLiteral("31042025"));
    ASSERT_EQ(e->dateEdit()->text(), "31.04.2025");
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_FALSE(desktop.boxes.empty());
    EXPECT_TRUE(desktop.boxes.back().text.contains("data „31.04.2025” nu există"))
        << boxes().toStdString();
    EXPECT_TRUE(fileBytes() == before);
}

TEST_F(ReceiptWindow, AReceiptClosedUnpostedAsksAndWritesNothing) {
    const QByteArray before = fileBytes();
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", "7001", "Furnizor");
    startLines(e);
    line({"MPF", "M001", "G01", "L1", "5", "2", ""});
    // No: the receipt stays. Yes: it goes.
    desktop.answers = {ui::mrNo, ui::mrYes};
    e->mdiFrame()->close();
    settle();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Confirmation);
    EXPECT_EQ(desktop.boxes[0].defaultButton, ui::MessageButtons(ui::MessageButton::No));
    EXPECT_EQ(editor(), e);
    e->findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    settle();
    EXPECT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(fileBytes() == before);

    // A receipt nothing was typed into closes without a question.
    newReceipt()->mdiFrame()->close();
    settle();
    EXPECT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(ReceiptWindow, CorrectionWithF2ChangesTheLineAndItsStock) {
    // Receipt 1 brought 250 of M001 to lot L250310, which holds them all still.
    ASSERT_TRUE(receipts->documents().findKey({1.0}));
    receipts->documentsGrid()->setFocus();
    key(Qt::Key_F2);
    settle();
    host::ReceiptEditor* e = editor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->numberEdit()->text(), "5521");
    ReceiptLinesTable* t = e->linesTable();
    ASSERT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->item(1, ReceiptLinesTable::Quantity)->text(), "250");
    t->setFocus();
    t->setCurrentCell(1, ReceiptLinesTable::Quantity);
    keys(QStringLiteral("200"));
    key(Qt::Key_Return);
    settle(); // the cell takes what was typed once the key is over
    EXPECT_EQ(t->currentColumn(), ReceiptLinesTable::Price) << "Enter goes on to the next cell";
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(records("Item_in.DB", "Contor;Cod_articol;Cantitate", "1 "),
              (QStringList{"1 M002 80", "1 M001 200"}));
    EXPECT_EQ(stockOf("M001")[1], "G01 MPF L250310 2,25 200");
    EXPECT_EQ(counters(), "1 4") << "a correction takes no counter";
}

TEST_F(ReceiptWindow, DeletionPutsTheStockBackAndIsRefusedOnceItWasConsumed) {
    // A receipt posted here, then deleted: the stock is as it was.
    const QStringList stockBefore = stockOf("M012");
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", "7002", "Furnizor");
    startLines(e);
    line({"MPA", "M012", "G01", "L250220", "15", "4,10", ""});
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_EQ(stockOf("M012")[0], "G01 MPA L250220 4,1 75");
    ASSERT_EQ(receipts->documents().fieldByName("Contor")->asInteger(), 5);
    desktop.answers = {ui::mrYes};
    receipts->documentsGrid()->setFocus();
    key(Qt::Key_Delete, Qt::ControlModifier);
    settle();
    ASSERT_EQ(desktop.boxes.size(), 1u) << boxes().toStdString();
    EXPECT_EQ(desktop.boxes[0].defaultButton, ui::MessageButtons(ui::MessageButton::No));
    EXPECT_EQ(stockOf("M012"), stockBefore);
    EXPECT_TRUE(records("Doc_in.DB", "Contor", "5").isEmpty());
    EXPECT_TRUE(records("Item_in.DB", "Contor", "5").isEmpty());

    // Receipt 4 brought 60 brioches to lot P250314; none of them is in stock any more.
    const QByteArray before = fileBytes();
    ASSERT_TRUE(receipts->documents().findKey({4.0}));
    desktop.answers = {ui::mrYes};
    receipts->documentsGrid()->setFocus();
    key(Qt::Key_Delete, Qt::ControlModifier);
    settle();
    ASSERT_EQ(desktop.boxes.size(), 3u) << boxes().toStdString();
    EXPECT_EQ(desktop.boxes[2].kind, ui::MessageKind::Warning);
    EXPECT_TRUE(desktop.boxes[2].text.contains("PFP P010")) << boxes().toStdString();
    EXPECT_TRUE(desktop.boxes[2].text.contains("lipsesc 60")) << boxes().toStdString();
    EXPECT_TRUE(fileBytes() == before);
}

// The day's work: the production of 20 sweet breads entered, its requirement from the recipes,
// the consumption document, the stock.
TEST_F(ReceiptWindow, AProductionReceiptGoesThroughItsRequirementToTheStock) {
    host::ReceiptEditor* e = newReceipt();
    header(e, "BPF", "104", "Secţia patiserie");
    startLines(e);
    line({"PFP", "P003", "PF1", "P250401", "20", "14,50", ""});
    key(Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_TRUE(desktop.boxes.empty()) << boxes().toStdString();
    EXPECT_EQ(stockOf("P003"), QStringList{"PF1 PFP P250401 14,5 20"});

    LoadProductionSettings();
    db::Session session;
    session.addAlias(QStringLiteral("KRV_PRIV"), dir.sub(QStringLiteral("privat")));
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {QStringLiteral("PATH=") + companyDir};
    dm.GhostDB.open();
    requirement::buildRequirement(dm, 5);
    QStringList required;
    for (const requirement::RequirementLine& l : requirement::readRequirementLines(dm))
        required << QStringLiteral("%1 %2 %3").arg(l.group, l.code).arg(l.quantity);
    // The recipe of P003 is for a batch of 10: twice its quantities.
    EXPECT_EQ(required, (QStringList{"AMB M051 20", "MPA M010 0.4", "MPA M012 2", "MPA M014 40",
                                     "MPA M015 3", "MPA M016 1", "MPF M001 10", "SF S002 6"}));

    const requirement::GenerationResult r =
        requirement::generateConsumptionDocument(dm, QDate(2025, 4, 1));
    requirement::closeRequirement(dm);
    EXPECT_EQ(r.counter, 2);
    EXPECT_EQ(stockOf("M014"), QStringList{"G01 MPA L250312 0,85 260"});
    EXPECT_EQ(stockOf("S002"), QStringList{"G01 SF P250312 16,5 4"});
    EXPECT_EQ(stockOf("M016"), QStringList{"G01 MPA L250308 38 0,3"})
        << "short: left out, as the user agreed";
    EXPECT_EQ(stockOf("P003"), QStringList{"PF1 PFP P250401 14,5 20"});
    EXPECT_EQ(records("Doc_out.DB", "Contor;Tip;Explicatie", "2 "),
              QStringList{"2 BMC Consum coresp. BPF 104/" +
                          QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))});

    // The receipts window names the document beside the receipt it was written for.
    receipts->refreshData();
    settle();
    host::RecordGrid* grid = receipts->documentsGrid();
    QStringList consumed;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        consumed << grid->model()->index(row, grid->columnOf("Contor")).data().toString() + ":" +
                        grid->model()->index(row, grid->columnOf("Consum")).data().toString();
    EXPECT_EQ(consumed, (QStringList{"1:", "2:", "3:", "4:", "5:2"}));
}

// A picture for a person to look at: the receipt window while a line is being typed, with the
// regional formats of the machine's own locale.
//
//   LANG=ro_RO.UTF-8 LUMBRA_SCREENSHOT_DIR=/tmp test_host --gtest_filter='*ScreenshotWhileTyping*'
TEST_F(ReceiptWindow, ScreenshotWhileTypingALine) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    const base::FormatSettings saved = base::formatSettings();
    base::setFormatSettings(base::FormatSettings::fromSystemLocale());
    host::ReceiptEditor* e = newReceipt();
    header(e, "NIR", "7001", "Moara Dâmboviţa SRL");
    e->explanationEdit()->setFocus();
    keys(QStringLiteral("Făină şi drojdie pentru aprilie"));
    startLines(e);
    line({"MPF", "M001", "G01", "L250401", "100",
          "2" + QString(base::formatSettings().decimalSeparator) + "10", ""});
    key(Qt::Key_Tab); // the group comes from the catalog
    keys(QStringLiteral("M010"));
    key(Qt::Key_Tab);
    keys(QStringLiteral("G01"));
    key(Qt::Key_Tab);
    keys(QStringLiteral("L2503"));
    settle();
    QTest::qWait(300);
    const QString name = QLocale::system().name();
    const bool saved1 = window()->grab().save(
        target + QStringLiteral("/lumbra-host-receipt-entry-%1.png").arg(name));
    base::setFormatSettings(saved);
    desktop.answers = {ui::mrYes};
    ASSERT_TRUE(saved1);
}
