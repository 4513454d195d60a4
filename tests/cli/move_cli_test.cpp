// lumbra move and lumbra backup on a company whose tables go to the test server and back: the
// command line's answers are the same before, on and after the server, and a refused move
// changes nothing. Run by the suite's server pass only.
#include "tests/cli/cli_fixture.h"

#include "host/demo_company.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "tests/support/test_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

namespace clitest {
namespace {

class MoveCli : public CliFixture {
protected:
    QString demoDir = dir.sub(QStringLiteral("demo"));
    QString schema = QStringLiteral("m%1_%2")
                         .arg(QCoreApplication::applicationPid())
                         .arg(QRandomGenerator::global()->bounded(1000000));

    void SetUp() override {
        if (!testsupport::onServer())
            GTEST_SKIP() << "runs on the test server";
        ASSERT_TRUE(host::createDemoCompany(demoDir, {}));
    }

    QString requirementText() {
        const CliRun r = run({QStringLiteral("requirement"), demoDir, QStringLiteral("3")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return r.out;
    }
};

TEST_F(MoveCli, ACompanyGoesToTheServerAndBackAnsweringTheSame) {
    const QString before = requirementText();
    const QString server = testsupport::serverLocation(schema);
    CliRun r = run({QStringLiteral("move"), demoDir, QStringLiteral("--to-server"), server});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("numărate în ambele locuri"))) << r.out.toStdString();
    EXPECT_TRUE(QFile::exists(demoDir + QStringLiteral("/server.location")));
    EXPECT_FALSE(QFile::exists(demoDir + QStringLiteral("/tables.sqlite")));
    EXPECT_EQ(requirementText(), before);

    r = run({QStringLiteral("backup"), demoDir});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(demoDir + QStringLiteral("/backup"))
                  .entryList({QStringLiteral("salvare-*.dump")})
                  .size(),
              1);

    r = run({QStringLiteral("move"), demoDir, QStringLiteral("--to-directory")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(demoDir + QStringLiteral("/server.location")));
    EXPECT_TRUE(QFile::exists(demoDir + QStringLiteral("/tables.sqlite")));
    EXPECT_EQ(requirementText(), before);
}

TEST_F(MoveCli, ATargetThatHoldsTablesIsRefusedAndNothingMoves) {
    const QString server = testsupport::serverLocation(schema);
    {
        db::Session s;
        s.addAlias(QStringLiteral("TINTA"), server);
        db::Database d(QStringLiteral("TINTA"), &s);
        d.createTable(
            {QStringLiteral("Altceva"), {{QStringLiteral("A"), db::FieldType::Text, 4}}, {}});
    }
    const QByteArray bytes = databaseBytes(demoDir);
    const CliRun r = run({QStringLiteral("move"), demoDir, QStringLiteral("--to-server"), server});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Altceva"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(demoDir + QStringLiteral("/server.location")));
    EXPECT_EQ(databaseBytes(demoDir), bytes);
}

TEST_F(MoveCli, AMoveBackIntoADirectoryWithoutServerIsRefused) {
    const CliRun r = run({QStringLiteral("move"), demoDir, QStringLiteral("--to-directory")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu este pe un server"))) << r.err.toStdString();
}

} // namespace
} // namespace clitest
