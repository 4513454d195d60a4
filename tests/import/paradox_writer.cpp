#include "tests/import/paradox_writer.h"

#include "platform/base/cp1250.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/table_name.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
extern "C" {
#include <paradox.h>
}
#include <stdexcept>
#include <vector>

namespace pxtest {

namespace {

constexpr qint64 kJulianOfDayZero = 1721425;

int fixedLength(paradox::FieldCode code) {
    using paradox::FieldCode;
    switch (code) {
    case FieldCode::Date:
    case FieldCode::Long:
    case FieldCode::AutoIncrement:
    case FieldCode::Time:
        return 4;
    case FieldCode::Short:
        return 2;
    case FieldCode::Number:
    case FieldCode::Currency:
    case FieldCode::Timestamp:
        return 8;
    case FieldCode::Logical:
        return 1;
    case FieldCode::Bcd:
        return 17;
    default:
        return 0;
    }
}

} // namespace

struct TableWriter::Impl {
    pxdoc_t* doc = nullptr;
    QList<Column> columns;
    std::vector<char> record;
    QString path;
    std::vector<char> memory;
    std::FILE* stream = nullptr;
};

TableWriter::TableWriter(const QString& path, const QList<Column>& columns, qint64 expectedRecords)
    : m(new Impl) {
    PX_boot();
    QFile::remove(path);
    m->path = path;
    m->columns = columns;
    // The library owns the field array and the names once the file is created.
    auto* fields =
        static_cast<pxfield_t*>(std::calloc(std::size_t(columns.size()), sizeof(pxfield_t)));
    int size = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        Column& c = m->columns[i];
        if (c.length == 0)
            c.length = fixedLength(c.code);
        fields[i].px_fname = strdup(c.name.constData());
        fields[i].px_ftype = char(c.code);
        fields[i].px_flen = c.length;
        fields[i].px_fdc = 0;
        size += c.length;
    }
    m->record.assign(std::size_t(size), 0);
    // Blocks are never more than half empty while records are appended.
    m->memory.resize(std::size_t(std::max<qint64>(expectedRecords, 1000)) * std::size_t(size + 8) *
                         2 +
                     (std::size_t(1) << 20));
    m->stream = fmemopen(m->memory.data(), m->memory.size(), "w+");
    m->doc = PX_new();
    if (!m->stream ||
        PX_create_fp(m->doc, fields, int(columns.size()), m->stream, pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("the Paradox library cannot create " + path.toStdString());
}

TableWriter::~TableWriter() {
    try {
        close();
    } catch (const std::exception&) {
        // A writer left without close() is given up; close() says why it fails.
    }
    delete m;
}

void TableWriter::close() {
    if (!m->doc)
        return;
    PX_close(m->doc);
    PX_delete(m->doc);
    m->doc = nullptr;
    std::fflush(m->stream);
    std::fseek(m->stream, 0, SEEK_END);
    const long size = std::ftell(m->stream);
    std::fclose(m->stream);
    m->stream = nullptr;
    QFile f(m->path);
    if (size <= 0 || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(m->memory.data(), size) != size)
        throw std::runtime_error("cannot write " + m->path.toStdString());
}

void TableWriter::add(const Row& row) {
    using paradox::FieldCode;
    std::fill(m->record.begin(), m->record.end(), 0);
    int offset = 0;
    for (qsizetype i = 0; i < m->columns.size(); ++i) {
        const Column& c = m->columns[i];
        char* p = m->record.data() + offset;
        offset += c.length;
        const QVariant v = row.value(i);
        if (!v.isValid() || v.isNull())
            continue;
        switch (c.code) {
        case FieldCode::Alpha:
        case FieldCode::Bytes: {
            const QByteArray bytes = v.typeId() == QMetaType::QByteArray
                                         ? v.toByteArray()
                                         : base::cp1250::encode(v.toString());
            std::memcpy(p, bytes.constData(),
                        std::size_t(std::min<qsizetype>(bytes.size(), c.length)));
            break;
        }
        case FieldCode::Number:
        case FieldCode::Currency:
            PX_put_data_double(m->doc, p, c.length, v.toDouble());
            break;
        case FieldCode::Short:
            PX_put_data_short(m->doc, p, c.length, short(v.toInt()));
            break;
        case FieldCode::Long:
        case FieldCode::AutoIncrement:
        case FieldCode::Time:
            PX_put_data_long(m->doc, p, c.length, v.toInt());
            break;
        case FieldCode::Date: {
            const qint64 day = v.typeId() == QMetaType::QDate
                                   ? v.toDate().toJulianDay() - kJulianOfDayZero
                                   : v.toLongLong();
            PX_put_data_long(m->doc, p, c.length, int(day));
            break;
        }
        case FieldCode::Logical:
            PX_put_data_byte(m->doc, p, c.length, v.toBool() ? 1 : 0);
            break;
        default:
            // Other types are written as raw bytes.
            std::memcpy(p, v.toByteArray().constData(),
                        std::size_t(std::min<qsizetype>(v.toByteArray().size(), c.length)));
        }
    }
    if (PX_put_record(m->doc, m->record.data()) < 0)
        throw std::runtime_error("the Paradox library refused a record");
}

void writeTable(const QString& path, const QList<Column>& columns, const QList<Row>& rows) {
    TableWriter writer(path, columns, rows.size());
    for (const Row& r : rows)
        writer.add(r);
    writer.close();
}

Column columnFor(const db::FieldDef& field) {
    using paradox::FieldCode;
    const QByteArray name = base::cp1250::encode(field.name);
    switch (field.type) {
    case db::FieldType::Text:
        return {name, FieldCode::Alpha, field.size > 0 ? field.size : db::kDefaultTextWidth};
    case db::FieldType::Float:
        return {name, FieldCode::Number, 8};
    case db::FieldType::Date:
        return {name, FieldCode::Date, 4};
    case db::FieldType::Boolean:
        return {name, FieldCode::Logical, 1};
    case db::FieldType::Integer:
        return {name, FieldCode::Long, 4};
    }
    return {name, FieldCode::Alpha, 20};
}

void exportDatabase(db::Database& database, const QString& directory) {
    QDir().mkpath(directory);
    for (const QString& name : database.tableNames()) {
        const db::TableDef def = database.tableStructure(name);
        QList<Column> columns;
        QStringList select;
        for (const db::FieldDef& f : def.fields) {
            columns << columnFor(f);
            select << db::quoteIdentifier(f.name);
        }
        qint64 count = 0;
        {
            auto c = database.connection().prepareQuery(
                QStringLiteral("SELECT COUNT(*) FROM %1")
                    .arg(db::quoteIdentifier(db::storedTableName(def.name))));
            db::StatementUse counting(*c);
            count = c->step() ? c->columnInt64(0) : 0;
        }
        TableWriter writer(
            QDir(directory).filePath(db::storedTableName(def.name) + QStringLiteral(".DB")),
            columns, count);
        auto s = database.connection().prepareQuery(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                .arg(select.join(QStringLiteral(", ")),
                     db::quoteIdentifier(db::storedTableName(def.name))));
        db::StatementUse use(*s);
        while (s->step()) {
            Row row;
            for (qsizetype i = 0; i < def.fields.size(); ++i)
                row << s->column(int(i), def.fields[i].type);
            writer.add(row);
        }
        writer.close();
    }
}

void patchFile(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.seek(offset) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot patch " + path.toStdString());
}

void truncateFile(const QString& path, qint64 size) {
    if (!QFile::resize(path, size))
        throw std::runtime_error("cannot truncate " + path.toStdString());
}

} // namespace pxtest
