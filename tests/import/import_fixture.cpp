#include "tests/import/import_fixture.h"

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table_name.h"
#include "tests/support/test_server.h"

namespace pxtest {

paradox::ImportRequest ImportTest::request() const {
    paradox::ImportRequest r;
    r.sourceDirectory = source;
    r.companyDirectory = company;
    if (testsupport::onServer())
        r.server = testsupport::companyLocation(company);
    return r;
}

paradox::ImportOutcome ImportTest::run(bool acceptRefused, bool dryRun) {
    paradox::ImportRequest r = request();
    r.acceptRefused = acceptRefused;
    r.dryRun = dryRun;
    return paradox::importCompany(r);
}

QList<QVariantList> ImportTest::rows(const QString& table, const QStringList& fields) const {
    db::Session session;
    session.addAlias(QStringLiteral("FIRMA"), company);
    db::Database database(QStringLiteral("FIRMA"), &session);
    const db::TableDef def = database.tableStructure(table);
    QStringList select;
    QList<db::FieldType> types;
    for (const QString& f : fields) {
        select << db::quoteIdentifier(f);
        for (const db::FieldDef& d : def.fields)
            if (d.name.compare(f, Qt::CaseInsensitive) == 0)
                types << d.type;
    }
    EXPECT_EQ(types.size(), fields.size()) << "a field is missing in " << table.toStdString();
    auto s = database.connection().prepareQuery(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
            .arg(select.join(QStringLiteral(", ")),
                 db::quoteIdentifier(db::storedTableName(table))));
    db::StatementUse use(*s);
    QList<QVariantList> out;
    while (s->step()) {
        QVariantList row;
        for (qsizetype i = 0; i < types.size(); ++i)
            row << s->column(int(i), types[i]);
        out << row;
    }
    return out;
}

QString ImportTest::writeStock(int n, const QString& name) {
    using paradox::FieldCode;
    QList<Row> records;
    for (int i = 0; i < n; ++i)
        records << Row{QStringLiteral("G1"),
                       QStringLiteral("MPF"),
                       QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0')),
                       QStringLiteral("L1"),
                       1.25 + i,
                       10.0 * i,
                       QStringLiteral("AP")};
    const QString path = file(name);
    writeTable(path,
               {{"Cod_gestiune", FieldCode::Alpha, 4},
                {"Cod_grupa", FieldCode::Alpha, 8},
                {"Cod_articol", FieldCode::Alpha, 30},
                {"Lot", FieldCode::Alpha, 30},
                {"Pret_achizitie", FieldCode::Number, 8},
                {"Cantitate", FieldCode::Number, 8},
                {"Agent", FieldCode::Alpha, 3}},
               records);
    return path;
}

std::string joined(const QStringList& lines) {
    return lines.join(QStringLiteral("\n  ")).toStdString();
}

bool anyContains(const QStringList& lines, const QString& part) {
    for (const QString& l : lines)
        if (l.contains(part))
            return true;
    return false;
}

} // namespace pxtest
