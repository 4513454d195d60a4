// The engine session at its edges: alias names in any letter case, a configuration file that is
// missing, written and read back, or cannot be written, and which database and connection a
// name reaches.
#include "db_fixture.h"

#include <QFile>

using namespace db;

namespace {

class SessionEdges : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(SessionEdges, AliasNamesIgnoreLetterCaseAndKeepTheirSpelling) {
    Session s;
    s.addAlias("KrvPriv", dir.sub("a"));
    EXPECT_TRUE(s.hasAlias("KRVPRIV"));
    EXPECT_TRUE(s.hasAlias("krvpriv"));
    EXPECT_EQ(s.aliasDirectory("kRvPrIv"), dir.sub("a"));
    EXPECT_EQ(s.aliasNames(), QStringList{"KrvPriv"});
    s.addAlias("KRVPRIV", dir.sub("b")); // the same alias, redefined
    EXPECT_EQ(s.aliasNames(), QStringList{"KRVPRIV"});
    EXPECT_EQ(s.aliasDirectory("KrvPriv"), dir.sub("b"));
    s.removeAlias("krvpriv");
    EXPECT_FALSE(s.hasAlias("KRVPRIV"));
    EXPECT_TRUE(s.aliasDirectory("KRVPRIV").isEmpty());
    EXPECT_TRUE(s.aliasNames().isEmpty());
}

TEST_F(SessionEdges, ConfigurationFileRoundTripAndAMissingOneDefinesNothing) {
    const QString path = dir.path() + "/cfg/engine.ini";
    Session empty;
    empty.loadConfigFile(path);
    empty.loadConfigFile(QString());
    EXPECT_TRUE(empty.aliasNames().isEmpty());
    EXPECT_TRUE(empty.netFileDir().isEmpty());

    Session writer;
    writer.addAlias("MAGNIS", dir.sub("firma"));
    writer.addAlias("Krv_Priv", dir.sub("privat"));
    writer.setNetFileDir(dir.sub("net"));
    writer.saveConfigFile(path);
    writer.removeAlias("MAGNIS");
    writer.saveConfigFile(path); // a removed alias leaves the file too

    Session reader;
    reader.setNetFileDir("/kept");
    reader.loadConfigFile(path);
    EXPECT_EQ(reader.aliasNames(), QStringList{"Krv_Priv"});
    EXPECT_EQ(reader.aliasDirectory("KRV_PRIV"), dir.sub("privat"));
    EXPECT_EQ(reader.netFileDir(), dir.sub("net"));

    // A file without a network directory keeps the one the session has.
    Session noNet;
    noNet.saveConfigFile(dir.path() + "/nonet.ini");
    reader.loadConfigFile(dir.path() + "/nonet.ini");
    EXPECT_EQ(reader.netFileDir(), dir.sub("net"));
}

TEST_F(SessionEdges, AConfigurationFileThatCannotBeWrittenIsAnError) {
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Session s;
    s.addAlias("A", dir.path());
    // Its folder would have to be inside a file.
    EXPECT_THROW(s.saveConfigFile(dir.path() + "/file/engine.ini"), base::DatabaseError);
}

// An alias the file cannot keep is refused before the file is touched, and a key without a name
// in a file defines no alias.
TEST_F(SessionEdges, AliasNamesTheFileCannotKeepAreRefusedAndTheFileLeftAsItWas) {
    const QString path = dir.path() + "/engine.ini";
    Session writer;
    writer.addAlias("KRVPROD", dir.sub("firma"));
    writer.saveConfigFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    for (const char* name : {"a/b", "a\\b", " "}) {
        Session s;
        s.addAlias("KRVPROD", dir.sub("alta"));
        s.addAlias(name, dir.path());
        EXPECT_THROW(s.saveConfigFile(path), base::DatabaseError) << name;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << name;
        file.close();
    }
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("=fara-nume\n");
    file.close();
    Session reader;
    reader.loadConfigFile(path);
    EXPECT_EQ(reader.aliasNames(), QStringList{"KRVPROD"});
}

TEST_F(SessionEdges, ANameReachesTheRegisteredDatabaseBeforeTheAliasOfThatName) {
    Session s;
    EXPECT_EQ(dbtest::errorKind([&] { s.findDatabase("NIMIC"); }),
              base::DatabaseError::Kind::NotConnected);
    s.addAlias("FIRMA", dir.sub("firma"));
    Database& implicit = s.findDatabase("firma");
    EXPECT_EQ(&s.findDatabase("FIRMA"), &implicit) << "one implicit database per alias";
    EXPECT_EQ(implicit.directory(), dir.sub("firma"));
    {
        Database named("Firma", &s);
        named.params() = {"PATH=" + dir.sub("alta")};
        EXPECT_EQ(&s.findDatabase("FIRMA"), &named) << "a database of that name takes precedence";
        EXPECT_EQ(named.directory(), dir.sub("alta"));
    }
    EXPECT_EQ(&s.findDatabase("FIRMA"), &implicit) << "and when it goes the alias is reached again";
}

TEST_F(SessionEdges, OneConnectionPerDirectoryHoweverItIsSpelled) {
    Session s;
    const QString d = dir.sub("firma");
    auto a = s.connect(d);
    auto b = s.connect(d + "/");
    auto c = s.connect(dir.path() + "/./firma/../firma");
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(a.get(), c.get());
    EXPECT_NE(a.get(), s.connect(dir.sub("alta")).get());
}

TEST_F(SessionEdges, TheDefaultConfigurationFileFollowsTheEnvironment) {
    const QByteArray saved = qgetenv("LUMBRA_ENGINE_CONFIG");
    qputenv("LUMBRA_ENGINE_CONFIG", QFile::encodeName(dir.path() + "/alt.ini"));
    EXPECT_EQ(Session::defaultConfigFile(), dir.path() + "/alt.ini");
    qunsetenv("LUMBRA_ENGINE_CONFIG");
    EXPECT_TRUE(Session::defaultConfigFile().endsWith("/lumbra/engine.ini"))
        << "the user's own folder";
    if (!saved.isEmpty())
        qputenv("LUMBRA_ENGINE_CONFIG", saved);
    EXPECT_EQ(&Session::instance(), &Session::instance()) << "one session for this side";
}

} // namespace
