// The entry points driven in process, where the module's own values can be read.
#include "addon/dummy_module.h"
#include "addon/entry_points.h"
#include "common/module_values.h"
#include "data/qdm_data_module.h"
#include "platform/abi/host_string.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class ModuleInProcess : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QObject owner;

    void TearDown() override { delete DummyModule; }
    void changeDB(const QString& directory) {
        char* s = hostabi::strFromQString(directory);
        VelAddOnChangeDB(s);
        hostabi::strRelease(s);
    }
};

TEST_F(ModuleInProcess, ChangeDBReconnectsAndLeavesTheDatasetsClosed) {
    testsupport::CompanyBuilder company(dir.path());
    company.article("PF", "PF01");
    VelAddOnMainForm(&owner);
    ASSERT_NE(QDMDataModule, nullptr);
    changeDB(dir.path());
    QDMDataModule->CatalogTable.open();
    QDMDataModule->StocTable.open();
    changeDB(dir.path());
    EXPECT_TRUE(QDMDataModule->GhostDB.isConnected());
    EXPECT_FALSE(QDMDataModule->CatalogTable.isActive());
    EXPECT_FALSE(QDMDataModule->StocTable.isActive());
    QDMDataModule->CatalogTable.open();
    EXPECT_EQ(QDMDataModule->CatalogTable.fieldByName("Cod")->asString(), "PF01");
    delete DummyModule;
    EXPECT_EQ(DummyModule, nullptr);
    EXPECT_EQ(QDMDataModule, nullptr);
}

TEST_F(ModuleInProcess, ChangeDBLetsGoOfTheCatalogOfTheCompanyBefore) {
    const QString first = dir.sub(QStringLiteral("intai"));
    const QString second = dir.sub(QStringLiteral("apoi"));
    testsupport::CompanyBuilder(first).article("PF", "PF01");
    testsupport::CompanyBuilder(second).article("PF", "PF02");
    const QString config = dir.path() + QStringLiteral("/engine.ini");
    qputenv("LUMBRA_ENGINE_CONFIG", config.toUtf8());
    db::Session& session = db::Session::instance();
    auto pointAt = [&](const QString& company) {
        db::Session writer;
        writer.addAlias(QStringLiteral("MAGNIS"), company);
        writer.addAlias(QStringLiteral("KRV_PRIV"), dir.sub(QStringLiteral("privat")));
        writer.saveConfigFile(config);
    };
    auto catalogCode = [&] {
        db::Table catalog;
        catalog.setDatabaseName(QStringLiteral("MAGNIS"));
        catalog.setTableName(QStringLiteral("CATALOG.DB"));
        catalog.open();
        return catalog.fieldByName("Cod")->asString();
    };
    VelAddOnMainForm(&owner);
    pointAt(first);
    changeDB(first);
    EXPECT_EQ(catalogCode(), "PF01");
    EXPECT_TRUE(session.findDatabase(QStringLiteral("MAGNIS")).isConnected());

    pointAt(second);
    changeDB(second);
    EXPECT_FALSE(session.findDatabase(QStringLiteral("MAGNIS")).isConnected())
        << "the first company is let go";
    EXPECT_EQ(catalogCode(), "PF02");
    qunsetenv("LUMBRA_ENGINE_CONFIG");
    session.findDatabase(QStringLiteral("MAGNIS")).close();
}

TEST_F(ModuleInProcess, NetControlDirComesFromTheHostSettingsFileWhenSet) {
    db::Session::instance().setNetFileDir("/retea/veche");
    struct Case {
        const char* content;
        const char* expected;
    };
    for (const Case& c : {Case{"[Initial]\r\nAltceva=1\r\n", "/retea/veche"},
                          Case{"[Initial]\r\nNetControlDir=\r\n", "/retea/veche"},
                          Case{"[initial]\r\nnetcontroldir=/retea/noua\r\n", "/retea/noua"}}) {
        QFile f(TDummyModule::hostSettingsFileName());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();
        VelAddOnMainForm(&owner);
        EXPECT_EQ(db::Session::instance().netFileDir(), c.expected) << c.content;
        delete DummyModule;
    }
    QFile::remove(TDummyModule::hostSettingsFileName());
}

TEST_F(ModuleInProcess, ChangeDBWithoutDataModuleIsHarmless) {
    ASSERT_EQ(QDMDataModule, nullptr);
    changeDB(dir.path());
    EXPECT_EQ(VelAddOnDocInForm(nullptr, nullptr), nullptr);
}

} // namespace
