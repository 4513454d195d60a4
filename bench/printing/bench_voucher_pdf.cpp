// Times the consumption voucher of a 500-line document written as PDF: the document read from
// the company (Doc_out, Item_out, the catalog), laid out on A4 pages and written to the file.
//
//   bench_voucher_pdf [directory] [repetitions]
//
// Runs on the offscreen platform. Build it without sanitizers for real figures
// (CMAKE_BUILD_TYPE=Release).
#include "platform/db/session.h"
#include "printing/company_name.h"
#include "printing/consumption_voucher.h"
#include "printing/report_pdf.h"
#include "printing/voucher_report.h"
#include "tests/support/company_builder.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLines = 500;
constexpr double kCounter = 1000;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const QString companyDir = QDir(root).absoluteFilePath(QStringLiteral("voucher-bench"));
    QDir(companyDir).removeRecursively();
    QDir().mkpath(companyDir);

    std::printf("Filling a company with a %d-line consumption document...\n", kLines);
    {
        testsupport::CompanyBuilder company(companyDir);
        company.outputDocument(kCounter, 4711, QStringLiteral("BMC"), QDate(2025, 3, 14),
                               QStringLiteral("Consum coresp. NIR 4711/14.03.2025"));
        for (int i = 1; i <= kLines; ++i) {
            const QString code = QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0'));
            if (i % 2 == 1)
                company.article(QStringLiteral("MAT"), code,
                                QStringLiteral("Materie primă de încercare nr. %1").arg(i));
            // Two stock records per material: two lots, in two warehouses.
            const int material = (i + 1) / 2 * 2 - 1;
            company.outputLine(kCounter, i, i % 2 ? QStringLiteral("G1") : QStringLiteral("G2"),
                               QStringLiteral("MAT"),
                               QStringLiteral("M%1").arg(material, 4, 10, QLatin1Char('0')),
                               QStringLiteral("L%1").arg(i % 7), 1.5 * i, 3.25 + i % 11);
        }
    }

    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), companyDir);
    const QString pdf = QDir(root).absoluteFilePath(QStringLiteral("voucher-bench.pdf"));
    std::vector<double> times;
    int pages = 0;
    for (int r = 0; r < repetitions; ++r) {
        const Clock::time_point start = Clock::now();
        const printing::ConsumptionVoucher voucher =
            printing::readConsumptionVoucher(session, QStringLiteral("FIRMA"), kCounter);
        printing::writeReportPdf(
            printing::voucherReport(voucher, printing::companyName(companyDir)), pdf,
            [&](int, int count) {
                pages = count;
                return true;
            });
        times.push_back(seconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    std::printf("500-line voucher to PDF (%d pages, %lld bytes), %d runs: best %.3f s, median "
                "%.3f s, worst %.3f s\n",
                pages, static_cast<long long>(QFileInfo(pdf).size()), repetitions, times.front(),
                times[times.size() / 2], times.back());
    return 0;
}
