// lumbra import-paradox run as a program: the summary per table, the exit status of each
// outcome, and what is left on disk.
#include "import/paradox_import.h"
#include "tests/cli/cli_fixture.h"
#include "tests/import/paradox_writer.h"
#include "tests/support/readable_name.h"

#include <QDir>
#include <QFileInfo>

namespace clitest {
namespace {

using paradox::FieldCode;

struct CliCase {
    const char* name;
    QList<pxtest::Row> currencies;
    QStringList options;
    int status;
    const char* out; // part of standard output, or nullptr
    const char* err; // part of standard error, or nullptr
    bool companyLeft;
    bool reportLeft;
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

const QList<pxtest::Row> kSound{{QStringLiteral("RON"), QStringLiteral("Leu românesc")},
                                {QStringLiteral("EUR"), QStringLiteral("Euro")}};
const QList<pxtest::Row> kDuplicate{{QStringLiteral("RON"), QStringLiteral("Leu")},
                                    {QStringLiteral("RON"), QStringLiteral("Leu nou")},
                                    {QStringLiteral("EUR"), QStringLiteral("Euro")}};

class ImportParadoxCli : public ::testing::Test, public ::testing::WithParamInterface<CliCase> {
protected:
    testsupport::TempDir dir;
    QString source = dir.sub(QStringLiteral("vechi"));
    QString company = dir.path() + QStringLiteral("/noua");
};

TEST_P(ImportParadoxCli, EndsWithItsStatusAndLeavesWhatItSays) {
    const CliCase& c = GetParam();
    pxtest::writeTable(source + QStringLiteral("/VALUTA.DB"),
                       {{"Cod_valuta", FieldCode::Alpha, 3}, {"Denumire", FieldCode::Alpha, 30}},
                       c.currencies);
    const CliRun r = runCli(
        QStringList{QStringLiteral("import-paradox"), source, company} + c.options, dir.path());
    EXPECT_EQ(r.status, c.status) << r.out.toStdString() << r.err.toStdString();
    if (c.out) {
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.out))) << r.out.toStdString();
    }
    if (c.err) {
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists(company), c.companyLeft);
    EXPECT_EQ(QFileInfo::exists(paradox::reportFileFor(company)), c.reportLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportParadoxCli,
    ::testing::Values(
        CliCase{"SoundTablesMakeTheCompany", kSound, {}, 0, "Firma ", nullptr, true, false},
        CliCase{"SummaryNamesEachTable", kSound, {}, 0, "VALUTA.DB", nullptr, true, false},
        CliCase{"DryRunWritesNothing",
                kSound,
                {QStringLiteral("--dry-run")},
                0,
                "Verificare reușită",
                nullptr,
                false,
                false},
        CliCase{"KeyDuplicateRefusesEverything",
                kDuplicate,
                {},
                1,
                nullptr,
                "VALUTA.DB, înregistrarea 2: are aceeași cheie (Cod_valuta = «RON») ca "
                "înregistrarea 1",
                false,
                false},
        CliCase{"KeyDuplicateAcceptedWritesTheRest",
                kDuplicate,
                {QStringLiteral("--accept-refused")},
                0,
                "Raportul: ",
                nullptr,
                true,
                true},
        CliCase{"ServerThatIsNoServer",
                kSound,
                {QStringLiteral("--server"), QStringLiteral("ftp:x")},
                1,
                nullptr,
                "nu numește un server",
                false,
                false}),
    testsupport::ReadableName());

TEST(ImportParadoxCliStart, MissingSourceIsRefusedWithStatusOne) {
    testsupport::TempDir dir;
    const CliRun r = runCli({QStringLiteral("import-paradox"), dir.path() + QStringLiteral("/nu"),
                             dir.path() + QStringLiteral("/firma")},
                            dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu există"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/firma")));
}

} // namespace
} // namespace clitest
