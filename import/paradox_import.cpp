#include "import/paradox_import.h"

#include "company/company_directory.h"
#include "host/company_schema.h"
#include "import/paradox_table.h"
#include "platform/base/cp1250.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace paradox {

namespace {

const QString kAlias = QStringLiteral("LUMBRA_IMPORT_PARADOX");
const QString kSettingsFile = QStringLiteral("KRVDEF.INI");
// Day 1 of a file's dates is 1 January of year 1; this is that day's Julian day less one.
constexpr qint64 kJulianOfDayZero = 1721425;
constexpr qint64 kProgressEvery = 8192;
// Records written by one statement.
constexpr qsizetype kBatch = 64;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool isRecipeTable(const db::TableDef& def) {
    return db::storedTableName(def.name).compare(QStringLiteral("Reteta"), Qt::CaseInsensitive) ==
           0;
}

QList<db::TableDef> companyTables(const QList<db::TableDef>& addOnTables) {
    QList<db::TableDef> tables = company::hostTables() + addOnTables;
    if (std::none_of(addOnTables.begin(), addOnTables.end(), isRecipeTable))
        tables << company::addOnRecipeTable();
    return tables;
}

// Whether a file's values of this type become the field's without loss.
bool compatible(FieldCode code, db::FieldType type) {
    switch (type) {
    case db::FieldType::Text:
        return code == FieldCode::Alpha;
    case db::FieldType::Float:
        return code == FieldCode::Number || code == FieldCode::Currency ||
               code == FieldCode::Short || code == FieldCode::Long ||
               code == FieldCode::AutoIncrement;
    case db::FieldType::Integer:
        return code == FieldCode::Short || code == FieldCode::Long ||
               code == FieldCode::AutoIncrement;
    case db::FieldType::Date:
        return code == FieldCode::Date;
    case db::FieldType::Boolean:
        return code == FieldCode::Logical;
    }
    return false;
}

QString targetTypeName(const db::FieldDef& f) {
    switch (f.type) {
    case db::FieldType::Text:
        return QStringLiteral("text(%1)").arg(f.size > 0 ? f.size : db::kDefaultTextWidth);
    case db::FieldType::Float:
        return QStringLiteral("număr");
    case db::FieldType::Integer:
        return QStringLiteral("întreg");
    case db::FieldType::Date:
        return QStringLiteral("dată");
    case db::FieldType::Boolean:
        return QStringLiteral("logic");
    }
    return QString();
}

QString quoted(const QString& text) {
    const int kShown = 60;
    return QStringLiteral("«%1»").arg(text.size() > kShown ? text.left(kShown) + QStringLiteral("…")
                                                           : text);
}

QString shownValue(const QVariant& v) {
    if (db::isNullValue(v))
        return QStringLiteral("(gol)");
    switch (v.typeId()) {
    case QMetaType::Double:
        return base::formatFloatGeneral(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("da") : QStringLiteral("nu");
    default:
        return quoted(v.toString());
    }
}

// Converts a value of the file (as ParadoxTable::value answers it) to the field's. Answers an
// empty string, or why the value does not fit.
QString convert(const QVariant& raw, FieldCode code, const db::FieldDef& target, QVariant& out) {
    out = QVariant();
    if (db::isNullValue(raw))
        return QString();
    switch (target.type) {
    case db::FieldType::Text: {
        const QByteArray bytes = raw.toByteArray();
        const QString text = base::cp1250::decode(bytes);
        const qsizetype bad = text.indexOf(QChar(0xFFFD));
        if (bad >= 0)
            return QStringLiteral("textul %1 are octetul 0x%2, care nu este un caracter în code "
                                  "page 1250")
                .arg(quoted(text))
                .arg(unsigned(static_cast<unsigned char>(bytes[bad])), 2, 16, QLatin1Char('0'));
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char(' '); }))
            return QString(); // a text of blanks is empty, as the engine keeps it
        const int width = target.size > 0 ? target.size : db::kDefaultTextWidth;
        if (text.size() > width)
            return QStringLiteral("textul %1 are %2 caractere, câmpul primește cel mult %3")
                .arg(quoted(text))
                .arg(text.size())
                .arg(width);
        out = text;
        return QString();
    }
    case db::FieldType::Float: {
        const double d = code == FieldCode::Number || code == FieldCode::Currency
                             ? raw.toDouble()
                             : double(raw.toLongLong());
        if (!std::isfinite(d))
            return QStringLiteral("valoarea nu este un număr finit");
        out = d;
        return QString();
    }
    case db::FieldType::Integer: {
        const qint64 n = raw.toLongLong();
        if (n < INT_MIN || n > INT_MAX)
            return QStringLiteral("întregul %1 nu încape în câmp").arg(n);
        out = int(n);
        return QString();
    }
    case db::FieldType::Date: {
        const qint64 day = raw.toLongLong();
        static const qint64 last = QDate(9999, 12, 31).toJulianDay() - kJulianOfDayZero;
        if (day < 1 || day > last)
            return QStringLiteral("data (ziua %1 de la 01.01.0001) este în afara calendarului "
                                  "(01.01.0001 – 31.12.9999)")
                .arg(day);
        out = QDate::fromJulianDay(day + kJulianOfDayZero);
        return QString();
    }
    case db::FieldType::Boolean:
        out = raw.toBool();
        return QString();
    }
    return QString();
}

// The key of a record as bytes that are equal exactly when the engine's index takes two keys as
// the same: texts as stored, numbers by value (0 and -0 alike), dates by day; an empty value is
// a value of its own, equal only to another empty one.
QByteArray keyBytes(const QVariantList& values, const QList<int>& keyFields) {
    QByteArray key;
    for (int f : keyFields) {
        const QVariant& v = values[f];
        if (db::isNullValue(v)) {
            key.append('\0');
            continue;
        }
        key.append('\1');
        switch (v.typeId()) {
        case QMetaType::Double: {
            double d = v.toDouble();
            if (d == 0)
                d = 0;
            key.append(reinterpret_cast<const char*>(&d), sizeof d);
            break;
        }
        case QMetaType::QDate: {
            const qint64 j = v.toDate().toJulianDay();
            key.append(reinterpret_cast<const char*>(&j), sizeof j);
            break;
        }
        default: {
            const QByteArray text = v.toString().toUtf8();
            const qint32 n = qint32(text.size());
            key.append(reinterpret_cast<const char*>(&n), sizeof n);
            key.append(text);
        }
        }
    }
    return key;
}

QString shownKey(const db::TableDef& def, const QVariantList& values, const QList<int>& keyFields) {
    QStringList names, shown;
    for (int f : keyFields) {
        names << def.fields[f].name;
        shown << shownValue(values[f]);
    }
    return QStringLiteral("%1 = %2").arg(names.join(QStringLiteral(", ")),
                                         shown.join(QStringLiteral(", ")));
}

struct SourceFiles {
    QHash<QString, QString> byTable; // stored table name (upper case) -> file path
    QStringList unmatched;           // .DB files of no table of the company
    QString settings;                // KRVDEF.INI, empty when missing
};

SourceFiles findSourceFiles(const QString& directory, const QList<db::TableDef>& tables) {
    SourceFiles found;
    QHash<QString, QString> wanted;
    for (const db::TableDef& t : tables)
        wanted.insert(db::storedTableName(t.name).toUpper(), t.name);
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (info.fileName().compare(kSettingsFile, Qt::CaseInsensitive) == 0) {
            found.settings = info.absoluteFilePath();
            continue;
        }
        const QString suffix = info.suffix();
        // The table's data file; its indexes (.PX, .Xnn, .Ynn), memos (.MB) and validity
        // checks (.VAL) are not read.
        if (!suffix.isEmpty() && suffix.compare(QStringLiteral("db"), Qt::CaseInsensitive) != 0)
            continue;
        const QString table = info.completeBaseName().toUpper();
        if (!wanted.contains(table)) {
            if (!suffix.isEmpty())
                found.unmatched << info.fileName();
            continue;
        }
        if (found.byTable.contains(table))
            throw ImportRefused(
                QStringLiteral("Directorul %1 are două fișiere pentru tabela %2: %3 și %4.")
                    .arg(native(directory), wanted.value(table),
                         QFileInfo(found.byTable.value(table)).fileName(), info.fileName()));
        found.byTable.insert(table, info.absoluteFilePath());
    }
    return found;
}

// Reads one file into its table. Answers the table's summary; refusals and notes go to the
// outcome.
class TableImport {
public:
    TableImport(const db::TableDef& def, const QString& file, db::Database& database,
                const ImportRequest& request, ImportOutcome& outcome)
        : m_def(def), m_file(file), m_database(database), m_connection(database.connection()),
          m_request(request), m_outcome(outcome) {}

    TableSummary run();

private:
    void refuse(qint64 record, const QString& why) {
        m_outcome.refused
            << QStringLiteral("%1, înregistrarea %2: %3").arg(m_def.name).arg(record + 1).arg(why);
    }
    void mapFields();
    QVariantList convertRecord(qint64 record, bool& refused);
    bool keyTaken(qint64 record, const QVariantList& values);
    void progress(qint64 done);

    const db::TableDef& m_def;
    QString m_file;
    db::Database& m_database;
    db::Connection& m_connection;
    const ImportRequest& m_request;
    ImportOutcome& m_outcome;
    std::unique_ptr<ParadoxTable> m_table;
    // For each field of the file: the company's field it fills, -1 for none.
    QList<int> m_target;
    QList<bool> m_compatible;
    QList<int> m_keyFields;
    // The hash of each key taken -> the record that holds it; keys whose hash another key
    // already has are kept apart (a rare case, searched one by one).
    std::unordered_map<size_t, qint64> m_keys;
    std::vector<std::pair<size_t, qint64>> m_sharedHashes;
};

void TableImport::progress(qint64 done) {
    if (m_request.progress &&
        !m_request.progress(m_def.name, done, m_table ? m_table->recordCount() : 0))
        throw ImportCancelled();
}

void TableImport::mapFields() {
    const QList<ParadoxTable::Field>& fields = m_table->fields();
    QList<bool> filled(m_def.fields.size(), false);
    for (const ParadoxTable::Field& f : fields) {
        int target = -1;
        for (qsizetype i = 0; i < m_def.fields.size(); ++i)
            if (m_def.fields[i].name.compare(f.name, Qt::CaseInsensitive) == 0)
                target = int(i);
        bool ok = target >= 0;
        if (target < 0) {
            m_outcome.refused << QStringLiteral("%1: câmpul %2 al fișierului nu există în tabela "
                                                "firmei; valorile lui nu pot fi importate")
                                     .arg(m_def.name, f.name);
        } else if (filled[target]) {
            m_outcome.refused << QStringLiteral("%1: câmpul %2 apare de două ori în fișier; a "
                                                "doua oară nu este importat")
                                     .arg(m_def.name, f.name);
            target = -1;
            ok = false;
        } else {
            filled[target] = true;
            ok = compatible(f.code, m_def.fields[target].type);
            if (!ok)
                m_outcome.refused << QStringLiteral(
                                         "%1: câmpul %2 este de tipul %3 în fișier și %4 în "
                                         "firmă; fiecare înregistrare în care are o valoare "
                                         "este refuzată")
                                         .arg(m_def.name, f.name, fieldCodeName(f.code),
                                              targetTypeName(m_def.fields[target]));
        }
        m_target << target;
        m_compatible << ok;
    }
    for (qsizetype i = 0; i < m_def.fields.size(); ++i)
        if (!filled[i])
            m_outcome.notes << QStringLiteral("%1: fișierul nu are câmpul %2; rămâne gol")
                                   .arg(m_def.name, m_def.fields[i].name);
}

QVariantList TableImport::convertRecord(qint64 record, bool& refused) {
    refused = false;
    const unsigned char* bytes = m_table->record(record);
    QVariantList values(m_def.fields.size());
    for (qsizetype i = 0; i < m_target.size(); ++i) {
        const int target = m_target[i];
        if (target < 0)
            continue;
        const ParadoxTable::Field& f = m_table->fields()[i];
        if (!m_compatible[i]) {
            if (ParadoxTable::holdsData(bytes, f)) {
                refuse(record, QStringLiteral("câmpul %1 are o valoare de tipul %2, câmpul firmei "
                                              "este %3")
                                   .arg(f.name, fieldCodeName(f.code),
                                        targetTypeName(m_def.fields[target])));
                refused = true;
            }
            continue;
        }
        const QString why =
            convert(m_table->value(bytes, int(i)), f.code, m_def.fields[target], values[target]);
        if (!why.isEmpty()) {
            refuse(record, QStringLiteral("câmpul %1: %2").arg(f.name, why));
            refused = true;
        }
    }
    return values;
}

bool TableImport::keyTaken(qint64 record, const QVariantList& values) {
    if (m_keyFields.isEmpty())
        return false;
    const QByteArray key = keyBytes(values, m_keyFields);
    const size_t hash = qHash(key);
    const auto [found, inserted] = m_keys.try_emplace(hash, record);
    if (inserted)
        return false;
    // The earlier records are read again from the file: only hashes are kept.
    auto sameKeyAs = [&](qint64 earlierRecord) {
        bool refused = false;
        const QVariantList earlier = convertRecord(earlierRecord, refused);
        if (keyBytes(earlier, m_keyFields) != key)
            return false;
        refuse(record, QStringLiteral("are aceeași cheie (%1) ca înregistrarea %2")
                           .arg(shownKey(m_def, values, m_keyFields))
                           .arg(earlierRecord + 1));
        return true;
    };
    if (sameKeyAs(found->second))
        return true;
    for (const auto& [h, r] : m_sharedHashes)
        if (h == hash && sameKeyAs(r))
            return true;
    m_sharedHashes.emplace_back(hash, record);
    return false;
}

TableSummary TableImport::run() {
    TableSummary summary{m_def.name, m_file, 0, 0, 0};
    db::TableDef bare = m_def;
    bare.indexes.clear();
    // The table is created without its indexes, filled, then indexed: one sort instead of an
    // index update per record.
    m_database.createTable(bare);
    if (m_file.isEmpty()) {
        m_outcome.notes
            << QStringLiteral("%1: directorul nu are tabela; este creată goală").arg(m_def.name);
    } else {
        try {
            m_table = std::make_unique<ParadoxTable>(m_file);
        } catch (const FileRefused& e) {
            m_outcome.refused << QStringLiteral("%1: %2").arg(m_def.name, e.message());
        }
    }
    if (m_table) {
        summary.read = m_table->recordCount();
        mapFields();
        for (const db::IndexDef& index : m_def.indexes)
            if (index.primary)
                for (const QString& name : index.fields)
                    for (qsizetype i = 0; i < m_def.fields.size(); ++i)
                        if (m_def.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
                            m_keyFields << int(i);
        m_keys.reserve(std::size_t(summary.read));
        const db::Dialect& dialect = m_connection.dialect();
        QStringList columns;
        for (const db::FieldDef& f : m_def.fields)
            columns << dialect.identifier(f.name);
        // The parameters of `records` records, numbered on through the statement.
        auto rows = [&](qsizetype records) {
            QStringList out;
            int parameter = 0;
            for (qsizetype r = 0; r < records; ++r) {
                QStringList marks;
                for (qsizetype i = 0; i < m_def.fields.size(); ++i)
                    marks << dialect.parameter(++parameter);
                out << QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            return out.join(QStringLiteral(", "));
        };
        // Records go in batches of kBatch per statement, the rest one by one: one statement
        // per record would cost a round trip each on a server.
        const QString into = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                                 .arg(dialect.table(db::storedTableName(m_def.name)),
                                      columns.join(QStringLiteral(", ")));
        auto insertOne = m_connection.prepare(into + rows(1));
        std::shared_ptr<db::Statement> insertBatch;
        QList<QVariantList> pending;
        auto write = [&](db::Statement& statement, qsizetype count) {
            db::StatementUse use(statement);
            int parameter = 1;
            for (qsizetype p = 0; p < count; ++p)
                for (qsizetype i = 0; i < pending[p].size(); ++i)
                    statement.bind(parameter++, db::toStored(m_def.fields[i].type, pending[p][i]));
            statement.step();
        };
        auto flush = [&](bool all) {
            if (pending.size() == kBatch) {
                if (!insertBatch)
                    insertBatch = m_connection.prepare(into + rows(kBatch));
                write(*insertBatch, kBatch);
                pending.clear();
            }
            if (all) {
                for (qsizetype p = 0; p < pending.size(); ++p) {
                    db::StatementUse use(*insertOne);
                    for (qsizetype i = 0; i < pending[p].size(); ++i)
                        insertOne->bind(int(i) + 1,
                                        db::toStored(m_def.fields[i].type, pending[p][i]));
                    insertOne->step();
                }
                pending.clear();
            }
        };
        progress(0);
        for (qint64 r = 0; r < summary.read; ++r) {
            if (r % kProgressEvery == 0 && r > 0)
                progress(r);
            bool refused = false;
            QVariantList values = convertRecord(r, refused);
            if (refused || keyTaken(r, values)) {
                ++summary.refused;
                continue;
            }
            pending << std::move(values);
            ++summary.written;
            flush(false);
        }
        flush(true);
        progress(summary.read);
    }
    m_connection.noteWrite();
    for (const db::IndexDef& index : m_def.indexes)
        m_database.addIndex(m_def.name, index);
    return summary;
}

// Takes away what the import made: the directory when it made it, else what it put in it.
void removeCompany(const QString& directory, bool madeDirectory) {
    QDir dir(directory);
    if (madeDirectory) {
        dir.removeRecursively();
        return;
    }
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (info.isDir() && !info.isSymLink())
            QDir(info.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(info.absoluteFilePath());
    }
}

void copySettings(const QString& from, const QString& directory) {
    const QString to = QDir(directory).filePath(kSettingsFile);
    if (!QFile::copy(from, to))
        throw ImportRefused(QStringLiteral("Fișierul %1 nu a putut fi copiat în %2.")
                                .arg(native(from), native(directory)));
}

void writeLine(const QString& file, const QString& line) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(line.toUtf8()) < 0 || !f.commit())
        throw ImportRefused(QStringLiteral("Fișierul %1 nu a putut fi scris.").arg(native(file)));
}

// Writes the company; answers true when it was committed.
bool writeCompany(const ImportRequest& request, const QList<db::TableDef>& tables,
                  const SourceFiles& files, ImportOutcome& outcome) {
    db::Session session;
    session.addAlias(kAlias, request.server.isEmpty() ? request.companyDirectory : request.server);
    db::Database database(kAlias, &session);
    if (!request.server.isEmpty()) {
        const QStringList existing = database.tableNames();
        if (!existing.isEmpty())
            throw ImportRefused(QStringLiteral("Serverul %1 are deja tabele (%2); firma nouă se "
                                               "scrie doar într-o schemă fără tabele.")
                                    .arg(request.server, existing.join(QStringLiteral(", "))));
    }
    database.startTransaction();
    try {
        for (const db::TableDef& def : tables) {
            const QString file = files.byTable.value(db::storedTableName(def.name).toUpper());
            outcome.tables << TableImport(def, file, database, request, outcome).run();
        }
        if (files.settings.isEmpty())
            outcome.notes << QStringLiteral("Directorul nu are fișierul %1; setările producției "
                                            "rămân cele implicite")
                                 .arg(kSettingsFile);
        for (const QString& f : files.unmatched)
            outcome.notes << QStringLiteral("Fișierul %1 nu este o tabelă a firmei; nu a fost "
                                            "importat")
                                 .arg(f);
        const bool write = !request.dryRun && (outcome.refused.isEmpty() || request.acceptRefused);
        if (!write) {
            database.rollback();
            return false;
        }
        // The company's own files go in before the commit: a company written always has them.
        if (!files.settings.isEmpty())
            copySettings(files.settings, request.companyDirectory);
        if (!request.server.isEmpty())
            writeLine(QDir(request.companyDirectory)
                          .filePath(QString::fromLatin1(db::kServerLocationFile)),
                      request.server + QLatin1Char('\n'));
        database.commit();
    } catch (...) {
        if (database.inTransaction())
            database.rollback();
        throw;
    }
    outcome.written = true;
    return true;
}

} // namespace

ImportRefused::ImportRefused(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8().toStdString()) {}

QStringList importedTableNames() {
    QStringList names;
    for (const db::TableDef& t : companyTables({}))
        names << t.name;
    return names;
}

QString reportFileFor(const QString& companyDirectory) {
    const QString clean = QDir::cleanPath(QDir(companyDirectory).absolutePath());
    return clean + QStringLiteral("-import-paradox.txt");
}

namespace {

// A folder name as a person gave it: a control character refused, "." and ".." resolved, so
// that the messages name the folders actually read and written.
QString checkedFolder(const QString& name) {
    if (name.isEmpty())
        return name;
    try {
        return company::checkedPath(name);
    } catch (const company::CompanyRefused& e) {
        throw ImportRefused(e.message());
    }
}

} // namespace

ImportOutcome importCompany(const ImportRequest& asked) {
    ImportRequest request = asked;
    request.sourceDirectory = checkedFolder(asked.sourceDirectory);
    request.companyDirectory = checkedFolder(asked.companyDirectory);
    const QString source = request.sourceDirectory;
    if (source.isEmpty() || !QFileInfo(source).isDir())
        throw ImportRefused(
            QStringLiteral("Directorul tabelelor Paradox %1 nu există.").arg(native(source)));
    if (request.companyDirectory.isEmpty())
        throw ImportRefused(QStringLiteral("Lipsește directorul firmei noi."));
    if (!request.server.isEmpty() && !db::isServerLocation(request.server))
        throw ImportRefused(QStringLiteral("%1 nu numește un server: aliasul începe cu postgres:.")
                                .arg(request.server));
    const QString company = QDir(request.companyDirectory).absolutePath();
    const QFileInfo companyInfo(company);
    if (companyInfo.exists() && !companyInfo.isDir())
        throw ImportRefused(
            QStringLiteral("%1 există și nu este un director.").arg(native(company)));
    if (companyInfo.exists() &&
        !QDir(company)
             .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
             .isEmpty())
        throw ImportRefused(QStringLiteral("Directorul %1 nu este gol; firma nouă se creează "
                                           "într-un director nou sau gol.")
                                .arg(native(company)));

    const QList<db::TableDef> tables = companyTables(request.addOnTables);
    const SourceFiles files = findSourceFiles(source, tables);
    const bool made = !companyInfo.exists();
    if (!QDir().mkpath(company))
        throw ImportRefused(
            QStringLiteral("Directorul %1 nu poate fi creat.").arg(native(company)));

    ImportRequest effective = request;
    effective.companyDirectory = company;
    ImportOutcome outcome;
    bool kept = false;
    try {
        kept = writeCompany(effective, tables, files, outcome);
    } catch (...) {
        removeCompany(company, made);
        throw;
    }
    if (!kept) {
        removeCompany(company, made);
        return outcome;
    }
    if (!outcome.refused.isEmpty()) {
        // The company is written; a report that cannot be written is said, not thrown.
        const QString file = reportFileFor(company);
        QSaveFile f(file);
        if (f.open(QIODevice::WriteOnly) && f.write(reportText(effective, outcome).toUtf8()) >= 0 &&
            f.commit())
            outcome.reportFile = file;
        else
            outcome.notes << QStringLiteral("Raportul nu a putut fi scris în %1").arg(native(file));
    }
    return outcome;
}

QString summaryTable(const ImportOutcome& outcome) {
    QString text;
    QTextStream out(&text);
    int nameWidth = 6, fileWidth = 7;
    for (const TableSummary& t : outcome.tables) {
        nameWidth = std::max(nameWidth, int(t.table.size()));
        fileWidth = std::max(fileWidth, int(QFileInfo(t.file).fileName().size()));
    }
    out << QStringLiteral("Tabela").leftJustified(nameWidth) << "  "
        << QStringLiteral("Fișier").leftJustified(fileWidth) << "  " << QStringLiteral("Citite")
        << "  " << QStringLiteral("Scrise") << "  " << QStringLiteral("Refuzate") << '\n';
    for (const TableSummary& t : outcome.tables)
        out << t.table.leftJustified(nameWidth) << "  "
            << (t.file.isEmpty() ? QStringLiteral("-") : QFileInfo(t.file).fileName())
                   .leftJustified(fileWidth)
            << "  " << QString::number(t.read).rightJustified(6) << "  "
            << QString::number(t.written).rightJustified(6) << "  "
            << QString::number(t.refused).rightJustified(8) << '\n';
    out.flush();
    return text;
}

QString reportText(const ImportRequest& request, const ImportOutcome& outcome) {
    QString text;
    QTextStream out(&text);
    out << QStringLiteral("Import din tabelele Paradox din %1 în firma %2")
               .arg(native(request.sourceDirectory), native(request.companyDirectory));
    if (!request.server.isEmpty())
        out << QStringLiteral(" (tabelele pe serverul %1)").arg(request.server);
    out << "\n\n" << summaryTable(outcome);
    if (!outcome.notes.isEmpty()) {
        out << QStringLiteral("\nDe știut:\n");
        for (const QString& n : outcome.notes)
            out << "  " << n << '\n';
    }
    if (!outcome.refused.isEmpty()) {
        out << QStringLiteral("\nRefuzate:\n");
        for (const QString& r : outcome.refused)
            out << "  " << r << '\n';
    }
    out.flush();
    return text;
}

} // namespace paradox
