// lumbra requirement and lumbra consume on the demo company: the numbers and the document are
// those of the requirement sheet's own code, and a refused consumption changes nothing.
#include "tests/cli/cli_fixture.h"

#include "data/qdm_data_module.h"
#include "host/demo_company.h"
#include "platform/base/format_settings.h"
#include "platform/db/query.h"
#include "platform/store/ini_file.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "tests/support/company_settings.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <optional>

namespace clitest {
namespace {

class RequirementCli : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString demoDir = dir.sub(QStringLiteral("demo"));
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override { ASSERT_TRUE(host::createDemoCompany(demoDir, {})); }
    void TearDown() override { registry.reset(); }

    CliRun run(const QStringList& args) { return runCli(args, dir.path()); }

    // A copy of the demo company, for a second road to the same result.
    QString copyOfDemo(const QString& name) {
        const QString target = dir.sub(name);
        for (const QString& file : QDir(demoDir).entryList(QDir::Files))
            EXPECT_TRUE(
                QFile::copy(demoDir + QLatin1Char('/') + file, target + QLatin1Char('/') + file));
        return target;
    }

    // The production data module over a company, as the module sees it in the host.
    struct InProcess {
        db::Session session;
        std::unique_ptr<TQDMDataModule> dm;
    };
    std::unique_ptr<InProcess> openInProcess(const QString& company) {
        registry.emplace(dir.sub(QStringLiteral("registru")), company);
        auto p = std::make_unique<InProcess>();
        p->session.addAlias(QStringLiteral("KRV_PRIV"), dir.sub(QStringLiteral("privat")));
        p->dm = std::make_unique<TQDMDataModule>(&p->session);
        p->dm->GhostDB.params() = {QStringLiteral("PATH=") + company};
        p->dm->GhostDB.open();
        return p;
    }

    // Every row of a table, in its primary order, as text.
    static QStringList rows(const QString& company, const QString& table, const QString& order) {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), company);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, order));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) {
            QStringList fields;
            for (int i = 0; i < q.fieldCount(); ++i)
                fields << q.field(i)->asString();
            out << fields.join(QLatin1Char('|'));
        }
        return out;
    }
};

class RequirementOfEachDemoReceipt : public RequirementCli,
                                     public ::testing::WithParamInterface<int> {};

TEST_P(RequirementOfEachDemoReceipt, EqualsWhatTheSheetComputes) {
    const CliRun r = run({QStringLiteral("requirement"), demoDir, QString::number(GetParam()),
                          QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray printed =
        QJsonDocument::fromJson(r.out.toUtf8()).object().value(QStringLiteral("linii")).toArray();

    auto p = openInProcess(demoDir);
    requirement::buildRequirement(*p->dm, GetParam());
    const QList<requirement::RequirementLine> lines = requirement::readRequirementLines(*p->dm);
    requirement::closeRequirement(*p->dm);

    ASSERT_EQ(printed.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QJsonObject o = printed[i].toObject();
        EXPECT_EQ(o.value(QStringLiteral("grupa")).toString(), lines[i].group);
        EXPECT_EQ(o.value(QStringLiteral("cod")).toString(), lines[i].code);
        EXPECT_EQ(o.value(QStringLiteral("denumire")).toString(), lines[i].name);
        EXPECT_EQ(o.value(QStringLiteral("cantitate")).toDouble(), lines[i].quantity);
        EXPECT_EQ(o.value(QStringLiteral("stoc_existent")).toDouble(), lines[i].stockOnHand);
        EXPECT_EQ(o.value(QStringLiteral("stoc_final")).toDouble(), lines[i].finalStock);
        EXPECT_EQ(o.value(QStringLiteral("negativ")).toBool(), lines[i].finalStock < 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, RequirementOfEachDemoReceipt, ::testing::Values(1, 2, 3, 4),
                         [](const auto& info) { return "Receipt" + std::to_string(info.param); });

TEST_F(RequirementCli, TheTableForAPersonMarksNegativeLinesAndNamesProductsLeftOut) {
    const CliRun shortOfButter = run({QStringLiteral("requirement"), demoDir, QStringLiteral("3")});
    ASSERT_EQ(shortOfButter.status, 0) << shortOfButter.err.toStdString();
    EXPECT_TRUE(shortOfButter.out.contains(QStringLiteral("Unt 82%")))
        << shortOfButter.out.toStdString();
    EXPECT_TRUE(shortOfButter.out.contains(QStringLiteral("stocuri negative")))
        << shortOfButter.out.toStdString();

    const CliRun withoutRecipe = run({QStringLiteral("requirement"), demoDir, QStringLiteral("4")});
    ASSERT_EQ(withoutRecipe.status, 0) << withoutRecipe.err.toStdString();
    EXPECT_TRUE(withoutRecipe.out.contains(QStringLiteral("Produse fără necesar:")))
        << withoutRecipe.out.toStdString();
    EXPECT_TRUE(withoutRecipe.out.contains(QStringLiteral("P010")))
        << withoutRecipe.out.toStdString();
}

TEST_F(RequirementCli, AnUnknownReceiptIsRefused) {
    const CliRun r = run({QStringLiteral("requirement"), demoDir, QStringLiteral("99")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Contor 99 nu există"))) << r.err.toStdString();
}

TEST_F(RequirementCli, ConsumeWritesTheDocumentTheSheetsGenerationWrites) {
    const QString byCommand = copyOfDemo(QStringLiteral("a"));
    const QString byWindowCode = copyOfDemo(QStringLiteral("b"));
    const CliRun r = run({QStringLiteral("consume"), byCommand, QStringLiteral("2"),
                          QStringLiteral("--date"), QStringLiteral("15/03/2025")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Documentul de consum generat: BMC")))
        << r.out.toStdString();

    base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
    auto p = openInProcess(byWindowCode);
    requirement::buildRequirement(*p->dm, 2);
    const requirement::GenerationResult result =
        requirement::generateConsumptionDocument(*p->dm, QDate(2025, 3, 15));
    requirement::closeRequirement(*p->dm);
    p.reset();

    EXPECT_GT(result.lineCount, 0);
    EXPECT_EQ(rows(byCommand, QStringLiteral("Doc_out.DB"), QStringLiteral("Contor")),
              rows(byWindowCode, QStringLiteral("Doc_out.DB"), QStringLiteral("Contor")));
    EXPECT_EQ(
        rows(byCommand, QStringLiteral("Item_out.DB"), QStringLiteral("Contor, Contor_secundar")),
        rows(byWindowCode, QStringLiteral("Item_out.DB"),
             QStringLiteral("Contor, Contor_secundar")));
    EXPECT_EQ(rows(byCommand, QStringLiteral("Stoc.DB"), QStringLiteral("rowid")),
              rows(byWindowCode, QStringLiteral("Stoc.DB"), QStringLiteral("rowid")));
    EXPECT_EQ(rows(byCommand, QStringLiteral("COUNTER.DB"), QStringLiteral("rowid")),
              rows(byWindowCode, QStringLiteral("COUNTER.DB"), QStringLiteral("rowid")));
}

// Every way a consumption is refused leaves the company's database as it was, byte for byte.
struct RefusedConsume {
    const char* name;
    QStringList args; // after the company directory
    const char* message;
};

class ConsumeRefused : public RequirementCli,
                       public ::testing::WithParamInterface<RefusedConsume> {};

TEST_P(ConsumeRefused, WritesNothing) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r = run(QStringList{QStringLiteral("consume"), demoDir} + GetParam().args);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ConsumeRefused,
    ::testing::Values(
        RefusedConsume{"NegativeStockWithoutSkip", {"3", "--date", "15/03/2025"}, "M016"},
        RefusedConsume{"ImpossibleDate", {"2", "--date", "31/04/2025"}, "nu este o dată validă"},
        RefusedConsume{"DateNotADate", {"2", "--date", "mâine"}, "nu este o dată validă"},
        RefusedConsume{"MissingDate", {"2"}, "Lipsește data"},
        RefusedConsume{"UnknownReceipt", {"99", "--date", "15/03/2025"}, "nu există"},
        RefusedConsume{
            "ReceiptWithoutRequirement", {"4", "--date", "15/03/2025"}, "nu are necesar"},
        RefusedConsume{"DateBeforeTheReceipts", {"2", "--date", "01/01/1900"}, "înaintea datei"},
        RefusedConsume{"DayBeforeTheReceipts", {"2", "--date", "12/03/2025"}, "--allow-earlier"}),
    [](const auto& info) { return std::string(info.param.name); });

// A second document for one receipt takes its materials out of the stock a second time.
TEST_F(RequirementCli, ASecondDocumentForTheSameReceiptOnlyWithAgain) {
    const QStringList consume{QStringLiteral("consume"), demoDir, QStringLiteral("2"),
                              QStringLiteral("--date"), QStringLiteral("15/03/2025")};
    const CliRun first = run(consume);
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const QByteArray afterFirst = databaseBytes(demoDir);

    for (const QString& extra : {QString(), QStringLiteral("--dry-run")}) {
        const CliRun again = run(extra.isEmpty() ? consume : consume + QStringList{extra});
        EXPECT_EQ(again.status, 1) << again.out.toStdString();
        EXPECT_TRUE(again.err.contains(QStringLiteral("există deja bonul de consum contor")))
            << again.err.toStdString();
        EXPECT_TRUE(again.err.contains(QStringLiteral("15.03.2025"))) << again.err.toStdString();
        EXPECT_EQ(databaseBytes(demoDir), afterFirst);
    }
    // What the first took leaves the filling short the second time.
    const CliRun second =
        run(consume + QStringList{QStringLiteral("--again"), QStringLiteral("--skip-negative")});
    EXPECT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_EQ(rows(demoDir, QStringLiteral("Consum.DB"), QStringLiteral("Contor_iesire")).size(), 2)
        << "two documents registered against the receipt";
}

TEST_F(RequirementCli, AnEarlierDateOnlyWithAllowEarlier) {
    const CliRun r =
        run({QStringLiteral("consume"), demoDir, QStringLiteral("2"), QStringLiteral("--date"),
             QStringLiteral("01/03/2025"), QStringLiteral("--allow-earlier")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("din 01.03.2025"))) << r.out.toStdString();
}

TEST_F(RequirementCli, DryRunShowsTheDocumentAndWritesNothing) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r =
        run({QStringLiteral("consume"), demoDir, QStringLiteral("2"), QStringLiteral("--date"),
             QStringLiteral("15/03/2025"), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("nu s-a scris nimic"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Pret achizitie"))) << r.out.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

TEST_F(RequirementCli, SkipNegativeLeavesTheShortMaterialOutAndSaysSo) {
    const CliRun r = run({QStringLiteral("consume"), demoDir, QStringLiteral("3"),
                          QStringLiteral("--date"), QStringLiteral("15/03/2025"),
                          QStringLiteral("--skip-negative"), QStringLiteral("--csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("M016"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("M016"))) << r.err.toStdString();
    // In the words the requirement sheet uses for a material it leaves out.
    EXPECT_TRUE(r.err.contains(
        QRegularExpression(QStringLiteral(" M016: [0-9.,]+ \\(stoc final negativ\\)\n"))))
        << r.err.toStdString();
    EXPECT_TRUE(rows(demoDir, QStringLiteral("Item_out.DB"), QStringLiteral("Contor")).size() > 0);
}

// The dry run prints the allocation plan; the consumption then writes exactly those lines.
TEST_F(RequirementCli, DryRunPlanIsWhatTheConsumptionWrites) {
    const QStringList consume{QStringLiteral("consume"),    demoDir,
                              QStringLiteral("2"),          QStringLiteral("--date"),
                              QStringLiteral("15/03/2025"), QStringLiteral("--csv")};
    const CliRun planned = run(consume + QStringList{QStringLiteral("--dry-run")});
    ASSERT_EQ(planned.status, 0) << planned.err.toStdString();
    const CliRun written = run(consume);
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_GT(planned.out.count(QLatin1Char('\n')), 2) << planned.out.toStdString();
    EXPECT_EQ(planned.out, written.out);
    EXPECT_EQ(planned.err, written.err);
}

// Switched on in the company's settings, the sweet bread's filling S002 gives way to its own
// materials (M017 and M019 come only through it).
TEST_F(RequirementCli, SemiFinishedDescentFollowsTheCompanysSettings) {
    const QStringList requirement{QStringLiteral("requirement"), demoDir, QStringLiteral("3"),
                                  QStringLiteral("--csv")};
    const CliRun off = run(requirement);
    ASSERT_EQ(off.status, 0) << off.err.toStdString();
    EXPECT_TRUE(off.out.contains(QStringLiteral("S002"))) << off.out.toStdString();
    EXPECT_FALSE(off.out.contains(QStringLiteral("M017"))) << off.out.toStdString();

    store::writeIniString(demoDir + QStringLiteral("/KRVDEF.INI"), QStringLiteral("Productie"),
                          QStringLiteral("SemiPrinReteta"), QStringLiteral("1"));
    const CliRun on = run(requirement);
    ASSERT_EQ(on.status, 0) << on.err.toStdString();
    EXPECT_FALSE(on.out.contains(QStringLiteral("S002"))) << on.out.toStdString();
    EXPECT_TRUE(on.out.contains(QStringLiteral("M017"))) << on.out.toStdString();
    EXPECT_TRUE(on.out.contains(QStringLiteral("M019"))) << on.out.toStdString();
}

} // namespace
} // namespace clitest
