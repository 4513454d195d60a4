// lumbra reverse and lumbra variances: a consumption document undone, with the stock exactly as
// before it, refusals that change nothing, and the material variances of a small company
// against a hand computation.
#include "tests/cli/cli_fixture.h"

#include "data/qdm_data_module.h"
#include "host/demo_company.h"
#include "platform/db/query.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "settings/production_settings.h"
#include "tests/support/company_settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace clitest {
namespace {

// Every row of a table in key order, every field as text.
QStringList tableRows(const QString& company, const QString& table, const QString& order) {
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

const QString kStockOrder =
    QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie");

class ReverseCli : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString demoDir = dir.sub(QStringLiteral("demo"));

    void SetUp() override { ASSERT_TRUE(host::createDemoCompany(demoDir, {})); }
    CliRun run(const QStringList& args) { return runCli(args, dir.path()); }
    CliRun reverse(const QString& counter) {
        return run({QStringLiteral("reverse"), demoDir, counter, QStringLiteral("--date"),
                    QStringLiteral("16/03/2025")});
    }
    // Consumes the demo's receipt 2 on 15 March; answers the new document's counter (empty when
    // the command failed, which the test is told of).
    QString consumeReceiptTwo() {
        const CliRun consumed = run({QStringLiteral("consume"), demoDir, QStringLiteral("2"),
                                     QStringLiteral("--date"), QStringLiteral("15/03/2025")});
        EXPECT_EQ(consumed.status, 0) << consumed.err.toStdString();
        if (consumed.status != 0)
            return QString();
        return tableRows(demoDir, QStringLiteral("Doc_out.DB"), QStringLiteral("Contor"))
            .last()
            .section(QLatin1Char('|'), 0, 0);
    }
};

TEST_F(ReverseCli, UndoesTheDocumentAndTheStockIsAsBeforeIt) {
    const QStringList stockBefore = tableRows(demoDir, QStringLiteral("Stoc.DB"), kStockOrder);
    const CliRun consumed = run({QStringLiteral("consume"), demoDir, QStringLiteral("2"),
                                 QStringLiteral("--date"), QStringLiteral("15/03/2025")});
    ASSERT_EQ(consumed.status, 0) << consumed.err.toStdString();
    ASSERT_NE(tableRows(demoDir, QStringLiteral("Stoc.DB"), kStockOrder), stockBefore);
    const QStringList documents =
        tableRows(demoDir, QStringLiteral("Doc_out.DB"), QStringLiteral("Contor"));
    ASSERT_FALSE(documents.isEmpty());
    const QString counter = documents.last().section(QLatin1Char('|'), 0, 0);

    const CliRun r = reverse(counter);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("a fost stornat prin documentul BMC cu contorul")))
        << r.out.toStdString();
    EXPECT_EQ(tableRows(demoDir, QStringLiteral("Stoc.DB"), kStockOrder), stockBefore);
    const QStringList after =
        tableRows(demoDir, QStringLiteral("Doc_out.DB"), QStringLiteral("Contor"));
    ASSERT_EQ(after.size(), documents.size() + 1);
    EXPECT_TRUE(after.last().contains(QStringLiteral("Stornare BMC")))
        << after.last().toStdString();
}

struct RefusedReverse {
    const char* name;
    const char* counter;
    const char* message;
};

class ReverseRefused : public ReverseCli, public ::testing::WithParamInterface<RefusedReverse> {};

TEST_P(ReverseRefused, ExitsOneAndWritesNothing) {
    // Document 1: consumed and reversed (document 2).
    const QString first = consumeReceiptTwo();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_EQ(reverse(first).status, 0);
    const QByteArray before = databaseBytes(demoDir);
    const QString counter =
        QString::fromLatin1(GetParam().counter)
            .replace(QStringLiteral("FIRST"), first)
            .replace(QStringLiteral("NEXT"), QString::number(first.toInt() + 1));
    const CliRun r = reverse(counter);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ReverseRefused,
    ::testing::Values(RefusedReverse{"Missing", "9999", "nu există"},
                      RefusedReverse{"NotANumber", "abc", "nu este un număr întreg"},
                      RefusedReverse{"ReversedAlready", "FIRST", "deja stornat"},
                      RefusedReverse{"AReversal", "NEXT", "este el însuși o stornare"}),
    [](const auto& info) { return std::string(info.param.name); });

// A reversal dated before the document it reverses is a slip of the keyboard unless said so.
TEST_F(ReverseCli, AnEarlierDateIsRefusedUnlessAllowed) {
    const QString first = consumeReceiptTwo();
    ASSERT_FALSE(first.isEmpty());
    const QByteArray before = databaseBytes(demoDir);
    const QStringList earlier{QStringLiteral("reverse"), demoDir, first, QStringLiteral("--date"),
                              QStringLiteral("1/3/2025")};
    const CliRun refused = run(earlier);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(
        refused.err.contains(QStringLiteral("înaintea datei bonului de consum, 15.03.2025")))
        << refused.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
    const CliRun allowed = run(earlier + QStringList{QStringLiteral("--allow-earlier")});
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_TRUE(allowed.out.contains(QStringLiteral("din 01.03.2025")))
        << allowed.out.toStdString();
}

// A small company: receipt 7 of 13 PF01, made by the batch of 10 from 1 of M100 and 2 of M200.
// Document A (02/04/2024): the user raised M100 to 2, removed M200 and added 5 of M300.
// Document B (10/04/2024): as the recipes ask. Worked out by hand, over both:
//   M300: recipe 0, issued 5 at 4          -> +5,   worth 20,   no percent
//   M200: recipe 5.2, issued 2.6 at 1      -> -2.6, worth -2.6, -50 %
//   M100: recipe 2.6, issued 3.3 at 2.5    -> +0.7, worth 1.75, 26.923 %
class VariancesCli : public CliFixture {
protected:
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override {
        ASSERT_TRUE(testsupport::writeProductionSettings(companyDir));
        company->counter(41).article("PF", "PF01", "Produs", 10);
        for (const char* code : {"M100", "M200", "M300"})
            company->article("MAT", code);
        company->recipe("PF01", "MAT", "M100", 1).recipe("PF01", "MAT", "M200", 2);
        company->receipt(7, 15, "A1", {2024, 3, 12}).receiptLine(7, 1, "PF", "PF01", 13);
        company->stock("G1", "MAT", "M100", "L1", 2.5, 10)
            .stock("G1", "MAT", "M200", "L1", 1, 10)
            .stock("G1", "MAT", "M300", "L1", 4, 10);
        registry.emplace(dir.sub(QStringLiteral("registru")), companyDir);
        IndGest = 'G';
        IndCod = 'M';
        IndSemi = 'S';
        db::Session session;
        session.addAlias(QStringLiteral("KRV_PRIV"), dir.sub(QStringLiteral("privat")));
        TQDMDataModule dm(&session);
        dm.GhostDB.params() = {QStringLiteral("PATH=") + companyDir};
        requirement::buildRequirement(dm, 7);
        ASSERT_TRUE(dm.TempTable.findKey({QStringLiteral("MAT"), QStringLiteral("M100")}));
        dm.TempTable.edit();
        dm.TempTableCant->setAsFloat(2);
        dm.TempTable.post();
        ASSERT_TRUE(dm.TempTable.findKey({QStringLiteral("MAT"), QStringLiteral("M200")}));
        dm.TempTable.remove();
        dm.TempTable.append();
        dm.TempTableCod_grupa->setAsString("MAT");
        dm.TempTableCod_MatPrim->setAsString("M300");
        dm.TempTableCant->setAsFloat(5);
        dm.TempTable.post();
        requirement::generateConsumptionDocument(dm, {2024, 4, 2});
        requirement::closeRequirement(dm);
        requirement::buildRequirement(dm, 7);
        requirement::generateConsumptionDocument(dm, {2024, 4, 10});
        requirement::closeRequirement(dm);
    }

    void TearDown() override {
        registry.reset();
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
    }
};

TEST_F(VariancesCli, JsonMatchesTheHandComputation) {
    const CliRun r = run({QStringLiteral("variances"), companyDir, QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 3) << r.out.toStdString();
    struct Want {
        const char* code;
        double recipe, issued, quantity, value, percent; // percent < -1000: none
    };
    const Want want[] = {{"M300", 0, 5, 5, 20, -9999},
                         {"M200", 5.2, 2.6, -2.6, -2.6, -50},
                         {"M100", 2.6, 3.3, 0.7, 1.75, 0.7 / 2.6 * 100}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject o = rows[i].toObject();
        EXPECT_EQ(o.value(QStringLiteral("cod")).toString(), QString::fromLatin1(want[i].code));
        EXPECT_NEAR(o.value(QStringLiteral("reteta")).toDouble(), want[i].recipe, 1e-9);
        EXPECT_NEAR(o.value(QStringLiteral("eliberat")).toDouble(), want[i].issued, 1e-9);
        EXPECT_NEAR(o.value(QStringLiteral("abatere")).toDouble(), want[i].quantity, 1e-9);
        EXPECT_NEAR(o.value(QStringLiteral("valoare")).toDouble(), want[i].value, 1e-9);
        if (want[i].percent < -1000)
            EXPECT_EQ(o.value(QStringLiteral("procent")).toString(), "-");
        else
            EXPECT_NEAR(o.value(QStringLiteral("procent")).toDouble(), want[i].percent, 1e-9);
    }
}

TEST_F(VariancesCli, APeriodAndCsv) {
    const CliRun r = run({QStringLiteral("variances"), companyDir, QStringLiteral("--from"),
                          QStringLiteral("05/04/2024"), QStringLiteral("--to"),
                          QStringLiteral("30/04/2024"), QStringLiteral("--csv")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("grupa,cod,reteta"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("MAT,M100,1.3,1.3,1.3,0,0,0")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("MAT,M200,2.6,2.6,2.6,0,0,0")))
        << lines[2].toStdString();
}

struct RefusedVariances {
    const char* name;
    QStringList args;
    const char* message;
};

class VariancesRefused : public VariancesCli,
                         public ::testing::WithParamInterface<RefusedVariances> {};

TEST_P(VariancesRefused, ExitOne) {
    const CliRun r = run(QStringList{QStringLiteral("variances"), companyDir} + GetParam().args);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariancesRefused,
    ::testing::Values(
        RefusedVariances{"BadDate", {"--from", "31/02/2024"}, "nu este o dată validă"},
        RefusedVariances{
            "EndBeforeStart", {"--from", "10/04/2024", "--to", "01/04/2024"}, "înainte să înceapă"},
        RefusedVariances{"TwoFormats", {"--csv", "--json"}, "Alegeți fie --csv, fie --json"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace clitest
