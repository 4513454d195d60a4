#include "platform/db/table.h"

#include "platform/base/cp1250.h"
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/dialect.h"
#include "platform/db/session.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

#include <algorithm>

namespace db {

using base::DatabaseError;

// The parameters of one statement, numbered in the order they are written.
class ParameterMarks {
public:
    explicit ParameterMarks(const Dialect& dialect) : m_dialect(dialect) {}
    QString next() { return m_dialect.parameter(++m_count); }
    QString next(FieldType type) { return m_dialect.typedParameter(++m_count, type); }

private:
    const Dialect& m_dialect;
    int m_count = 0;
};

namespace {

// A null-safe equality that the engine can still answer from an index.
void addEquality(QStringList& conds, QVariantList& binds, ParameterMarks& marks,
                 const QString& column, const QVariant& v) {
    if (isNullValue(v)) {
        conds << column + QStringLiteral(" IS NULL");
    } else {
        conds << column + QStringLiteral(" = ") + marks.next();
        binds << v;
    }
}

// The comparison of a condition, with its parameter where it has one.
QString opText(quint8 op, ParameterMarks& marks) {
    switch (op) {
    case 0:
        return QStringLiteral(" = ") + marks.next();
    case 1:
        return QStringLiteral(" IS NULL");
    case 2:
        return QStringLiteral(" >= ") + marks.next();
    case 3:
        return QStringLiteral(" > ") + marks.next();
    case 4:
        return QStringLiteral(" < ") + marks.next();
    default:
        return QStringLiteral(" IS NOT NULL");
    }
}

} // namespace

// Both drivers compare text by code point (UTF-8 bytes), and the texts a table holds are of
// code page 1250, far below the last code point.
QString prefixEnd(const QString& prefix) {
    QList<uint> points = prefix.toUcs4();
    while (!points.isEmpty() && points.last() >= 0x10FFFF)
        points.removeLast();
    if (points.isEmpty())
        return QString();
    ++points.last();
    if (points.last() >= 0xD800 && points.last() <= 0xDFFF)
        points.last() = 0xE000;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
}

void Table::Where::equal(Column column, int index, const QVariant& v) {
    if (isNullValue(v))
        test(column, index, Op::IsNull);
    else
        compare(column, index, Op::Equal, v);
}

void Table::Where::compare(Column column, int index, Op op, const QVariant& v) {
    conds.append(Cond{op, column, quint16(index)});
    binds << v;
}

void Table::Where::test(Column column, int index, Op op) {
    conds.append(Cond{op, column, quint16(index)});
}

void Table::Where::append(const Where& other) {
    conds.append(other.conds.constData(), other.conds.size());
    binds << other.binds;
}

QString Table::conditionText(const Where& where, ParameterMarks& marks,
                             const QString& qualifier) const {
    const Dialect& d = conn().dialect();
    QStringList conds;
    for (const Cond& c : where.conds) {
        const QString column = c.column == Column::Order ? m_order[c.index]
                               : c.column == Column::Field
                                   ? d.identifier(field(c.index)->fieldName())
                                   : d.rowId();
        conds << qualifier + column + opText(quint8(c.op), marks);
    }
    return conds.join(QStringLiteral(" AND "));
}

void Table::appendShape(QByteArray& key, const Where& where) {
    for (const Cond& c : where.conds) {
        key += char(c.op);
        key += char(c.column);
        key += char(c.index & 0xff);
        key += char(c.index >> 8);
    }
    key += '|';
}

template <typename MakeText> Statement& Table::kept(const QByteArray& key, MakeText&& text) {
    auto it = m_statements.constFind(key);
    if (it != m_statements.constEnd())
        return **it;
    auto s = conn().prepare(text());
    m_statements.insert(key, s);
    return *s;
}

Table::Table(QString name) : DataSet(std::move(name)) {}

Table::~Table() {
    // Closing tells linked datasets, which may read; a database that cannot be reached any
    // more (a server gone) must not end the program from a destructor.
    try {
        close();
    } catch (const base::Error&) {
    }
    m_masterLink.setDataSource(nullptr);
}

void Table::checkClosed(const char* what) const {
    if (isActive())
        throw DatabaseError(QStringLiteral("Cannot %1 while the table %2 is open.")
                                .arg(QString::fromLatin1(what), m_tableName),
                            DatabaseError::Kind::InvalidState);
}

void Table::setDatabaseName(const QString& name) {
    checkClosed("change the database");
    m_databaseName = name;
}

void Table::setTableName(const QString& name) {
    checkClosed("change the table name");
    m_tableName = name;
}

void Table::setIndexFieldNames(const QString& names) {
    if (names == m_indexFieldNames)
        return;
    m_indexFieldNames = names;
    if (isActive()) {
        // Reopen in the new order on the same record.
        const Bookmark b = bookmark();
        close();
        open();
        if (bookmarkValid(b))
            gotoBookmark(b);
    }
}

void Table::setReadOnly(bool readOnly) {
    checkClosed("change read-only");
    m_readOnly = readOnly;
}

void Table::setMasterSource(DataSource* source) {
    m_masterLink.setDataSource(source);
    if (isActive())
        masterChanged();
}

void Table::setMasterFields(const QString& names) {
    m_masterFields = names;
    if (isActive())
        masterChanged();
}

Database& Table::database() {
    if (m_database)
        return *m_database;
    return (m_session ? *m_session : Session::instance()).findDatabase(m_databaseName);
}

Connection& Table::conn() const {
    return m_database->connection();
}

// ---- opening ----

void Table::doOpen() {
    Database& db = database();
    db.open();
    TableDef structure;
    try {
        structure = db.tableStructure(m_tableName);
    } catch (const DatabaseError& e) {
        if (e.kind() != DatabaseError::Kind::TableNotFound)
            throw;
        throw DatabaseError(QStringLiteral("Table %1 does not exist in %2 (%3).")
                                .arg(m_tableName, m_databaseName, db.directory()),
                            DatabaseError::Kind::TableNotFound);
    }
    if (!hasDeclaredDataFields()) {
        createFieldsFromDefs(structure.fields);
    } else {
        for (Field* f : dataFields()) {
            const FieldDef* col = nullptr;
            for (const FieldDef& d : structure.fields)
                if (d.name.compare(f->fieldName(), Qt::CaseInsensitive) == 0)
                    col = &d;
            if (!col)
                throw DatabaseError(QStringLiteral("Field %1 not found in table %2.")
                                        .arg(f->fieldName(), m_tableName),
                                    DatabaseError::Kind::FieldMismatch);
            const bool widthDiffers = f->dataType() == FieldType::Text && col->size != f->size();
            if (col->type != f->dataType() || widthDiffers) {
                auto describe = [](FieldType t, int size) {
                    return t == FieldType::Text ? QStringLiteral("text(%1)").arg(size)
                                                : fieldTypeName(t);
                };
                throw DatabaseError(QStringLiteral("Field %1 of table %2 is %3, not %4.")
                                        .arg(f->fieldName(), m_tableName,
                                             describe(col->type, col->size),
                                             describe(f->dataType(), f->size())),
                                    DatabaseError::Kind::FieldMismatch);
            }
        }
    }
    // The order: the index whose leading fields are the index field names.
    const QStringList wanted = splitFieldList(m_indexFieldNames);
    const IndexDef* chosen = nullptr;
    for (const IndexDef& index : structure.indexes) {
        if (wanted.isEmpty()) {
            if (index.primary)
                chosen = &index;
            continue;
        }
        if (index.fields.size() < wanted.size())
            continue;
        bool leading = true;
        for (int i = 0; i < wanted.size() && leading; ++i)
            leading = index.fields[i].compare(wanted[i], Qt::CaseInsensitive) == 0;
        if (leading &&
            (!chosen || index.primary || (index.unique && !chosen->unique && !chosen->primary)))
            chosen = &index;
    }
    if (!wanted.isEmpty() && !chosen)
        throw DatabaseError(QStringLiteral("No index of table %1 begins with %2.")
                                .arg(m_tableName, m_indexFieldNames));
    const Dialect& dialect = db.connection().dialect();
    m_order.clear();
    m_orderTypes.clear();
    m_uniqueOrder = false;
    if (chosen) {
        m_uniqueOrder = chosen->primary || chosen->unique;
        for (const QString& col : chosen->fields) {
            m_order << dialect.identifier(col);
            FieldType t = FieldType::Text;
            for (const FieldDef& d : structure.fields)
                if (d.name.compare(col, Qt::CaseInsensitive) == 0)
                    t = d.type;
            m_orderTypes << t;
        }
    }
    m_sqlTable = dialect.table(structure.name);
    m_data = dataFields();
    m_orderFields.clear();
    m_keyColumnOfData.fill(-1, m_data.size());
    m_dataOfKeyColumn.fill(-1, m_order.size());
    for (int j = 0; j < m_order.size(); ++j)
        for (int n = 0; n < m_data.size(); ++n)
            if (dialect.identifier(m_data[n]->fieldName())
                    .compare(m_order[j], Qt::CaseInsensitive) == 0) {
                m_orderFields << m_data[n];
                if (m_keyColumnOfData[n] < 0) {
                    m_keyColumnOfData[n] = j;
                    m_dataOfKeyColumn[j] = n;
                }
                break;
            }
    m_database = &db;
    m_rangeActive = false;
    m_rangeCount = 0;
    const QStringList masterNames = splitFieldList(m_masterFields);
    if (m_masterLink.dataSource() && !masterNames.isEmpty()) {
        if (masterNames.size() > m_order.size()) {
            m_database = nullptr;
            throw DatabaseError(
                QStringLiteral(
                    "The master fields %1 of %2 need an index with as many leading fields.")
                    .arg(m_masterFields, name()));
        }
        m_rangeCount = int(masterNames.size());
        m_rangeActive = m_masterLink.isActive();
        m_range = m_rangeActive ? masterValues() : QVariantList();
        m_masterLink.m_lastValues = m_range;
    }
    invalidatePage();
    m_statements.clear();
    db.attach(this);
    conn().addRollbackListener(this, [this] {
        invalidatePage();
        resync();
    });
}

void Table::doClose() {
    if (m_database) {
        if (m_database->isConnected())
            m_database->connection().removeRollbackListener(this);
        m_database->detach(this);
    }
    m_database = nullptr;
    invalidatePage();
    m_statements.clear();
    m_data.clear();
    m_orderFields.clear();
    m_keyColumnOfData.clear();
    m_dataOfKeyColumn.clear();
}

// ---- master-detail ----

QVariantList Table::masterValues() const {
    QVariantList out;
    DataSet* master = m_masterLink.dataSet();
    const QStringList names = splitFieldList(m_masterFields);
    for (int i = 0; i < names.size(); ++i) {
        QVariant v;
        if (master && master->isActive()) {
            v = master->fieldByName(names[i])->value();
            if (i < m_orderTypes.size())
                v = toStoredKey(m_orderTypes[i], v);
        }
        out << v;
    }
    return out;
}

void Table::MasterLink::dataEvent(DataEvent event, Field*) {
    if (!m_table.isActive())
        return;
    switch (event) {
    case DataEvent::CheckBrowseMode:
        m_table.checkBrowseMode();
        break;
    case DataEvent::ActiveChanged:
    case DataEvent::DataSetChanged:
    case DataEvent::DataSetScroll:
    case DataEvent::RecordChanged:
        m_table.masterChanged();
        break;
    default:
        break;
    }
}

void Table::masterChanged() {
    const bool active = m_masterLink.isActive() && m_rangeCount > 0;
    const QVariantList values = active ? masterValues() : QVariantList();
    if (active == m_rangeActive && values == m_masterLink.m_lastValues)
        return;
    checkBrowseMode();
    m_rangeActive = active;
    m_range = values;
    m_masterLink.m_lastValues = values;
    invalidatePage();
    first();
}

void Table::initNewRecord(RecordBuffer& rec) {
    if (!m_rangeActive)
        return;
    for (int i = 0; i < m_rangeCount && i < m_order.size(); ++i) {
        for (Field* f : m_data)
            if (m_orderFields.value(i) == f)
                rec.values[f->index()] = f->convert(m_range.value(i));
    }
}

// ---- reading ----

QString Table::selectList(const QString& qualifier, bool withKey) const {
    const Dialect& d = conn().dialect();
    QStringList cols{qualifier + d.rowId()};
    for (Field* f : m_data)
        cols << qualifier + d.identifier(f->fieldName());
    if (withKey)
        for (const QString& column : m_order)
            cols << qualifier + column;
    return cols.join(QStringLiteral(", "));
}

void Table::readRow(Statement& s, RecordBuffer& out, int first, bool withKey) const {
    out.id = s.columnInt64(first);
    if (out.values.size() < fieldCount())
        out.values.resize(fieldCount());
    if (withKey)
        out.key.resize(m_order.size());
    int col = first + 1;
    for (int n = 0; n < m_data.size(); ++n, ++col) {
        const Field* f = m_data[n];
        const int keyColumn = withKey ? m_keyColumnOfData[n] : -1;
        if (keyColumn < 0) {
            out.values[f->index()] = s.column(col, f->dataType());
            continue;
        }
        // A field that is also an ordering column is read once: its stored value is the
        // ordering value, and text is the field's value as the driver would read it.
        const QVariant raw = s.columnRaw(col);
        out.values[f->index()] = f->dataType() == FieldType::Text ? fromStored(FieldType::Text, raw)
                                                                  : s.column(col, f->dataType());
        out.key[keyColumn] = raw;
    }
    if (!withKey) {
        keyFromValues(out);
        return;
    }
    // Ordering values stay as stored, so that the next page starts exactly after them; those of
    // columns no field reads are read from their own columns.
    for (int j = 0; j < m_order.size(); ++j, ++col)
        if (m_dataOfKeyColumn[j] < 0)
            out.key[j] = s.columnRaw(col);
}

Table::Where Table::rangeWhere() const {
    Where w;
    if (m_rangeActive)
        for (int i = 0; i < m_rangeCount; ++i)
            w.equal(Column::Order, i, m_range.value(i));
    for (const Prefix& p : m_prefixes) {
        const QString from = toStoredKey(FieldType::Text, p.text).toString();
        if (from.isEmpty())
            continue;
        const int field = fieldByName(p.field)->index();
        w.compare(Column::Field, field, Op::AtLeast, from);
        const QString past = prefixEnd(from);
        if (!past.isEmpty())
            w.compare(Column::Field, field, Op::Less, past);
    }
    return w;
}

void Table::setPrefixCondition(const QList<Prefix>& prefixes) {
    if (isActive()) {
        for (const Prefix& p : prefixes)
            fieldByName(p.field); // an unknown field is refused before anything changes
        checkBrowseMode();
    }
    m_prefixes = prefixes;
    if (isActive()) {
        invalidatePage();
        first();
    }
}

int Table::fetch(const Where& extra, bool forward, int from, int limit,
                 std::vector<RecordBuffer>& out, bool orderByIndex) {
    Where where = rangeWhere();
    where.append(extra);
    QByteArray key;
    key.reserve(16 + 4 * where.conds.size());
    key += 'F';
    key += char(forward);
    key += char(orderByIndex);
    key += char(from);
    key += QByteArray::number(limit);
    key += '/';
    appendShape(key, where);
    Connection& c = conn();
    Statement& s = kept(key, [&] {
        const Dialect& d = c.dialect();
        QStringList order;
        for (int j = from; j < m_order.size(); ++j)
            order << d.orderTerm(m_order[j], !forward, orderByIndex);
        order << d.rowId() + (forward ? QString() : QStringLiteral(" DESC"));
        ParameterMarks marks(d);
        const QString conds = conditionText(where, marks);
        return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT %5")
            .arg(selectList(), m_sqlTable,
                 conds.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conds,
                 order.join(QStringLiteral(", ")))
            .arg(limit);
    });
    StatementUse use(s);
    s.bindAll(where.binds);
    int n = 0;
    while (n < limit && s.step()) {
        RecordBuffer r = newBuffer();
        readRow(s, r);
        out.push_back(std::move(r));
        ++n;
    }
    return n;
}

QList<Table::Level> Table::levelsAfter(const QVariantList& key, bool forward, bool inclusive,
                                       int startCol) const {
    QList<Level> levels;
    const int keyCols = inclusive ? int(key.size()) : int(m_order.size());
    auto prefix = [&](int upTo, Where& where) {
        for (int i = startCol; i < upTo; ++i)
            where.equal(Column::Order, i, key[i]);
    };
    int deepest = keyCols - 1;
    if (inclusive) {
        // Equal or greater in the last given field, the fields before it equal: one range.
        if (keyCols == 0)
            return {Level{}};
        Level atLeast;
        prefix(keyCols - 1, atLeast.where);
        if (!isNullValue(key[keyCols - 1]))
            atLeast.where.compare(Column::Order, keyCols - 1, Op::AtLeast, key[keyCols - 1]);
        atLeast.from = keyCols - 1;
        levels << atLeast;
        deepest = keyCols - 2;
    } else {
        // Records with the same key follow each other in order of entry.
        bool anyNull = false;
        for (int i = startCol; i < keyCols; ++i)
            anyNull = anyNull || isNullValue(key[i]);
        if (!m_uniqueOrder || anyNull || m_order.isEmpty()) {
            Level same;
            prefix(keyCols, same.where);
            same.where.compare(Column::RowId, 0, forward ? Op::Greater : Op::Less,
                               key.value(keyCols));
            same.from = int(m_order.size());
            levels << same;
        }
    }
    for (int j = deepest; j >= startCol; --j) {
        const QVariant& v = key[j];
        if (forward) {
            Level l;
            prefix(j, l.where);
            if (isNullValue(v))
                l.where.test(Column::Order, j, Op::IsNotNull);
            else
                l.where.compare(Column::Order, j, Op::Greater, v);
            l.from = j;
            levels << l;
        } else if (!isNullValue(v)) {
            // Before a value come the smaller values, then the empty ones (empty sorts first).
            Level smaller;
            prefix(j, smaller.where);
            smaller.where.compare(Column::Order, j, Op::Less, v);
            smaller.from = j;
            levels << smaller;
            Level empty;
            prefix(j, empty.where);
            empty.where.test(Column::Order, j, Op::IsNull);
            empty.from = j + 1;
            levels << empty;
        }
    }
    return levels;
}

bool Table::fetchNeighbour(const RecordBuffer& from, bool forward, RecordBuffer& out, int limit) {
    requireActive();
    if (m_pageStamp == conn().stamp() && m_pageForward == forward) {
        for (size_t i = 0; i + 1 < m_page.size(); ++i)
            if (m_page[i].id == from.id) {
                out = m_page[i + 1];
                return true;
            }
    }
    RecordBuffer base = from;
    if (base.key.size() != m_order.size() && !rawRefetch(base))
        return false;
    QVariantList key(base.key.begin(), base.key.end());
    key << base.id;
    std::vector<RecordBuffer> page;
    for (const Level& level : levelsAfter(key, forward, false, m_rangeActive ? m_rangeCount : 0)) {
        fetch(level.where, forward, level.from, limit - int(page.size()), page);
        if (int(page.size()) >= limit)
            break;
    }
    return keepPage(std::move(page), forward, out);
}

bool Table::rawFirst(RecordBuffer& out) {
    // A table opened for a search or an append need not read a page ahead.
    return readEnd(true, isOpening() ? 1 : kPageSize, out);
}

bool Table::rawLast(RecordBuffer& out) {
    return readEnd(false, kPageSize, out);
}

bool Table::readEnd(bool forward, int limit, RecordBuffer& out) {
    requireActive();
    std::vector<RecordBuffer> page;
    fetch({}, forward, m_rangeActive ? m_rangeCount : 0, limit, page);
    return keepPage(std::move(page), forward, out);
}

bool Table::keepPage(std::vector<RecordBuffer>&& page, bool forward, RecordBuffer& out) {
    m_page = std::move(page);
    m_pageForward = forward;
    m_pageStamp = conn().stamp();
    if (m_page.empty())
        return false;
    out = m_page.front();
    return true;
}

bool Table::rawNext(const RecordBuffer& from, RecordBuffer& out) {
    return fetchNeighbour(from, true, out);
}

bool Table::rawPrior(const RecordBuffer& from, RecordBuffer& out) {
    return fetchNeighbour(from, false, out);
}

bool Table::rawFollowing(const RecordBuffer& from, RecordBuffer& out) {
    // After a delete only the record that takes its place is wanted: one row, not a page.
    return fetchNeighbour(from, true, out, 1);
}

bool Table::rawReadAll(std::vector<RecordBuffer>& out) {
    requireActive();
    // One statement for the whole range, where walking would read it a page at a time.
    fetch({}, true, m_rangeActive ? m_rangeCount : 0, kAllRows, out);
    return true;
}

bool Table::rawRefetch(RecordBuffer& rec) {
    requireActive();
    // Inside a transaction the record is read to be changed: the driver keeps it from other
    // users until the transaction ends.
    Connection& c = conn();
    const bool locking = c.inTransaction();
    Statement& s = kept(locking ? QByteArrayLiteral("RL") : QByteArrayLiteral("R"), [&] {
        const Dialect& d = c.dialect();
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4%5")
            .arg(selectList(), m_sqlTable, d.rowId(), d.parameter(1),
                 locking ? d.lockRows() : QString());
    });
    StatementUse use(s);
    s.bind(1, rec.id);
    if (!s.step())
        return false;
    readRow(s, rec);
    return true;
}

int Table::rawCount() {
    requireActive();
    const Where range = rangeWhere();
    QByteArray key("C");
    appendShape(key, range);
    Statement& s = kept(key, [&] {
        ParameterMarks marks(conn().dialect());
        const QString conds = conditionText(range, marks);
        return QStringLiteral("SELECT COUNT(*) FROM %1%2")
            .arg(m_sqlTable, conds.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conds);
    });
    StatementUse use(s);
    s.bindAll(range.binds);
    s.step();
    return int(s.columnInt64(0));
}

bool Table::rawFind(const QList<Field*>& fields, const QVariantList& values,
                    const RecordBuffer* after, RecordBuffer& out) {
    for (Field* f : fields)
        if (!f->isData())
            return DataSet::rawFind(fields, values, after, out);
    requireActive();
    Where eq;
    for (int i = 0; i < fields.size(); ++i)
        eq.equal(Column::Field, fields[i]->index(), toStored(fields[i]->dataType(), values[i]));
    const int start = m_rangeActive ? m_rangeCount : 0;
    std::vector<RecordBuffer> rows;
    if (!after) {
        // Not walking the ordering index (Dialect::orderTerm): the index on the searched fields
        // finds the few candidates, which are then sorted.
        fetch(eq, true, start, 1, rows, false);
    } else {
        RecordBuffer base = *after;
        if (base.key.size() != m_order.size() && !rawRefetch(base))
            return false;
        QVariantList key(base.key.begin(), base.key.end());
        key << base.id;
        for (const Level& level : levelsAfter(key, true, false, start)) {
            Where w = eq;
            w.append(level.where);
            if (fetch(w, true, level.from, 1, rows, false) > 0)
                break;
        }
    }
    if (rows.empty())
        return false;
    out = std::move(rows.front());
    return true;
}

double Table::sum(const QString& sumField, const QString& keyFields, const QVariantList& values) {
    requireActive();
    const Field* total = fieldByName(sumField);
    const QList<Field*> keys = fieldList(keyFields);
    if (keys.size() != values.size())
        throw DatabaseError(QStringLiteral("%1: %2 values given for %3 fields.")
                                .arg(name())
                                .arg(values.size())
                                .arg(keys.size()));
    const Dialect& d = conn().dialect();
    ParameterMarks marks(d);
    QStringList conds;
    QVariantList binds;
    for (int i = 0; i < keys.size(); ++i) {
        QVariant v;
        try {
            v = keys[i]->convert(values[i]);
        } catch (const base::ConversionError&) {
            return 0; // a value the field cannot hold matches no record
        }
        addEquality(conds, binds, marks, d.identifier(keys[i]->fieldName()),
                    toStored(keys[i]->dataType(), v));
    }
    auto s = conn().prepare(QStringLiteral("SELECT %1 FROM %2%3")
                                .arg(d.total(d.identifier(total->fieldName())), m_sqlTable,
                                     conds.isEmpty() ? QString()
                                                     : QStringLiteral(" WHERE ") +
                                                           conds.join(QStringLiteral(" AND "))));
    StatementUse use(*s);
    s->bindAll(binds);
    s->step();
    return s->columnDouble(0);
}

QVariantList Table::storedKey(const QVariantList& values) const {
    QVariantList key;
    for (int i = 0; i < values.size(); ++i)
        key << toStoredKey(m_orderTypes[i], values[i]);
    return key;
}

bool Table::findKey(const QVariantList& values) {
    checkBrowseMode();
    if (values.isEmpty() || values.size() > m_order.size())
        throw DatabaseError(QStringLiteral("%1: a key of %2 values does not fit the index.")
                                .arg(name())
                                .arg(values.size()));
    const QVariantList key = storedKey(values);
    Where equal;
    for (int i = 0; i < key.size(); ++i)
        equal.equal(Column::Order, i, key[i]);
    std::vector<RecordBuffer> rows;
    fetch(equal, true, int(key.size()), kPageSize, rows);
    for (size_t i = 0;; ++i) {
        if (i == rows.size()) {
            // Past the first page: go on record by record while the key still matches.
            if (rows.size() < size_t(kPageSize))
                return false;
            RecordBuffer n = newBuffer();
            if (!rawNext(rows.back(), n))
                return false;
            bool same = true;
            for (int k = 0; k < key.size() && same; ++k)
                same = n.key[k] == key[k];
            if (!same)
                return false;
            rows.push_back(std::move(n));
        }
        if (accepts(rows[i])) {
            RecordBuffer r = rows[i];
            setCurrent(std::move(r));
            break;
        }
    }
    announcePositioned();
    return true;
}

void Table::findNearest(const QVariantList& values) {
    checkBrowseMode();
    if (values.size() > m_order.size())
        throw DatabaseError(QStringLiteral("%1: a key of %2 values does not fit the index.")
                                .arg(name())
                                .arg(values.size()));
    const QVariantList key = storedKey(values);
    for (const Level& level : levelsAfter(key, true, true, 0)) {
        std::vector<RecordBuffer> rows;
        if (fetch(level.where, true, level.from, 1, rows) > 0 &&
            settleForward(std::move(rows.front()))) {
            announcePositioned();
            return;
        }
    }
    last();
}

// ---- writing ----

bool Table::checkUnchanged(const RecordBuffer& original) {
    RecordBuffer now = newBuffer();
    now.id = original.id;
    if (!rawRefetch(now))
        throw DatabaseError(QStringLiteral("The record was deleted by another user."),
                            DatabaseError::Kind::RecordDeleted);
    for (Field* f : m_data) {
        const QVariant& a = now.values[f->index()];
        const QVariant& b = original.values.value(f->index());
        if (isNullValue(a) != isNullValue(b) || (!isNullValue(a) && a != b))
            throw DatabaseError(
                QStringLiteral("The record was changed by another user. Refresh it and try again."),
                DatabaseError::Kind::RecordChanged);
    }
    return true;
}

void Table::rawInsert(RecordBuffer& rec) {
    requireActive();
    Connection& c = conn();
    WriteScope scope(c);
    // While writes are deferred, an identity handed out ahead lets the insert go without waiting
    // for an answer.
    if (const qint64 id = c.deferringWrites() ? c.reserveRowId(m_sqlTable) : 0) {
        Statement& s = kept(QByteArrayLiteral("IA"), [&] {
            const Dialect& d = c.dialect();
            ParameterMarks marks(d);
            QStringList cols{d.rowId()}, values{marks.next()};
            for (Field* f : m_data) {
                cols << d.identifier(f->fieldName());
                values << marks.next();
            }
            return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(m_sqlTable, cols.join(QStringLiteral(", ")),
                     values.join(QStringLiteral(", ")));
        });
        int i = 0;
        s.bind(++i, id);
        for (Field* f : m_data)
            s.bind(++i, toStored(f->dataType(), rec.values[f->index()]));
        c.stepDeferred(s, [table = name()](int changed) {
            if (changed != 1)
                throw DatabaseError(QStringLiteral("%1: the record was not written.").arg(table));
        });
        rec.id = id;
        c.noteWrite();
        scope.commit();
        settleKey(rec);
        return;
    }
    // Where the driver can answer the new record's identity with the insert itself, it does.
    Statement& s = kept(QByteArrayLiteral("I"), [&] {
        const Dialect& d = c.dialect();
        ParameterMarks marks(d);
        QStringList cols, values;
        for (Field* f : m_data) {
            cols << d.identifier(f->fieldName());
            values << marks.next();
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)%4")
            .arg(m_sqlTable, cols.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
                 d.returningRowId());
    });
    bool answered = false;
    {
        StatementUse use(s);
        int i = 0;
        for (Field* f : m_data)
            s.bind(++i, toStored(f->dataType(), rec.values[f->index()]));
        if (s.step()) {
            rec.id = s.columnInt64(0);
            answered = true;
        }
    }
    if (!answered)
        rec.id = c.lastInsertId();
    c.noteWrite();
    scope.commit();
    settleKey(rec);
}

void Table::rawUpdate(const RecordBuffer& original, RecordBuffer& rec) {
    requireActive();
    updateStored(original, rec);
    settleKey(rec);
}

void Table::updateStored(const RecordBuffer& original, const RecordBuffer& rec) {
    Connection& c = conn();
    WriteScope scope(c);
    // The record is written only where it still holds what was read: one statement, and a
    // re-read only to say why when it changed nothing. Only the values that change are set, so
    // that an index none of them is in is left alone (a stock quantity lowered rewrites no key).
    QVariantList now, was;
    QList<int> changing;
    QByteArray key("UG");
    for (int n = 0; n < m_data.size(); ++n) {
        Field* f = m_data[n];
        now << toStored(f->dataType(), rec.values[f->index()]);
        was << toStored(f->dataType(), original.values.value(f->index()));
        const bool same =
            isNullValue(now[n])
                ? isNullValue(was[n])
                : !isNullValue(was[n]) && now[n].typeId() == was[n].typeId() && now[n] == was[n];
        if (!same)
            changing << n;
        if (n % 8 == 0)
            key += char(0);
        if (!same)
            key.back() = char(key.back() | (1 << (n % 8)));
    }
    if (changing.isEmpty()) // nothing changes: the record is still written, as the user posted it
        for (int n = 0; n < m_data.size(); ++n)
            changing << n;
    Statement& guarded = kept(key, [&] {
        const Dialect& d = c.dialect();
        ParameterMarks marks(d);
        QStringList sets, same;
        for (int n : changing)
            sets << d.identifier(m_data[n]->fieldName()) + QStringLiteral(" = ") + marks.next();
        const QString id = d.rowId() + QStringLiteral(" = ") + marks.next();
        for (Field* f : m_data)
            same << d.sameValue(d.identifier(f->fieldName()), marks.next());
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3 AND %4")
            .arg(m_sqlTable, sets.join(QStringLiteral(", ")), id,
                 same.join(QStringLiteral(" AND ")));
    });
    int i = 0;
    for (int n : changing)
        guarded.bind(++i, now[n]);
    guarded.bind(++i, original.id);
    for (const QVariant& v : was)
        guarded.bind(++i, v);
    // Where writes are deferred the answer comes later, before commit; the table stays open
    // until then.
    c.stepDeferred(guarded, [this, original, rec](int changed) {
        if (changed == 1)
            return;
        // Changed or deleted by another user: refused with the reason. A record the engine
        // reads back unchanged (a value stored in another form than it reads) is written by its
        // identity.
        checkUnchanged(original);
        Connection& c = conn();
        Statement& s = kept(QByteArrayLiteral("U"), [&] {
            const Dialect& d = c.dialect();
            ParameterMarks marks(d);
            QStringList sets;
            for (Field* f : m_data)
                sets << d.identifier(f->fieldName()) + QStringLiteral(" = ") + marks.next();
            return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = %4")
                .arg(m_sqlTable, sets.join(QStringLiteral(", ")), d.rowId(), marks.next());
        });
        StatementUse use(s);
        int i = 0;
        for (Field* f : m_data)
            s.bind(++i, toStored(f->dataType(), rec.values[f->index()]));
        s.bind(++i, original.id);
        s.step();
    });
    c.noteWrite();
    scope.commit();
}

void Table::keyFromValues(RecordBuffer& rec) const {
    rec.key.resize(m_order.size());
    for (int j = 0; j < m_order.size(); ++j) {
        const Field* f = m_orderFields[j];
        rec.key[j] = toStored(f->dataType(), rec.values.value(f->index()));
    }
}

void Table::settleKey(RecordBuffer& rec) {
    if (keyFollowsValues()) {
        keyFromValues(rec);
        return;
    }
    // An ordering column the dataset has no field for: read back.
    RecordBuffer stored = rec;
    if (rawRefetch(stored))
        rec = std::move(stored);
}

void Table::rawDelete(const RecordBuffer& original) {
    requireActive();
    deleteStored(original);
}

void Table::deleteStored(const RecordBuffer& original) {
    Connection& c = conn();
    WriteScope scope(c);
    // As an update: deleted only where the record still holds what was read, and re-read only
    // to say why when nothing was deleted.
    Statement& guarded = kept(QByteArrayLiteral("DG"), [&] {
        const Dialect& d = c.dialect();
        ParameterMarks marks(d);
        const QString id = d.rowId() + QStringLiteral(" = ") + marks.next();
        QStringList same;
        for (Field* f : m_data)
            same << d.sameValue(d.identifier(f->fieldName()), marks.next());
        return QStringLiteral("DELETE FROM %1 WHERE %2 AND %3")
            .arg(m_sqlTable, id, same.join(QStringLiteral(" AND ")));
    });
    int i = 0;
    guarded.bind(++i, original.id);
    for (Field* f : m_data)
        guarded.bind(++i, toStored(f->dataType(), original.values.value(f->index())));
    c.stepDeferred(guarded, [this, original](int changed) {
        if (changed == 1)
            return;
        checkUnchanged(original);
        Connection& c = conn();
        Statement& s = kept(QByteArrayLiteral("D"), [&] {
            const Dialect& d = c.dialect();
            return QStringLiteral("DELETE FROM %1 WHERE %2 = %3")
                .arg(m_sqlTable, d.rowId(), d.parameter(1));
        });
        StatementUse use(s);
        s.bind(1, original.id);
        s.step();
    });
    c.noteWrite();
    scope.commit();
}

void Table::writeRecord(const RecordBuffer& original, RecordBuffer& changed) {
    requireActive();
    requireModifiable();
    if (changed.id != original.id)
        throw DatabaseError(QStringLiteral("%1: a record is written over itself only.").arg(name()),
                            DatabaseError::Kind::InvalidState);
    updateStored(original, changed);
    settleKey(changed);
}

void Table::deleteRecord(const RecordBuffer& original) {
    requireActive();
    requireModifiable();
    deleteStored(original);
}

Table::Lists Table::storedLists(const QList<Field*>& fields,
                                const QList<QVariantList>& valueLists) const {
    Lists lists;
    for (int l = 0; l < valueLists.size(); ++l) {
        const QVariantList& values = valueLists[l];
        if (values.size() != fields.size())
            throw DatabaseError(QStringLiteral("%1: %2 values given for %3 fields.")
                                    .arg(name())
                                    .arg(values.size())
                                    .arg(fields.size()));
        QVariantList stored;
        bool empty = false;
        try {
            for (int i = 0; i < fields.size(); ++i) {
                stored << toStored(fields[i]->dataType(), fields[i]->convert(values[i]));
                empty = empty || isNullValue(stored.last());
            }
        } catch (const base::ConversionError&) {
            continue; // a value the field cannot hold matches no record
        }
        // An empty value is matched with IS NULL, which a joined list cannot say.
        (empty ? lists.alone : lists.joined) << stored;
        (empty ? lists.aloneIndexes : lists.joinedIndexes) << l;
    }
    return lists;
}

void Table::forJoined(const QByteArray& kind, const QList<Field*>& fields,
                      const QList<QVariantList>& values, const Where& range, const JoinedText& text,
                      const std::function<bool(Statement&, int)>& row) {
    Connection& c = conn();
    // As many lists to a statement as its parameters allow, beside the range's.
    const int room =
        std::max(1, (c.maxParameters() - int(range.binds.size()) - 16) / (int(fields.size()) + 1));
    for (int from = 0; from < values.size(); from += room) {
        const int count = std::min(room, int(values.size()) - from);
        // The statement is kept for a few lengths of the list: the lists are padded with rows
        // that match nothing (no number, no values) up to the next power of two.
        int rows = 8;
        while (rows < count)
            rows *= 2;
        rows = std::min(rows, room);
        QByteArray key = kind;
        key += '/';
        for (Field* f : fields) {
            key += char(f->index() & 0xff);
            key += char(f->index() >> 8);
        }
        key += '/';
        key += QByteArray::number(rows);
        key += '/';
        appendShape(key, range);
        const QString t = QStringLiteral("t.");
        Statement& s = kept(key, [&] {
            const Dialect& d = c.dialect();
            ParameterMarks marks(d);
            QStringList on;
            for (int i = 0; i < fields.size(); ++i)
                on << QStringLiteral("t.%1 = k.column%2")
                          .arg(d.identifier(fields[i]->fieldName()))
                          .arg(i + 2);
            QStringList list;
            for (int r = 0; r < rows; ++r) {
                QStringList one{marks.next(FieldType::Integer)};
                for (Field* f : fields)
                    one << marks.next(f->dataType());
                list << QLatin1Char('(') + one.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            const QString conds = conditionText(range, marks, t);
            if (!conds.isEmpty())
                on << conds;
            return text(list.join(QStringLiteral(", ")), on.join(QStringLiteral(" AND ")), c);
        });
        StatementUse use(s);
        int p = 0;
        for (int r = 0; r < rows; ++r) {
            if (r < count) {
                s.bind(++p, qint64(from + r));
                for (const QVariant& v : values[from + r])
                    s.bind(++p, v);
            } else {
                s.bind(++p, QVariant());
                for (int i = 0; i < fields.size(); ++i)
                    s.bind(++p, QVariant());
            }
        }
        for (const QVariant& v : range.binds)
            s.bind(++p, v);
        // The rows of a list its caller wants no more of are stepped over unread.
        qint64 passing = -1;
        while (s.step()) {
            const qint64 r = s.columnInt64(0);
            if (r >= from && r < from + count && r != passing && !row(s, int(r)))
                passing = r;
        }
    }
}

std::vector<std::vector<RecordBuffer>> Table::readMatching(const QString& fieldNames,
                                                           const QList<QVariantList>& valueLists) {
    std::vector<std::vector<RecordBuffer>> out(size_t(valueLists.size()));
    visitMatching(fieldNames, valueLists, [&](int list, RecordBuffer& rec) {
        out[size_t(list)].push_back(std::move(rec));
        return true;
    });
    return out;
}

void Table::visitMatching(const QString& fieldNames, const QList<QVariantList>& valueLists,
                          const std::function<bool(int, RecordBuffer&)>& visit) {
    requireActive();
    const QList<Field*> fields = fieldList(fieldNames);
    for (Field* f : fields)
        if (!f->isData())
            throw DatabaseError(QStringLiteral("%1: only stored fields can be matched (%2).")
                                    .arg(name(), f->fieldName()));
    const Lists lists = storedLists(fields, valueLists);
    const int start = m_rangeActive ? m_rangeCount : 0;
    // The lists with an empty value are read one by one, in their turn among the others.
    int alone = 0;
    auto visitAloneBefore = [&](int list) {
        for (; alone < lists.alone.size() && lists.aloneIndexes[alone] < list; ++alone) {
            Where eq;
            for (int i = 0; i < fields.size(); ++i)
                eq.equal(Column::Field, fields[i]->index(), lists.alone[alone][i]);
            std::vector<RecordBuffer> rows;
            fetch(eq, true, start, kAllRows, rows, false);
            for (RecordBuffer& r : rows)
                if (accepts(r) && !visit(lists.aloneIndexes[alone], r))
                    break;
        }
    };
    forJoined(
        QByteArrayLiteral("J"), fields, lists.joined, rangeWhere(),
        [&](const QString& valuesList, const QString& matches, Connection& c) {
            QStringList order{QStringLiteral("k.column1")};
            for (const QString& column : m_order)
                order << c.dialect().orderTerm(QStringLiteral("t.") + column, false, true);
            order << QStringLiteral("t.") + c.dialect().rowId();
            return QStringLiteral("SELECT k.column1, %1 FROM %2 ORDER BY %3")
                .arg(selectList(QStringLiteral("t."), !keyFollowsValues()),
                     c.dialect().eachListsRecords(valuesList, m_sqlTable, matches),
                     order.join(QStringLiteral(", ")));
        },
        [&](Statement& s, int joined) {
            const int list = lists.joinedIndexes[joined];
            visitAloneBefore(list);
            RecordBuffer rec = newBuffer();
            // The records are handed to the caller, not paged through: their ordering values
            // are taken from their fields rather than read twice.
            readRow(s, rec, 1, !keyFollowsValues());
            return !accepts(rec) || visit(list, rec);
        });
    visitAloneBefore(int(valueLists.size()));
}

std::vector<double> Table::sums(const QString& sumField, const QString& keyFields,
                                const QList<QVariantList>& valueLists) {
    requireActive();
    const Field* total = fieldByName(sumField);
    const QList<Field*> keys = fieldList(keyFields);
    std::vector<double> out(size_t(valueLists.size()), 0.0);
    const Lists lists = storedLists(keys, valueLists);
    for (int a = 0; a < lists.alone.size(); ++a)
        out[size_t(lists.aloneIndexes[a])] =
            sum(sumField, keyFields, valueLists[lists.aloneIndexes[a]]);
    // The filter and the range do not apply: the total of every stored record, as sum() gives.
    QByteArray kind("S/");
    kind += QByteArray::number(total->index());
    // A total worked out for each list on its own: no grouping (and no sort) of the records.
    forJoined(
        kind, keys, lists.joined, Where(),
        [&](const QString& valuesList, const QString& matches, Connection& c) {
            const Dialect& d = c.dialect();
            return QStringLiteral("SELECT k.column1, (SELECT %1 FROM %2 AS t WHERE %3) FROM "
                                  "(VALUES %4) AS k WHERE k.column1 IS NOT NULL")
                .arg(d.total(QStringLiteral("t.") + d.identifier(total->fieldName())), m_sqlTable,
                     matches, valuesList);
        },
        [&](Statement& s, int list) {
            out[size_t(lists.joinedIndexes[list])] = s.columnDouble(1);
            return true;
        });
    return out;
}

// ---- table management ----

bool Table::exists() {
    return database().tableExists(m_tableName);
}

void Table::createTable() {
    checkClosed("create the table");
    TableDef def;
    def.name = m_tableName;
    def.fields = m_fieldDefs;
    if (def.fields.isEmpty())
        for (Field* f : dataFields())
            def.fields << FieldDef{f->fieldName(), f->dataType(), f->size(), f->isRequired()};
    def.indexes = m_indexDefs;
    database().createTable(def);
}

void Table::deleteTable() {
    checkClosed("delete the table");
    database().deleteTable(m_tableName);
}

void Table::emptyTable() {
    Database& db = database();
    const QString table = db.tableStructure(m_tableName).name;
    Connection& c = db.connection();
    WriteScope scope(c);
    c.emptyTable(table);
    c.noteWrite();
    scope.commit();
    if (isActive())
        resync();
}

void Table::addIndex(const QString& name, const QString& fields, bool primary, bool unique) {
    checkClosed("add an index");
    database().addIndex(m_tableName,
                        IndexDef{name, splitFieldList(fields), primary, unique || primary});
}

} // namespace db
