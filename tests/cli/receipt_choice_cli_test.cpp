// The commands that take a goods receipt find it by the number a person reads on the paper
// (--number, with --type where the number is shared) as well as by its counter.
#include "tests/cli/cli_fixture.h"

#include "host/demo_company.h"
#include "platform/db/query.h"
#include "platform/db/session.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace clitest {
namespace {

// The demo's receipts (5521 NIR, 101-103 BPF) and, added here, an NIR that shares number 102
// with a production receipt and two production receipts that share number 200.
class ReceiptChoiceCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo = new testsupport::TempDir;
        demoDir = demo->sub(QStringLiteral("demo"));
        ASSERT_TRUE(host::createDemoCompany(demoDir, {}));
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), demoDir);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(QStringLiteral("INSERT INTO \"Doc_in.DB\" (Contor, Numar, Tip, Data) "
                                    "VALUES (:Contor, :Numar, :Tip, :Data)"));
        const struct {
            double counter, number;
            const char* type;
            QDate date;
        } extra[] = {{5, 102, "NIR", QDate(2025, 3, 15)},
                     {6, 200, "BPF", QDate(2025, 3, 16)},
                     {7, 200, "BPF", QDate(2026, 1, 5)}};
        for (const auto& e : extra) {
            q.paramByName(QStringLiteral("Contor")).setAsFloat(e.counter);
            q.paramByName(QStringLiteral("Numar")).setAsFloat(e.number);
            q.paramByName(QStringLiteral("Tip")).setAsString(QString::fromLatin1(e.type));
            q.paramByName(QStringLiteral("Data")).setAsDate(e.date);
            q.execSql();
        }
    }
    static void TearDownTestSuite() {
        delete demo;
        demo = nullptr;
    }

    testsupport::TempDir dir;
    CliRun run(const QStringList& args) { return runCli(args, dir.path()); }

    static testsupport::TempDir* demo;
    static QString demoDir;
};

testsupport::TempDir* ReceiptChoiceCli::demo = nullptr;
QString ReceiptChoiceCli::demoDir;

struct Choice {
    const char* name;
    QStringList args; // after "requirement COMPANY"
    int status;
    double counter;      // the receipt the requirement was computed for, on success
    const char* message; // in the refusal, otherwise empty
};

class ReceiptChoice : public ReceiptChoiceCli, public ::testing::WithParamInterface<Choice> {};

TEST_P(ReceiptChoice, FindsTheOneReceiptOrSaysWhyNot) {
    const Choice& c = GetParam();
    const CliRun r =
        run(QStringList{QStringLiteral("requirement"), demoDir} + c.args + QStringList{"--json"});
    ASSERT_EQ(r.status, c.status) << r.out.toStdString() << r.err.toStdString();
    if (c.status == 0) {
        const QJsonObject receipt =
            QJsonDocument::fromJson(r.out.toUtf8()).object().value("document").toObject();
        EXPECT_EQ(receipt.value("contor").toDouble(), c.counter);
    } else {
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ReceiptChoice,
    ::testing::Values(
        Choice{"ByCounter", {"2"}, 0, 2, ""},
        Choice{"UniqueNumberWithoutType", {"--number", "101"}, 0, 2, ""},
        Choice{"UniqueNumberWithItsType", {"--number", "5521", "--type", "NIR"}, 0, 1, ""},
        Choice{"TypeInLowerCase", {"--number", "103", "--type", "bpf"}, 0, 4, ""},
        Choice{"SharedNumberTellsTheTypesApart", {"--number", "102", "--type", "BPF"}, 0, 3, ""},
        Choice{"SharedNumberOtherType", {"--number=102", "--type=NIR"}, 0, 5, ""},
        Choice{"SharedNumberWithoutType",
               {"--number", "102"},
               1,
               0,
               "BPF contor 3 din 14.03.2025, NIR contor 5 din 15.03.2025"},
        Choice{"SameTypeAndNumberTwice",
               {"--number", "200", "--type", "BPF"},
               1,
               0,
               "contor 6 din 16.03.2025, BPF contor 7 din 05.01.2026"},
        Choice{"UnknownNumber", {"--number", "999"}, 1, 0, "Nu există document de intrare cu"},
        Choice{"NumberOfAnotherType",
               {"--number", "5521", "--type", "BPF"},
               1,
               0,
               "Cu acest număr există: NIR contor 1"},
        Choice{"NumberNotWhole", {"--number", "10,5"}, 1, 0, "număr întreg"},
        Choice{"CounterAndNumber", {"2", "--number", "101"}, 1, 0, "nu amândouă"},
        Choice{"Neither", {}, 1, 0, "Lipsește documentul de intrare"},
        Choice{"TypeWithoutNumber", {"2", "--type", "BPF"}, 1, 0, "împreună cu --number"}),
    [](const auto& info) { return std::string(info.param.name); });

// consume takes the same choice; a refusal by number writes nothing.
TEST_F(ReceiptChoiceCli, ConsumeByNumberWritesTheReceiptsDocument) {
    testsupport::TempDir own;
    const QString company = own.sub(QStringLiteral("firma"));
    ASSERT_TRUE(host::createDemoCompany(company, {}));
    const QByteArray before = databaseBytes(company);
    const CliRun unknown =
        run({QStringLiteral("consume"), company, QStringLiteral("--number"), QStringLiteral("77"),
             QStringLiteral("--date"), QStringLiteral("15/03/2025")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(databaseBytes(company), before);

    const CliRun r = run({QStringLiteral("consume"), company, QStringLiteral("--number"),
                          QStringLiteral("101"), QStringLiteral("--type"), QStringLiteral("BPF"),
                          QStringLiteral("--date"), QStringLiteral("15/03/2025")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), company);
    db::Query q;
    q.setSession(&session);
    q.setDatabaseName(QStringLiteral("FIRMA"));
    q.setSqlText(QStringLiteral("SELECT Contor_intrare FROM \"Consum.DB\""));
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.field(0)->asFloat(), 2.0) << "the document of receipt 101, counter 2";
}

} // namespace
} // namespace clitest
