// How the host drives an add-on: the entry points in their order, the tables it declares, its
// menus merged and taken out, and a host that runs on without it.
#include "host/company_environment.h"
#include "host/demo_company.h"
#include "host/host_form.h"
#include "host/receipts_form.h"
#include "host_fixture.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/store/ini_file.h"
#include "platform/ui/application.h"
#include "platform/ui/screen.h"
#include "tests/support/company_settings.h"
#include "tests/support/readable_name.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QSettings>
#include <QStatusBar>

using namespace hosttest;

namespace {

QString address(const void* p) {
    return QString::number(reinterpret_cast<quintptr>(p), 16);
}

class HostLifecycle : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        qputenv("RECORDING_ADDON_LOG", QFile::encodeName(logFile));
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
    }
    void TearDown() override {
        HostTest::TearDown();
        qunsetenv("RECORDING_ADDON_LOG");
    }

    QStringList calls() const {
        QFile log(logFile);
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString logFile = dir.path() + QStringLiteral("/calls.log");
    QString companyDir = dir.path() + QStringLiteral("/firma");
};

} // namespace

TEST_F(HostLifecycle, DrivesTheEntryPointsInTheirOrder) {
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    ASSERT_NE(program->addOn(), nullptr) << program->addOnProblem().toStdString();
    EXPECT_EQ(program->addOnName(), "Modul de proba");
    const QString mainWindow = address(static_cast<QObject*>(window()));
    host::ReceiptsForm* receipts = window()->openReceipts();
    const QString receiptsWindow = address(receipts);
    settle();
    program.reset();

    EXPECT_EQ(calls(), (QStringList{
                           QStringLiteral("InitAddOnDLL %1 %2")
                               .arg(address(ui::screen()), address(ui::application())),
                           "VelAddOnGetName",
                           "VelAddOnAddTables",
                           "VelAddOnMainForm " + mainWindow,
                           "VelAddOnChangeDB " + companyDir,
                           "VelAddOnDocInForm " + receiptsWindow + " Contor",
                           // The menu carrier goes with the main window, before the host
                           // takes its objects back.
                           "carrier destroyed",
                           "ClearAddOnDLL",
                       }));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(HostLifecycle, CreatesTheTablesTheAddOnDeclares) {
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    program.reset();

    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), companyDir);
    db::Database database(QStringLiteral("FIRMA"), &session);
    const db::TableDef t = database.tableStructure(QStringLiteral("Proba.DB"));
    ASSERT_EQ(t.fields.size(), 4);
    EXPECT_EQ(t.fields[0].type, db::FieldType::Text);
    EXPECT_EQ(t.fields[0].size, 12);
    EXPECT_EQ(t.fields[1].type, db::FieldType::Float);
    EXPECT_EQ(t.fields[2].type, db::FieldType::Date);
    EXPECT_EQ(t.fields[3].type, db::FieldType::Boolean);
    bool primary = false, byDate = false;
    for (const db::IndexDef& index : t.indexes) {
        primary = primary || (index.primary && index.fields == QStringList{"Cod"});
        byDate = byDate ||
                 (!index.primary && !index.unique && index.fields == QStringList{"Data", "Cod"});
    }
    EXPECT_TRUE(primary);
    EXPECT_TRUE(byDate);
}

TEST_F(HostLifecycle, MergesTheMenusOfTheCurrentReceiptWindowOnly) {
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    EXPECT_EQ(
        captions("&Sistem"),
        (QStringList{"&Deschide firma...", "&Salvare firma…", "&Restaurare firma…",
                     "&Import firmă din tabele Paradox…", "Comanda de proba", "-", "&Ieșire"}));
    const QStringList hostDocument = {"Documente de &intrare", "Documente de i&eșire", "&Stoc"};
    EXPECT_EQ(captions("&Document"), hostDocument);

    action("&Document", "Documente de &intrare")->trigger();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocument + QStringList{"Comanda documentului"});

    action("&Document", "&Stoc")->trigger();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocument);

    // Back to the receipts, and once more: the menu is merged once.
    window()->openReceipts();
    settle();
    window()->openReceipts();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocument + QStringList{"Comanda documentului"});

    window()->openReceipts()->mdiFrame()->close();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocument);

    // A merged item runs the add-on's handler.
    action("&Sistem", "Comanda de proba")->trigger();
    EXPECT_EQ(calls().filter("Comanda de proba"), QStringList{"Comanda de proba"});
}

TEST_F(HostLifecycle, OpeningAnotherCompanyPointsTheAddOnThere) {
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    window()->openReceipts();
    const QString other = dir.sub(QStringLiteral("alta"));
    window()->openCompany(other);
    settle();

    EXPECT_EQ(window()->companyDirectory(), other);
    EXPECT_EQ(window()->mdiArea()->subWindowList().size(), 0);
    EXPECT_EQ(company::lastCompanyDirectory(), other);
    QSettings engine(db::Session::defaultConfigFile(), QSettings::IniFormat);
    EXPECT_EQ(engine.value("Aliases/MAGNIS").toString(), other);
    EXPECT_EQ(engine.value("Aliases/KRV_PRIV").toString(), host::privateDirectory());
    // The new company got the host's tables and the add-on's.
    db::Session session;
    session.addAlias(QStringLiteral("ALTA"), other);
    db::Database database(QStringLiteral("ALTA"), &session);
    EXPECT_TRUE(database.tableExists(QStringLiteral("CATALOG.DB")));
    EXPECT_TRUE(database.tableExists(QStringLiteral("Proba.DB")));

    program.reset();
    const QStringList log = calls();
    EXPECT_EQ(log.filter("VelAddOnMainForm").size(), 1);
    EXPECT_EQ(log.filter("VelAddOnChangeDB"),
              (QStringList{"VelAddOnChangeDB " + companyDir, "VelAddOnChangeDB " + other}));
}

TEST_F(HostLifecycle, WithoutACompanyTheAddOnWaitsForOne) {
    // A registry that names no company.
    {
        const testsupport::CompanyRegistry registry(dir.sub(QStringLiteral("registru")));
        start(QString(), QStringLiteral(HOST_TEST_ADDON));
    }

    EXPECT_TRUE(window()->companyDirectory().isEmpty());
    EXPECT_FALSE(action("&Document", "Documente de &intrare")->isEnabled());
    EXPECT_EQ(calls(), (QStringList{calls().value(0), "VelAddOnGetName", "VelAddOnAddTables"}));

    window()->openCompany(companyDir);
    EXPECT_TRUE(action("&Document", "Documente de &intrare")->isEnabled());
    EXPECT_EQ(calls().mid(3),
              (QStringList{"VelAddOnMainForm " + address(static_cast<QObject*>(window())),
                           "VelAddOnChangeDB " + companyDir}));
}

TEST_F(HostLifecycle, AMissingAddOnLeavesTheHostToRunAlone) {
    start(companyDir, dir.path() + QStringLiteral("/nu-exista/liblumbra.so"));
    EXPECT_EQ(program->addOn(), nullptr);
    EXPECT_EQ(window()->addOnLabel()->text(), "Fără modulul de producție");
    EXPECT_TRUE(window()->statusBar()->currentMessage().contains("nu a fost încărcat"));
    EXPECT_EQ(captions("&Sistem"),
              (QStringList{"&Deschide firma...", "&Salvare firma…", "&Restaurare firma…",
                           "&Import firmă din tabele Paradox…", "-", "&Ieșire"}));
    host::ReceiptsForm* receipts = window()->openReceipts();
    settle();
    EXPECT_EQ(receipts->documents().recordCount(), 4);
    EXPECT_EQ(captions("&Document"),
              (QStringList{"Documente de &intrare", "Documente de i&eșire", "&Stoc"}));
    EXPECT_TRUE(calls().isEmpty());
}

TEST_F(HostLifecycle, KeepsItsSettingsFileAndPassesTheNetworkDirectoryOn) {
    const QString settings = host::hostSettingsFile();
    store::writeIniString(settings, "Initial", "NetControlDir", dir.path());
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    EXPECT_EQ(db::Session::instance().netFileDir(), dir.path());
    program.reset();
    store::writeIniString(settings, "Initial", "NetControlDir", QString());
    db::Session::instance().setNetFileDir(QString());

    QFile::remove(settings);
    start(companyDir, QStringLiteral(HOST_TEST_ADDON));
    EXPECT_TRUE(store::readIniKeys(settings, "Initial").contains("NetControlDir"));
    EXPECT_TRUE(db::Session::instance().netFileDir().isEmpty());
}

struct CommandLine {
    QStringList arguments;
    host::HostProgram::Parsed parsed;
    bool createDemo;
    const char* directory; // relative to the current directory; null when none
};

void PrintTo(const CommandLine& c, std::ostream* os) {
    *os << (c.arguments.isEmpty() ? std::string("no arguments")
                                  : c.arguments.join(QLatin1Char(' ')).toStdString());
}

class HostCommandLine : public ::testing::TestWithParam<CommandLine> {};

TEST_P(HostCommandLine, IsReadAsDocumented) {
    const CommandLine c = GetParam();
    host::HostProgram::Options options;
    QString message;
    EXPECT_EQ(host::HostProgram::parseArguments(QStringList{"lumbra-host"} + c.arguments, options,
                                                message),
              c.parsed);
    if (c.parsed != host::HostProgram::Parsed::Run) {
        EXPECT_FALSE(message.isEmpty());
        return;
    }
    EXPECT_EQ(options.createDemo, c.createDemo);
    EXPECT_EQ(options.companyDirectory,
              c.directory ? QDir::cleanPath(QDir::current().absoluteFilePath(c.directory))
                          : QString());
}

INSTANTIATE_TEST_SUITE_P(
    HostProgram, HostCommandLine,
    ::testing::Values(
        CommandLine{{}, host::HostProgram::Parsed::Run, false, nullptr},
        CommandLine{{"firma"}, host::HostProgram::Parsed::Run, false, "firma"},
        CommandLine{
            {"--create-demo", "demo/../demo"}, host::HostProgram::Parsed::Run, true, "demo"},
        CommandLine{{"--create-demo"}, host::HostProgram::Parsed::Error, false, nullptr},
        CommandLine{{"a", "b"}, host::HostProgram::Parsed::Error, false, nullptr},
        CommandLine{{"--nu-exista"}, host::HostProgram::Parsed::Error, false, nullptr},
        CommandLine{{"--help"}, host::HostProgram::Parsed::Help, false, nullptr}),
    testsupport::ReadableName());
