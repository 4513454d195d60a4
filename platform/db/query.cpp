#include "platform/db/query.h"

#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/stored_value.h"

namespace db {

using base::DatabaseError;

namespace statement_binding {

void bindParams(Statement& s, const QList<Param>& params) {
    for (const Param& p : params) {
        const int index = s.parameterIndex(p.name());
        if (index == 0)
            continue;
        if (!p.isBound())
            throw DatabaseError(QStringLiteral("No value for parameter '%1'.").arg(p.name()));
        s.bind(index, p.value());
    }
}

} // namespace statement_binding

Query::Query(QString name) : DataSet(std::move(name)) {}

Query::~Query() {
    try {
        close(); // see ~Table
    } catch (const base::Error&) {
    }
}

void Query::setDatabaseName(const QString& name) {
    if (isActive())
        throw DatabaseError(
            QStringLiteral("Cannot change the database of the open query %1.").arg(this->name()),
            DatabaseError::Kind::InvalidState);
    m_databaseName = name;
}

void Query::setSql(const QStringList& lines) {
    setSqlText(lines.join(QStringLiteral("\r\n")));
}

void Query::setSqlText(const QString& text) {
    if (isActive())
        close();
    m_sql = text;
    QList<Param> params;
    for (const QString& name : parameterNames(text)) {
        Param p(name);
        // A parameter the new text still names keeps its value, under the new text's spelling:
        // the statement finds its parameters by name as written, letter case included.
        for (const Param& old : m_params)
            if (old.name().compare(name, Qt::CaseInsensitive) == 0) {
                p.setDataType(old.dataType());
                if (old.isBound())
                    p.setValue(old.value());
            }
        params << p;
    }
    m_params = params;
}

Param& Query::paramByName(const QString& name) {
    for (Param& p : m_params)
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    throw DatabaseError(QStringLiteral("%1: Parameter '%2' not found.").arg(this->name(), name));
}

Database& Query::database() {
    return (m_session ? *m_session : Session::instance()).findDatabase(m_databaseName);
}

namespace {

// Whether a value read is what the field would make of it: a number read for a number field,
// text that is not empty for a text field.
bool alreadyAsField(FieldType type, const QVariant& v) {
    switch (type) {
    case FieldType::Float:
        return v.typeId() == QMetaType::Double;
    case FieldType::Text:
        return v.typeId() == QMetaType::QString &&
               !static_cast<const QString*>(v.constData())->isEmpty();
    default:
        return false;
    }
}

} // namespace

void Query::doOpen() {
    Database& db = database();
    Connection& c = db.connection();
    auto s = c.prepareQuery(m_sql);
    StatementUse use(*s);
    statement_binding::bindParams(*s, m_params);
    // Read every row first: a column's type comes from its declaration, or else from its
    // first value.
    const int columns = s->columnCount();
    std::vector<QVector<QVariant>> raw;
    while (s->step()) {
        QVector<QVariant> row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = s->columnRaw(i);
        raw.push_back(std::move(row));
    }
    QList<FieldDef> defs;
    for (int i = 0; i < columns; ++i) {
        FieldDef d;
        d.name = s->columnName(i);
        const ColumnType type = s->columnType(i);
        if (type.known) {
            d.type = type.type;
            d.size = type.size;
        } else {
            d.type = FieldType::Float;
            for (const auto& row : raw)
                if (row[i].isValid()) {
                    if (row[i].typeId() == QMetaType::QString) {
                        d.type = FieldType::Text;
                        d.size = 255;
                    }
                    break;
                }
        }
        defs << d;
    }
    QList<int> columnOf; // per field index: result column, or -1
    if (!hasDeclaredDataFields())
        createFieldsFromDefs(defs);
    for (int f = 0; f < fieldCount(); ++f) {
        int col = -1;
        if (field(f)->isData()) {
            for (int i = 0; i < defs.size(); ++i)
                if (defs[i].name.compare(field(f)->fieldName(), Qt::CaseInsensitive) == 0)
                    col = i;
            if (col < 0)
                throw DatabaseError(QStringLiteral("Field %1 not found in the result of %2.")
                                        .arg(field(f)->fieldName(), name()),
                                    DatabaseError::Kind::FieldMismatch);
        }
        columnOf << col;
    }
    // Where the fields are the result's columns in their order (fields made from the result),
    // a row read becomes the record as it is, each value converted where its field needs it.
    bool sameOrder = fieldCount() == columns;
    for (int f = 0; sameOrder && f < fieldCount(); ++f)
        sameOrder = columnOf[f] == f;
    m_rows.clear();
    m_rows.reserve(raw.size());
    for (size_t r = 0; r < raw.size(); ++r) {
        RecordBuffer rec;
        rec.id = qint64(r);
        if (sameOrder) {
            rec.values = std::move(raw[r]);
            for (int f = 0; f < fieldCount(); ++f) {
                QVariant& v = rec.values[f];
                if (!alreadyAsField(field(f)->dataType(), v))
                    v = fromStored(field(f)->dataType(), v);
            }
        } else {
            rec = newBuffer();
            rec.id = qint64(r);
            for (int f = 0; f < fieldCount(); ++f)
                if (columnOf[f] >= 0)
                    rec.values[f] = fromStored(field(f)->dataType(), raw[r][columnOf[f]]);
        }
        m_rows.push_back(std::move(rec));
    }
    m_database = &db;
    db.attach(this);
}

void Query::doClose() {
    if (m_database)
        m_database->detach(this);
    m_database = nullptr;
    m_rows.clear();
}

int Query::execSql() {
    Database& db = database();
    Connection& c = db.connection();
    WriteScope scope(c);
    auto s = c.prepareQuery(m_sql);
    {
        StatementUse use(*s);
        statement_binding::bindParams(*s, m_params);
        while (s->step()) {
        }
    }
    const int changed = c.changes();
    c.noteWrite();
    scope.commit();
    return changed;
}

bool Query::rawFirst(RecordBuffer& out) {
    if (m_rows.empty())
        return false;
    out = m_rows.front();
    return true;
}

bool Query::rawLast(RecordBuffer& out) {
    if (m_rows.empty())
        return false;
    out = m_rows.back();
    return true;
}

bool Query::rawNext(const RecordBuffer& from, RecordBuffer& out) {
    const size_t next = size_t(from.id + 1);
    if (from.id < 0 || next >= m_rows.size())
        return false;
    out = m_rows[next];
    return true;
}

bool Query::rawPrior(const RecordBuffer& from, RecordBuffer& out) {
    if (from.id <= 0 || size_t(from.id) > m_rows.size())
        return false;
    out = m_rows[size_t(from.id - 1)];
    return true;
}

bool Query::rawRefetch(RecordBuffer& rec) {
    if (rec.id < 0 || size_t(rec.id) >= m_rows.size())
        return false;
    rec = m_rows[size_t(rec.id)];
    return true;
}

void Query::rawInsert(RecordBuffer&) {
    requireModifiable();
}
void Query::rawUpdate(const RecordBuffer&, RecordBuffer&) {
    requireModifiable();
}
void Query::rawDelete(const RecordBuffer&) {
    requireModifiable();
}

} // namespace db
