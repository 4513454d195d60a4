// lumbra receipt import on the demo company: a good file posts every receipt with its stock and
// one counter each, as the receipts window's posting does; a file with any refused line, or a
// dry run, leaves the company's database byte for byte as it was.
#include "tests/cli/cli_fixture.h"

#include "host/demo_company.h"
#include "host/receipt_posting.h"
#include "platform/base/format_settings.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/session.h"

namespace clitest {
namespace {

const char kHeader[] = "Tip,Numar,Data,Furnizor,Explicatie,Cod_gestiune,Cod_grupa,Cod_articol,"
                       "Lot,Cantitate,Pret_achizitie_lei,TVA\n";

class ReceiptImportCli : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString demoDir = dir.sub(QStringLiteral("demo"));

    void SetUp() override { ASSERT_TRUE(host::createDemoCompany(demoDir, {})); }

    QString writeFile(const QByteArray& bytes) {
        const QString name = dir.path() + QStringLiteral("/receptii.csv");
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return name;
    }
    CliRun import(const QByteArray& bytes, const QStringList& extra = {}) {
        return runCli(QStringList{QStringLiteral("receipt"), QStringLiteral("import"), demoDir,
                                  writeFile(bytes)} +
                          extra,
                      dir.path());
    }

    // One number from the company on disk.
    double number(const QString& sql) const {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), demoDir);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(sql);
        q.open();
        return q.eof() ? -1 : q.field(0)->asFloat();
    }
    double stockOf(const char* warehouse, const char* article, const char* lot) const {
        return number(QStringLiteral("SELECT TOTAL(Cantitate) FROM \"Stoc.DB\" WHERE "
                                     "Cod_gestiune = '%1' AND Cod_articol = '%2' AND Lot = '%3'")
                          .arg(QString::fromLatin1(warehouse), QString::fromLatin1(article),
                               QString::fromLatin1(lot)));
    }
};

TEST_F(ReceiptImportCli, AGoodFilePostsEveryReceiptAsTheWindowWould) {
    const double counterBefore = number(QStringLiteral("SELECT NewCounterIn FROM COUNTER"));
    const CliRun r = import(
        QByteArray(kHeader) +
        "NIR,5522,17/03/2025,Moara Dâmboviţa SRL,Făină,G01,MPF,M001,L250317,200,2.3,\n"
        "NIR,5522,17/03/2025,Moara Dâmboviţa SRL,Făină,G01,MPF,M002,L250310,20,3.4,6.12\n"
        "\n"
        "BPF,104,17/03/2025,Secţia panificaţie,\"Pâine, schimbul II\",PF1,PF,P001,P250311,40,1.35,"
        "\n");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("2 documente, 3 linii"))) << r.out.toStdString();

    EXPECT_EQ(number(QStringLiteral("SELECT NewCounterIn FROM COUNTER")), counterBefore + 2);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Doc_in")), 6);
    EXPECT_EQ(stockOf("G01", "M001", "L250317"), 200) << "a new stock record";
    EXPECT_EQ(stockOf("G01", "M002", "L250310"), 100) << "80 held and 20 received";
    EXPECT_EQ(stockOf("PF1", "P001", "P250311"), 120) << "80 held and 40 handed over";

    // What the receipts window reads back for the purchase.
    base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), demoDir);
    db::Database database(QStringLiteral("FIRMA"), &session);
    receipts::ReceiptBook book(database);
    const double purchase =
        number(QStringLiteral("SELECT Contor FROM Doc_in WHERE Tip = 'NIR' AND Numar = 5522"));
    const receipts::Receipt shown = book.load(purchase);
    EXPECT_EQ(shown.supplier, QStringLiteral("Moara Dâmboviţa SRL"));
    EXPECT_EQ(shown.explanation, QStringLiteral("Făină"));
    QDate date;
    ASSERT_TRUE(receipts::parseDate(shown.date, date)) << shown.date.toStdString();
    EXPECT_EQ(date, QDate(2025, 3, 17));
    ASSERT_EQ(shown.lines.size(), 2);
    double quantity = 0, price = 0, vat = 0;
    EXPECT_EQ(shown.lines[1].article, QStringLiteral("M002"));
    ASSERT_TRUE(receipts::parseNumber(shown.lines[1].quantity, quantity));
    ASSERT_TRUE(receipts::parseNumber(shown.lines[1].price, price));
    ASSERT_TRUE(receipts::parseNumber(shown.lines[1].vat, vat));
    EXPECT_EQ(quantity, 20);
    EXPECT_EQ(price, 3.4);
    EXPECT_EQ(vat, 6.12);
}

TEST_F(ReceiptImportCli, SemicolonsDecimalCommasAndOnlyTheRequiredColumns) {
    const CliRun r = import("Tip;Numar;Data;Cod_gestiune;Cod_grupa;Cod_articol;Cantitate;"
                            "Pret_achizitie_lei\n"
                            "nir;5523;2025-03-18;G01;MPA;M016;2,5;38\n");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(stockOf("G01", "M016", ""), 2.5);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Doc_in WHERE Tip = 'NIR' AND Numar = "
                                    "5523")),
              1);
}

TEST_F(ReceiptImportCli, DryRunChecksAndWritesNothing) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r =
        import(QByteArray(kHeader) + "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,200,2.3,\n",
               {QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("nu s-a scris nimic"))) << r.out.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

// Each refused kind: status 1, the line and its reason on standard error, nothing written, even
// for the good receipt beside it in the same file.
struct Refused {
    const char* name;
    const char* rows; // after the header
    const char* message;
};
void PrintTo(const Refused& r, std::ostream* os) {
    *os << r.name;
}

class ReceiptImportRefused : public ReceiptImportCli,
                             public ::testing::WithParamInterface<Refused> {};

TEST_P(ReceiptImportRefused, ListsTheLineAndWritesNothing) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r = import(QByteArray(kHeader) + "BPF,105,17/03/2025,,,PF1,PF,P001,P1,10,1.35,\n" +
                            GetParam().rows);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu s-a scris nimic"))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ReceiptImportRefused,
    ::testing::Values(
        Refused{"ArticleNotInTheCatalog", "NIR,5522,17/03/2025,,,G01,MPF,M999,L1,10,2,\n",
                "linia 3: articolul MPF M999 nu este în catalog"},
        Refused{"ZeroQuantity", "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,0,2,\n",
                "linia 3: cantitatea este zero"},
        Refused{"NegativeOnAPurchase", "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,-5,2,\n",
                "linia 3: cantitatea nu poate fi negativă"},
        Refused{"QuantityNotANumber", "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,zece,2,\n",
                "linia 3: cantitatea „zece” nu este un număr"},
        Refused{"DateThatDoesNotExist", "NIR,5522,31/04/2025,,,G01,MPF,M001,L1,10,2,\n",
                "linia 3: NIR 5522: data „31/04/2025” nu există"},
        Refused{"PriceBelowZero", "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,10,-2,\n",
                "linia 3: prețul nu poate fi sub zero"},
        Refused{"TextOutsideTheCodePage", "NIR,5522,17/03/2025,Морозов,,G01,MPF,M001,L1,10,2,\n",
                "nu este în pagina de cod 1250"},
        Refused{"NumberAlreadyPosted", "NIR,5521,17/03/2025,,,G01,MPF,M001,L1,10,2,\n",
                "linia 3: NIR 5521: există deja un document NIR cu numărul 5521"},
        Refused{"UnknownType", "NIT,5522,17/03/2025,,,G01,MPF,M001,L1,10,2,\n",
                "tipul documentului trebuie să fie NIR"},
        Refused{"HeaderDiffersBetweenLinesOfAReceipt",
                "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,10,2,\n"
                "NIR,5522,18/03/2025,,,G01,MPF,M002,L1,10,2,\n",
                "linia 4: Data «18/03/2025» diferă de cea a documentului NIR 5522 de pe linia 3"},
        Refused{"ProductionReturnLargerThanItsStock",
                "BPF,106,17/03/2025,,,PF1,PF,P001,P250311,-100,1.35,\n",
                "în stoc sunt 80, lipsesc 20"},
        Refused{"MoreFieldsThanTheHeader", "NIR,5522,17/03/2025,,,G01,MPF,M001,L1,10,2,,x\n",
                "linia 3: are mai multe câmpuri"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file the command cannot read as receipts is refused before anything is tried.
struct BadFile {
    const char* name;
    QByteArray bytes;
    const char* message;
};
void PrintTo(const BadFile& b, std::ostream* os) {
    *os << b.name;
}

class ReceiptImportBadFile : public ReceiptImportCli,
                             public ::testing::WithParamInterface<BadFile> {};

TEST_P(ReceiptImportBadFile, IsRefusedWithStatus1) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r = import(GetParam().bytes);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ReceiptImportBadFile,
    ::testing::Values(
        BadFile{"Empty", "", "Fișierul este gol"},
        BadFile{"HeaderOnly", kHeader, "nu are nicio linie"},
        BadFile{"MissingColumn", "Tip,Numar,Data,Cod_gestiune,Cod_grupa,Cantitate\n",
                "nu are coloanele Cod_articol, Pret_achizitie_lei"},
        BadFile{"UnknownColumn",
                "Tip,Numar,Data,Cod_gestiune,Cod_grupa,Cod_articol,Cantitate,Pret,Pret_"
                "achizitie_lei\n",
                "coloana necunoscută «Pret»"},
        BadFile{"NotUtf8",
                QByteArray(kHeader) + "NIR,1,17/03/2025,F\xe3in\xe3,,G01,MPF,M001,L,1,1,\n",
                "nu este text UTF-8"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace clitest
