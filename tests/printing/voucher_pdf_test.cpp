// The consumption voucher read from a company on disk, written as PDF and read back as text.
#include "platform/base/errors.h"
#include "platform/base/format_settings.h"
#include "platform/db/session.h"
#include "printing/company_name.h"
#include "printing/consumption_voucher.h"
#include "printing/report_pdf.h"
#include "printing/voucher_report.h"
#include "tests/support/company_builder.h"
#include "tests/support/pdf_text.h"
#include "tests/support/qt_print.h"
#include "tests/support/readable_name.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class VoucherPdf : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    testsupport::CompanyBuilder company{companyDir};
    db::Session session;
    QString pdf = dir.path() + QStringLiteral("/bon.pdf");

    void SetUp() override {
        base::setFormatSettings(base::FormatSettings{}); // day.month.year, "," and "."
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        company.article("MAT", "M100", "Făină albă").article("MAT", "M200", "Drojdie uscată");
        company.article("AUX", "A300", "Ulei de floarea-soarelui");
    }

    printing::ConsumptionVoucher voucher(double counter) {
        return printing::readConsumptionVoucher(session, QStringLiteral("FIRMA"), counter);
    }

    // The voucher of the counter written as PDF and read back, one text per page.
    QStringList pages(double counter) {
        const printing::ConsumptionVoucher v = voucher(counter);
        EXPECT_TRUE(printing::writeReportPdf(
            printing::voucherReport(v, printing::companyName(companyDir)), pdf));
        return testsupport::pdfPages(pdf);
    }

    // The line of the page's text that holds the code.
    static QString rowOf(const QString& page, const QString& code) {
        for (const QString& line : page.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral(" ") + code + QStringLiteral(" ")))
                return line.simplified();
        return QString();
    }
};

TEST_F(VoucherPdf, ShowsTheDocumentItsLinesTotalAndSignatures) {
    company.outputDocument(101, 15, "BMC", {2024, 3, 12}, "Consum coresp. A1 15/12.03.2024");
    company.outputLine(101, 1, "G1", "MAT", "M100", "L1", 2.5, 3.5);
    company.outputLine(101, 2, "G1", "MAT", "M200", "L1", 1234.5, 9);
    const QStringList text = pages(101);
    ASSERT_EQ(text.size(), 1) << "one page";
    const QString& page = text[0];
    for (const char* expected :
         {"firma", "BON DE CONSUM", "Numărul: 15", "Data: 12.03.2024", "Gestiunea: G1",
          "Locul de consum: Consum coresp. A1 15/12.03.2024", "Făină albă", "Drojdie uscată",
          "Total valoare", "11.119,25", "Șef compartiment", "Gestionar", "Primitor",
          "Pagina 1 din 1"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << page.toStdString();
    // Quantity required, quantity issued, unit price and value, in the regional format.
    EXPECT_EQ(rowOf(page, "M100"), "1 Făină albă M100 buc 2,500 2,500 3,50 8,75");
    EXPECT_EQ(rowOf(page, "M200"), "2 Drojdie uscată M200 buc 1.234,500 1.234,500 9,00 11.110,50");
    EXPECT_FALSE(page.contains(QStringLiteral("Lot"))) << "one lot: no lot column";
    EXPECT_FALSE(page.contains(QStringLiteral("Gest."))) << "one warehouse: no column";
}

TEST_F(VoucherPdf, LinesInTwoWarehousesAndLotsShowBoth) {
    company.outputDocument(102, 16, "BMC", {2024, 3, 13}, "Consum coresp. A1 16/13.03.2024");
    company.outputLine(102, 1, "G1", "MAT", "M100", "L1", 4, 3.5);
    company.outputLine(102, 2, "G2", "MAT", "M100", "L7", 1, 3.75);
    company.outputLine(102, 3, "G2", "AUX", "A300", "L7", 2, 10);
    const QString page = pages(102).value(0);
    EXPECT_TRUE(page.contains(QStringLiteral("Gestiunile: G1, G2"))) << page.toStdString();
    // A material from two stock records has a line for each, with its warehouse and lot.
    QStringList rows;
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral(" M100 ")) || line.contains(QStringLiteral(" A300 ")))
            rows << line.simplified();
    EXPECT_EQ(rows,
              QStringList({"1 Făină albă M100 buc G1 L1 4,000 4,000 3,50 14,00",
                           "2 Făină albă M100 buc G2 L7 1,000 1,000 3,75 3,75",
                           "3 Ulei de floarea-soarelui A300 buc G2 L7 2,000 2,000 10,00 20,00"}))
        << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("37,75")));
}

TEST_F(VoucherPdf, LongDocumentSpansPagesWithTheHeaderRepeatedAndTheTotalOnTheLast) {
    company.outputDocument(103, 17, "BMC", {2024, 3, 14}, "Consum coresp. A1 17/14.03.2024");
    for (int i = 1; i <= 120; ++i)
        company.outputLine(103, i, "G1", "MAT", QStringLiteral("C%1").arg(i, 3, 10, QChar('0')),
                           "L1", i, 2);
    const QStringList text = pages(103);
    ASSERT_GE(text.size(), 3) << "120 lines do not fit on two pages";
    const int n = int(text.size());
    QList<int> seen;
    for (int p = 0; p < n; ++p) {
        const QString& page = text[p];
        SCOPED_TRACE("page " + std::to_string(p + 1));
        EXPECT_TRUE(page.contains(QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(n)));
        EXPECT_TRUE(page.contains(QStringLiteral("Valoare"))) << "the table header";
        EXPECT_TRUE(page.contains(QStringLiteral("firma")));
        EXPECT_EQ(page.contains(QStringLiteral("BON DE CONSUM")), p == 0);
        EXPECT_EQ(page.contains(QStringLiteral("(continuare)")), p > 0);
        EXPECT_EQ(page.contains(QStringLiteral("Total valoare")), p == n - 1);
        EXPECT_EQ(page.contains(QStringLiteral("Primitor")), p == n - 1);
        static const QRegularExpression code(QStringLiteral(" C(\\d{3}) "));
        for (auto m = code.globalMatch(page); m.hasNext();)
            seen << m.next().captured(1).toInt();
    }
    QList<int> all;
    for (int i = 1; i <= 120; ++i)
        all << i;
    EXPECT_EQ(seen, all) << "every line once, in order";
    // 2 × (1 + … + 120)
    EXPECT_TRUE(text.last().contains(QStringLiteral("14.520,00")));
}

struct NumberCase {
    const char* name;
    char16_t decimal;
    char16_t thousands;
    const char* row;
};
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class VoucherNumbers : public VoucherPdf, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(VoucherNumbers, FollowTheRegionalSeparators) {
    base::FormatSettings fs;
    fs.decimalSeparator = QChar(GetParam().decimal);
    fs.thousandSeparator = QChar(GetParam().thousands);
    base::setFormatSettings(fs);
    company.outputDocument(104, 18, "BMC", {2024, 3, 15}, "Consum");
    company.outputLine(104, 1, "G1", "MAT", "M200", "L1", 1500.25, 12.5);
    EXPECT_EQ(rowOf(pages(104).value(0), "M200"), QString::fromUtf8(GetParam().row));
}

INSTANTIATE_TEST_SUITE_P(
    Voucher, VoucherNumbers,
    ::testing::Values(NumberCase{"RomanianCommaAndDot", u',', u'.',
                                 "1 Drojdie uscată M200 buc 1.500,250 1.500,250 12,50 18.753,13"},
                      NumberCase{"DotAndComma", u'.', u',',
                                 "1 Drojdie uscată M200 buc 1,500.250 1,500.250 12.50 18,753.13"}),
    testsupport::ReadableName());

TEST_F(VoucherPdf, CompanyNameComesFromTheSettingsElseTheDirectory) {
    EXPECT_EQ(printing::companyName(companyDir), "firma");
    EXPECT_EQ(printing::companyName(companyDir + QStringLiteral("/")), "firma");
    QFile ini(companyDir + QStringLiteral("/KRVDEF.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Productie]\r\nIndGest=G\r\n[Firma]\r\nDenumire= Brut\xe3ria Sud SRL \r\n");
    ini.close();
    EXPECT_EQ(printing::companyName(companyDir), "Brutăria Sud SRL");
}

TEST_F(VoucherPdf, MissingOrOtherDocumentsAreRefusedByName) {
    company.outputDocument(105, 19, "FAC", {2024, 3, 15}, "Factura");
    try {
        voucher(999);
        ADD_FAILURE() << "a missing document was read";
    } catch (const base::Error& e) {
        EXPECT_EQ(e.message(), "Documentul de ieșire cu contorul 999 nu există.");
    }
    try {
        voucher(105);
        ADD_FAILURE() << "an invoice was read as a voucher";
    } catch (const base::Error& e) {
        EXPECT_EQ(e.message(),
                  "Documentul de ieșire cu contorul 105 nu este un bon de consum (tipul lui este "
                  "„FAC”).");
    }
}

TEST_F(VoucherPdf, FileThatCannotBeWrittenIsRefusedAndAStoppedOneLeavesTheOldFile) {
    company.outputDocument(106, 20, "BMC", {2024, 3, 15}, "Consum");
    company.outputLine(106, 1, "G1", "MAT", "M100", "L1", 1, 1);
    const printing::TableReport report = printing::voucherReport(voucher(106), "Firma");
    for (const QString& bad : {dir.path(), dir.path() + QStringLiteral("/lipsa/bon.pdf")}) {
        try {
            printing::writeReportPdf(report, bad);
            ADD_FAILURE() << "wrote " << bad.toStdString();
        } catch (const base::Error& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Fișierul PDF „%1” nu a putut fi "
                                                              "scris: ")
                                                   .arg(bad)))
                << e.message().toStdString();
        }
    }
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    EXPECT_FALSE(printing::writeReportPdf(report, pdf, [](int, int) { return false; }));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}

} // namespace
