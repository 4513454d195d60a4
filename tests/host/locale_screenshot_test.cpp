// Pictures for a person to look at, with the regional formats of the machine's own locale (a
// C or POSIX locale falls back to the Romanian conventions): the stock window over a large
// company scrolled to its last record, and the goods-receipt window of the demo company.
//
//   LANG=C LUMBRA_SCREENSHOT_DIR=/tmp LUMBRA_SCREENSHOT_COMPANY=<company directory> \
//       xvfb-run -a test_host --gtest_filter='*MachineLocale*'
//
// LUMBRA_SCREENSHOT_COMPANY is copied first (the engine benchmark's kept directory holds a
// stock of a million records); without it the demo company's stock is shown.
#include "host/demo_company.h"
#include "host/receipts_form.h"
#include "host/record_grid.h"
#include "host/stock_form.h"
#include "host_fixture.h"
#include "platform/base/format_settings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace hosttest;

namespace {

class MachineLocale : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        saved = base::formatSettings();
        base::setFormatSettings(base::FormatSettings::fromSystemLocale());
    }
    void TearDown() override {
        HostTest::TearDown();
        base::setFormatSettings(saved);
    }

    base::FormatSettings saved;
};

} // namespace

TEST_F(MachineLocale, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    const QString large = qEnvironmentVariable("LUMBRA_SCREENSHOT_COMPANY");
    const QString stockCompany = dir.path() + QStringLiteral("/stoc");
    ASSERT_TRUE(QDir().mkpath(stockCompany));
    if (large.isEmpty())
        ASSERT_TRUE(host::createDemoCompany(stockCompany, {}));
    else
        ASSERT_TRUE(QFile::copy(large + QStringLiteral("/tables.sqlite"),
                                stockCompany + QStringLiteral("/tables.sqlite")));

    start(stockCompany, QString());
    window()->resize(1280, 800);
    window()->show();
    settle();
    host::StockForm* stock = window()->openStock();
    settle();
    host::RecordGrid* grid = stock->stockGrid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    settle();
    QTest::qWait(300);
    ASSERT_TRUE(window()->grab().save(target + QStringLiteral("/lumbra-host-stock-end.png")));

    const QString demo = dir.path() + QStringLiteral("/brutarie");
    ASSERT_TRUE(host::createDemoCompany(demo, {}));
    window()->openCompany(demo);
    settle();
    window()->openReceipts();
    settle();
    QTest::qWait(300);
    ASSERT_TRUE(
        window()->grab().save(target + QStringLiteral("/lumbra-host-receipts-c-locale.png")));
}
