// The demo company written out as Paradox tables and imported back: every table holds the same
// records, field for field (numbers bit for bit), with the same structure and keys.
#include "host/demo_company.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table_name.h"
#include "tests/import/import_fixture.h"

#include <QFile>

#include <cstring>

namespace pxtest {
namespace {

// Every record of every table as text, numbers by their bits, in the order entered.
QMap<QString, QStringList> contents(const QString& location) {
    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), location);
    db::Database database(QStringLiteral("FIRMA"), &session);
    QMap<QString, QStringList> out;
    for (const QString& name : database.tableNames()) {
        const db::TableDef def = database.tableStructure(name);
        QStringList select, lines;
        for (const db::FieldDef& f : def.fields)
            select << db::quoteIdentifier(f.name);
        auto s = database.connection().prepareQuery(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                .arg(select.join(QStringLiteral(", ")),
                     db::quoteIdentifier(db::storedTableName(name))));
        db::StatementUse use(*s);
        while (s->step()) {
            QStringList values;
            for (qsizetype i = 0; i < def.fields.size(); ++i) {
                const QVariant v = s->column(int(i), def.fields[i].type);
                if (v.typeId() == QMetaType::Double) {
                    const double d = v.toDouble();
                    quint64 bits = 0;
                    std::memcpy(&bits, &d, sizeof d);
                    values << QString::number(bits, 16);
                } else {
                    values << (v.isNull() ? QStringLiteral("<gol>") : v.toString());
                }
            }
            lines << values.join(QLatin1Char('|'));
        }
        QStringList structure;
        for (const db::FieldDef& f : def.fields)
            structure
                << QStringLiteral("%1 %2 %3").arg(f.name, db::fieldTypeName(f.type)).arg(f.size);
        for (const db::IndexDef& i : def.indexes)
            structure << QStringLiteral("index %1%2 %3")
                             .arg(i.primary ? QStringLiteral("primar") : i.name,
                                  i.unique ? QStringLiteral(" unic") : QString(),
                                  i.fields.join(QLatin1Char(';')));
        out.insert(db::storedTableName(name).toUpper(), structure + lines);
    }
    return out;
}

TEST_F(ImportTest, DemoCompanyComesBackTableByTable) {
    const QString demo = dir.sub(QStringLiteral("demo"));
    ASSERT_TRUE(host::createDemoCompany(demo, {}));
    {
        db::Session session;
        session.addAlias(QStringLiteral("DEMO"), demo);
        db::Database database(QStringLiteral("DEMO"), &session);
        exportDatabase(database, source);
    }
    ASSERT_TRUE(QFile::copy(QDir(demo).filePath(QStringLiteral("KRVDEF.INI")),
                            file(QStringLiteral("KRVDEF.INI"))));
    const paradox::ImportOutcome outcome = run();
    ASSERT_TRUE(outcome.written) << joined(outcome.refused);
    EXPECT_TRUE(outcome.refused.isEmpty()) << joined(outcome.refused);
    for (const paradox::TableSummary& t : outcome.tables) {
        EXPECT_FALSE(t.file.isEmpty()) << t.table.toStdString();
        EXPECT_EQ(t.written, t.read) << t.table.toStdString();
    }
    const QMap<QString, QStringList> before = contents(demo), after = contents(company);
    EXPECT_EQ(before.keys(), after.keys());
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(it.value(), after.value(it.key())) << it.key().toStdString();
    QFile a(QDir(demo).filePath(QStringLiteral("KRVDEF.INI")));
    QFile b(QDir(company).filePath(QStringLiteral("KRVDEF.INI")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

} // namespace
} // namespace pxtest
