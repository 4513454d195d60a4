// The command line as a whole: the fixture, subcommand dispatch, help and the failures every
// subcommand shares.
#include "tests/cli/cli_fixture.h"
#include "tests/support/company_settings.h"

#include <QDir>
#include <QProcessEnvironment>

namespace clitest {

CliRun runCli(const QStringList& args, const QString& tempDir) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!tempDir.isEmpty())
        env.insert(QStringLiteral("TMPDIR"), tempDir);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUMBRA_CLI), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray databaseBytes(const QString& companyDir) {
    QFile f(companyDir + QStringLiteral("/tables.sqlite"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::unique_ptr<testsupport::CompanyBuilder> CliFixture::makeCompany(const QString& directory) {
    testsupport::writeProductionSettings(directory);
    return std::make_unique<testsupport::CompanyBuilder>(directory);
}

namespace {

using Cli = CliFixture;

TEST_F(Cli, UnknownCommandAndNoCommandShowUsageWithStatus1) {
    for (const QStringList& args : {QStringList{QStringLiteral("bake")}, QStringList{}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Utilizare: lumbra COMANDA")))
            << r.err.toStdString();
    }
}

// Every subcommand explains itself with an example and ends with status 0.
class CliHelp : public CliFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliHelp, ShowsUsageAndAnExample) {
    const CliRun r = run(QString::fromLatin1(GetParam()).split(QLatin1Char(' ')) +
                         QStringList{QStringLiteral("--help")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Utilizare: lumbra"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Exemplu:"))) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Subcommands, CliHelp,
                         ::testing::Values("requirement", "consume", "recipes export",
                                           "recipes import", "capacity", "backup", "restore",
                                           "check", "print", "receipt import"),
                         [](const auto& info) {
                             QString name = QString::fromLatin1(info.param);
                             return name.replace(QLatin1Char(' '), QLatin1Char('_')).toStdString();
                         });

// A directory that holds no company is refused by name, whatever the subcommand.
class CliMissingCompany : public CliFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliMissingCompany, IsRefusedNamingTheDirectory) {
    const QString missing = dir.path() + QStringLiteral("/nu-exista");
    QStringList args = QString::fromLatin1(GetParam()).split(QLatin1Char(' '));
    args.insert(args.indexOf(QStringLiteral("FIRMA")), missing);
    args.removeAll(QStringLiteral("FIRMA"));
    const CliRun r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(missing)) << r.err.toStdString();
    EXPECT_FALSE(QDir(missing).exists());
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, CliMissingCompany,
    ::testing::Values("requirement FIRMA 1", "consume FIRMA 1 --date 01/02/2025",
                      "recipes export FIRMA", "capacity FIRMA", "backup FIRMA",
                      "restore FIRMA copie.sqlite", "check FIRMA", "print FIRMA 1 --pdf bon.pdf",
                      "receipt import FIRMA receptii.csv", "requirement FIRMA --number 102"),
    [](const auto& info) {
        const QString args = QString::fromLatin1(info.param);
        // The first word names the case, the option after it where two cases share a word.
        QString name = args.section(QLatin1Char(' '), 0, 0);
        if (args.contains(QStringLiteral("--number")))
            name += QStringLiteral("_by_number");
        return name.toStdString();
    });

TEST_F(Cli, AnEmptyDirectoryIsNotACompany) {
    const QString empty = dir.sub(QStringLiteral("gol"));
    const CliRun r = run({QStringLiteral("capacity"), empty});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu conține o firmă"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(empty + QStringLiteral("/tables.sqlite")));
}

} // namespace
} // namespace clitest
