#include "platform/base/errors.h"
#include "platform/store/registry_store.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Calbrik\\Merovan");

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { store::setRegistryRoot(m_dir.path()); }
    void TearDown() override { store::setRegistryRoot(QString()); }

    testsupport::TempDir m_dir;
};

TEST_F(RegistryStoreTest, ValueWrittenByOneStoreIsReadByAFreshOne) {
    const QString dir = QStringLiteral("/srv/firme/Fabrica Ţesătoria Ștefănești/");
    {
        store::RegistryStore writer;
        ASSERT_TRUE(writer.openKey(kKey, true));
        writer.writeString(QStringLiteral("LastDatabaseDir"), dir);
    }
    store::RegistryStore reader;
    ASSERT_TRUE(reader.openKey(QStringLiteral("SOFTWARE\\calbrik\\MEROVAN\\"), false));
    EXPECT_EQ(reader.readString(QStringLiteral("lastdatabasedir")), dir);
    EXPECT_EQ(reader.readString(QStringLiteral("Other")), std::nullopt);
    // One directory per key, spelt as created, whatever the case of later openings.
    EXPECT_TRUE(QDir(m_dir.path() + QStringLiteral("/Software/Calbrik/Merovan")).exists());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

TEST_F(RegistryStoreTest, MissingKeyIsCreatedOnlyWhenAsked) {
    store::RegistryStore reg;
    EXPECT_FALSE(reg.openKey(kKey, false));
    EXPECT_FALSE(reg.hasOpenKey());
    EXPECT_THROW(reg.readString(QStringLiteral("LastDatabaseDir")), base::Error);
    ASSERT_TRUE(reg.openKey(kKey, true));
    EXPECT_EQ(reg.readString(QStringLiteral("LastDatabaseDir")), std::nullopt);
}

TEST_F(RegistryStoreTest, OverwriteKeepsNameSpellingAndDeleteRemoves) {
    store::RegistryStore reg;
    ASSERT_TRUE(reg.openKey(kKey, true));
    reg.writeString(QStringLiteral("LastDatabaseDir"), QStringLiteral("a"));
    reg.writeString(QStringLiteral("LASTDATABASEDIR"), QStringLiteral(""));
    EXPECT_EQ(reg.readString(QStringLiteral("LastDatabaseDir")), QString(""));
    EXPECT_TRUE(reg.deleteValue(QStringLiteral("lastDatabaseDir")));
    EXPECT_FALSE(reg.deleteValue(QStringLiteral("LastDatabaseDir")));
    EXPECT_EQ(reg.readString(QStringLiteral("LastDatabaseDir")), std::nullopt);
    // Nothing but the values file is left beside the key: no lock or temporary files.
    EXPECT_EQ(QDir(m_dir.path() + QStringLiteral("/Software/Calbrik/Merovan"))
                  .entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral(".values")});
}

TEST_F(RegistryStoreTest, DamagedValuesFileIsReportedNotOverwritten) {
    store::RegistryStore reg;
    ASSERT_TRUE(reg.openKey(kKey, true));
    QFile file(m_dir.path() + QStringLiteral("/Software/Calbrik/Merovan/.values"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ half written");
    file.close();
    EXPECT_THROW(reg.readString(QStringLiteral("x")), base::Error);
    EXPECT_THROW(reg.writeString(QStringLiteral("x"), QStringLiteral("y")), base::Error);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("{ half written"));
}

TEST_F(RegistryStoreTest, KeyNamesThatWouldLeaveTheTreeAreRefused) {
    store::RegistryStore reg;
    for (const char* path : {"Software\\..\\..\\etc", "Software\\a/b", "Software\\.values"})
        EXPECT_THROW(reg.openKey(QString::fromLatin1(path), true), base::Error) << path;
}

TEST_F(RegistryStoreTest, RootComesFromSetterThenEnvironmentThenXdg) {
    const QByteArray oldRoot = qgetenv("LUMBRA_REGISTRY_ROOT");
    const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("LUMBRA_REGISTRY_ROOT", "/tmp/from-env");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg");
    EXPECT_EQ(store::registryRoot(), m_dir.path());
    store::setRegistryRoot(QString());
    EXPECT_EQ(store::registryRoot(), QStringLiteral("/tmp/from-env"));
    qunsetenv("LUMBRA_REGISTRY_ROOT");
    EXPECT_EQ(store::registryRoot(), QStringLiteral("/tmp/xdg/lumbra/registry"));
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(store::registryRoot(), QDir::homePath() + QStringLiteral("/.config/lumbra/registry"));
    oldRoot.isNull() ? qunsetenv("LUMBRA_REGISTRY_ROOT") : qputenv("LUMBRA_REGISTRY_ROOT", oldRoot);
    oldXdg.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldXdg);
}

} // namespace
