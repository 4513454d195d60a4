// The exit status and the message of each kind of failure: refused input, a text the engine
// cannot convert, a data rule's silent abort, an ordinary database error and a damaged database,
// with the company on disk and, in the server pass, on the test server. Whatever the failure,
// the company is left as it was.
#include "tests/cli/cli_fixture.h"

#include "cli/batch_company.h"
#include "cli/commands.h"
#include "cli/receipt_requirement.h"
#include "data/qdm_data_module.h"
#include "platform/db/connection.h"
#include "platform/db/table.h"
#include "tests/support/test_server.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextStream>

#include <functional>

namespace clitest {
namespace {

class ExitStatusFixture : public CliFixture {
protected:
    // The company the commands are given: companyDir on disk, or in the server pass a directory
    // whose tables are in a schema of the test server.
    QString target = companyDir;

    void SetUp() override {
        if (testsupport::onServer()) {
            target = dir.sub(QStringLiteral("firma-server"));
            const QString schema = QStringLiteral("x%1_%2")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(QRandomGenerator::global()->bounded(1000000));
            QFile location(target + QLatin1Char('/') +
                           QString::fromLatin1(db::kServerLocationFile));
            ASSERT_TRUE(location.open(QIODevice::WriteOnly));
            location.write(testsupport::serverLocation(schema).toUtf8());
            location.close();
            company = makeCompany(target);
        }
        company->article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
            .article(QStringLiteral("MAT"), QStringLiteral("M1"), QStringLiteral("Făină"))
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M1"), 2)
            .stock(QStringLiteral("G01"), QStringLiteral("MAT"), QStringLiteral("M1"),
                   QStringLiteral("L1"), 1.5, 100)
            .receipt(7, 15, QStringLiteral("A1"), {2025, 3, 14})
            .receiptLine(7, 1, QStringLiteral("PF"), QStringLiteral("P1"), 20)
            .counter(40);
    }

    // What a failed command could have touched, read as another user reads it; a table that is
    // not there reads as such.
    QStringList contents() {
        static const char* const kReads[] = {
            "SELECT Grupa, Cod, Denumire, CantReteta FROM Catalog ORDER BY Grupa, Cod",
            "SELECT Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim FROM Reteta ORDER BY Cod, "
            "Cod_MatPrim",
            "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, Cantitate FROM Stoc ORDER BY "
            "Cod_gestiune, Cod_grupa, Cod_articol, Lot",
            "SELECT NewCounterOut FROM Counter",
            "SELECT Contor, Numar FROM Doc_out ORDER BY Contor",
            "SELECT Contor, Contor_secundar, Cantitate FROM Item_out ORDER BY Contor, "
            "Contor_secundar"};
        QStringList out;
        db::Connection& c = company->database().connection();
        for (const char* sql : kReads) {
            const QString table = QString::fromLatin1(sql)
                                      .section(QStringLiteral(" FROM "), 1, 1)
                                      .section(QLatin1Char(' '), 0, 0);
            if (!company->database().tableExists(table)) {
                out << table + QStringLiteral(": lipsește");
                continue;
            }
            auto s = c.prepare(QString::fromLatin1(sql));
            db::StatementUse use(*s);
            while (s->step()) {
                QStringList row;
                for (int i = 0; i < s->columnCount(); ++i)
                    row << s->columnRaw(i).toString();
                out << table + QStringLiteral(": ") + row.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    QStringList withTarget(const QStringList& args) {
        QStringList out = args;
        out.replace(out.indexOf(QStringLiteral("FIRMA")), target);
        return out;
    }
};

// ---- the program run as a script runs it ----

enum class Prepare { Nothing, DropDocOut, DropStock, Damage, UnreachableServer };

struct RunCase {
    const char* name;
    Prepare prepare;
    const char* args;
    int status;
    const char* message;
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class CliExitStatus : public ExitStatusFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(CliExitStatus, NamesTheKindOfFailureAndChangesNothing) {
    const RunCase& c = GetParam();
    switch (c.prepare) {
    case Prepare::Nothing:
        break;
    case Prepare::DropDocOut:
        company->database().deleteTable(QStringLiteral("Doc_out.DB"));
        break;
    case Prepare::DropStock:
        company->database().deleteTable(QStringLiteral("Stoc.DB"));
        break;
    case Prepare::Damage: {
        if (testsupport::onServer())
            GTEST_SKIP() << "a database file on disk";
        company.reset();
        QFile db(companyDir + QStringLiteral("/tables.sqlite"));
        ASSERT_TRUE(db.open(QIODevice::ReadWrite));
        db.write(QByteArray(24, '\x7F'));
        db.close();
        break;
    }
    case Prepare::UnreachableServer: {
        // Port 1 on the loopback: nothing listens there, the connection is refused at once.
        target = dir.sub(QStringLiteral("firma-departe"));
        QFile location(target + QLatin1Char('/') + QString::fromLatin1(db::kServerLocationFile));
        ASSERT_TRUE(location.open(QIODevice::WriteOnly));
        location.write("postgres:host=127.0.0.1 port=1 dbname=firma schema=departe\n");
        location.close();
        break;
    }
    }
    const QStringList before = company ? contents() : QStringList();
    const QByteArray bytes = databaseBytes(companyDir);

    const CliRun r = run(withTarget(QString::fromLatin1(c.args).split(QLatin1Char(' '))));
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    if (company) {
        EXPECT_EQ(contents(), before);
    }
    EXPECT_EQ(databaseBytes(companyDir), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CliExitStatus,
    ::testing::Values(RunCase{"RefusedUnknownReceipt", Prepare::Nothing,
                              "consume FIRMA 99 --date 15/03/2025", 1, "nu există"},
                      RunCase{"RefusedDateBeforeTheReceipt", Prepare::Nothing,
                              "consume FIRMA 7 --date 01/01/2020", 1, "înaintea datei recepției"},
                      RunCase{"RefusedCounterNotANumber", Prepare::Nothing, "requirement FIRMA 7,5",
                              1, "număr întreg"},
                      RunCase{"DatabaseErrorWhileWriting", Prepare::DropDocOut,
                              "consume FIRMA 7 --date 15/03/2025", 2, "Nu s-a scris nimic."},
                      RunCase{"DatabaseErrorWhileReading", Prepare::DropStock,
                              "requirement FIRMA 7", 2, "Eroare de bază de date"},
                      RunCase{"DatabaseErrorServerUnreachable", Prepare::UnreachableServer,
                              "requirement FIRMA 7", 2, "Eroare de bază de date"},
                      RunCase{"DamagedWhileWriting", Prepare::Damage,
                              "consume FIRMA 7 --date 15/03/2025", 2, "este deteriorată"},
                      RunCase{"DamagedWhileReading", Prepare::Damage, "requirement FIRMA 7", 2,
                              "este deteriorată"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the failures the engine and the data rules raise, as every command ends them ----

struct RaisedCase {
    const char* name;
    std::function<void(cli::BatchCompany&)> work;
    int status;
    const char* message;
};

void PrintTo(const RaisedCase& c, std::ostream* os) {
    *os << c.name;
}

class CliFailureKind : public ExitStatusFixture,
                       public ::testing::WithParamInterface<RaisedCase> {};

TEST_P(CliFailureKind, EndsWithItsStatusAndChangesNothing) {
    const QStringList before = contents();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    cli::Console console{out, err};
    const int status = cli::guarded(console, [&] {
        cli::BatchCompany batch(target);
        GetParam().work(batch);
        return 0;
    });
    err.flush();
    EXPECT_EQ(status, GetParam().status) << errText.toStdString();
    EXPECT_TRUE(errText.contains(QString::fromUtf8(GetParam().message))) << errText.toStdString();
    EXPECT_EQ(contents(), before);
}

// The product's catalog record, open for a change.
void editProduct(TQDMDataModule& dm) {
    dm.CatalogTable.open();
    ASSERT_TRUE(dm.CatalogTable.locate(QStringLiteral("Cod"), {QStringLiteral("P1")}));
    dm.CatalogTable.edit();
}

// A new recipe line of the product, its group given.
void newRecipeLine(TQDMDataModule& dm, const QString& group) {
    dm.CatalogTable.open();
    dm.CatalogTable2.open();
    dm.RetetaTable.open();
    ASSERT_TRUE(dm.CatalogTable.locate(QStringLiteral("Cod"), {QStringLiteral("P1")}));
    dm.RetetaTable.append();
    dm.RetetaTableCod_Grupa->setAsString(group);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CliFailureKind,
    ::testing::Values(RaisedCase{"RefusedInput",
                                 [](cli::BatchCompany& c) { cli::buildReceiptRequirement(c, 99); },
                                 1, "nu există"},
                      RaisedCase{"ConversionTextOutsideTheCodePage",
                                 [](cli::BatchCompany& c) {
                                     editProduct(c.dataModule());
                                     c.dataModule()
                                         .CatalogTable.fieldByName(QStringLiteral("Denumire"))
                                         ->setAsString(QStringLiteral("Pâine \u4e2d"));
                                 },
                                 1, "Denumire"},
                      RaisedCase{"ConversionTextTooLong",
                                 [](cli::BatchCompany& c) {
                                     editProduct(c.dataModule());
                                     c.dataModule()
                                         .CatalogTable.fieldByName(QStringLiteral("Grupa"))
                                         ->setAsString(QStringLiteral("GRUPALUNGA"));
                                 },
                                 1, "Grupa"},
                      RaisedCase{"RuleAbortMaterialNotInTheCatalog",
                                 [](cli::BatchCompany& c) {
                                     newRecipeLine(c.dataModule(), QStringLiteral("MAT"));
                                     c.dataModule().RetetaTableCod_MatPrim->setAsString(
                                         QStringLiteral("M9"));
                                 },
                                 1, "Operația a fost oprită de o regulă a datelor."},
                      RaisedCase{"RuleAbortIncompleteLine",
                                 [](cli::BatchCompany& c) {
                                     newRecipeLine(c.dataModule(), QStringLiteral("MAT"));
                                     c.dataModule().RetetaTableCod_MatPrim->setAsString(
                                         QStringLiteral("M1"));
                                     c.dataModule().RetetaTable.post(); // no quantity
                                 },
                                 1, "Operația a fost oprită de o regulă a datelor."},
                      RaisedCase{"DatabaseErrorDuplicateKey",
                                 [](cli::BatchCompany& c) {
                                     TQDMDataModule& dm = c.dataModule();
                                     dm.CatalogTable.open();
                                     dm.CatalogTable.append();
                                     dm.CatalogTable.fieldByName(QStringLiteral("Grupa"))
                                         ->setAsString(QStringLiteral("PF"));
                                     dm.CatalogTable.fieldByName(QStringLiteral("Cod"))
                                         ->setAsString(QStringLiteral("P1"));
                                     dm.CatalogTable.post();
                                 },
                                 2, "Nu s-a scris nimic."},
                      RaisedCase{"DatabaseErrorMissingTable",
                                 [](cli::BatchCompany& c) {
                                     db::Table missing(QStringLiteral("Lipsa"));
                                     missing.setSession(&c.session());
                                     missing.setDatabaseName(QStringLiteral("KRVPROD"));
                                     missing.setTableName(QStringLiteral("Lipsa.DB"));
                                     missing.open();
                                 },
                                 2, "Eroare de bază de date"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace clitest
