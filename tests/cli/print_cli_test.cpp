// lumbra print and lumbra consume --pdf on the demo company: the voucher as a PDF file, without
// a display, and the refusals that leave the company as it was.
#include "tests/cli/cli_fixture.h"

#include "host/demo_company.h"
#include "tests/support/pdf_text.h"

namespace clitest {
namespace {

class PrintCli : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString demoDir = dir.sub(QStringLiteral("demo"));
    QString pdf = dir.path() + QStringLiteral("/bon.pdf");

    void SetUp() override { ASSERT_TRUE(host::createDemoCompany(demoDir, {})); }
    CliRun run(const QStringList& args) { return runCli(args, dir.path()); }

    CliRun consume(const QStringList& more) {
        return run(QStringList{QStringLiteral("consume"), demoDir, QStringLiteral("2"),
                               QStringLiteral("--date"), QStringLiteral("15/03/2025")} +
                   more);
    }
};

TEST_F(PrintCli, ConsumeWritesTheNewDocumentsVoucherAndPrintWritesItAgain) {
    const CliRun r = consume({QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("contor 2"))) << r.out.toStdString();
    const QStringList pages = testsupport::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    for (const char* expected : {"demo", "BON DE CONSUM", "Data: 15.03.2025", "Total valoare",
                                 "Șef compartiment", "Gestionar", "Primitor", "Pagina 1 din 1"})
        EXPECT_TRUE(pages[0].contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                    << pages[0].toStdString();

    const QString again = dir.path() + QStringLiteral("/din-nou.pdf");
    const CliRun p = run(
        {QStringLiteral("print"), demoDir, QStringLiteral("2"), QStringLiteral("--pdf"), again});
    ASSERT_EQ(p.status, 0) << p.err.toStdString();
    EXPECT_TRUE(p.out.contains(again)) << p.out.toStdString();
    EXPECT_EQ(testsupport::pdfPages(again), pages) << "the same voucher";
}

struct RefusedPrint {
    const char* name;
    QStringList args; // after "print" and the company directory; "@" is the PDF file
    const char* message;
};
void PrintTo(const RefusedPrint& c, std::ostream* os) {
    *os << c.name;
}

class PrintRefused : public PrintCli, public ::testing::WithParamInterface<RefusedPrint> {};

TEST_P(PrintRefused, WithStatus1AndNoFile) {
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("@"), pdf);
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r = run(QStringList{QStringLiteral("print"), demoDir} + args);
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(GetParam().message))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(databaseBytes(demoDir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, PrintRefused,
    ::testing::Values(
        RefusedPrint{"MissingPdf", {"1"}, "Lipsește fișierul"},
        RefusedPrint{"CounterNotANumber", {"unu", "--pdf", "@"}, "trebuie să fie un număr întreg"},
        RefusedPrint{"UnknownDocument", {"99", "--pdf", "@"}, "contorul 99 nu există"},
        RefusedPrint{"AnInvoice", {"1", "--pdf", "@"}, "nu este un bon de consum"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintCli, AFileThatCannotBeWrittenAfterTheGenerationSaysTheDocumentWasWritten) {
    const QString bad = dir.path() + QStringLiteral("/lipsa/bon.pdf");
    const CliRun r = consume({QStringLiteral("--pdf"), bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Documentul de consum a fost generat (contor 2), dar "
                                              "bonul nu a fost scris: Fișierul PDF „%1”")
                                   .arg(bad)))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("lumbra print FIRMA 2 --pdf")))
        << r.err.toStdString();
    // The document stands: the voucher can be written afterwards.
    const CliRun p =
        run({QStringLiteral("print"), demoDir, QStringLiteral("2"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(p.status, 0) << p.err.toStdString();
}

TEST_F(PrintCli, PdfWithDryRunIsRefusedBeforeAnythingIsWritten) {
    const QByteArray before = databaseBytes(demoDir);
    const CliRun r = consume({QStringLiteral("--dry-run"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--pdf nu se poate folosi cu --dry-run")))
        << r.err.toStdString();
    EXPECT_EQ(databaseBytes(demoDir), before);
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
} // namespace clitest
