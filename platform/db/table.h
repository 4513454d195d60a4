#pragma once
// A table dataset: the records of one table, in the order of an index, optionally restricted
// to the detail records of a master data source. It reads records a page at a time by key
// ("the records after this key"), so opening, scrolling and searching cost a few indexed
// statements whatever the table's size; no table is ever loaded whole.
#include "platform/db/data_set.h"
#include "platform/db/data_source.h"

#include <QByteArray>
#include <QHash>
#include <QVarLengthArray>
#include <functional>
#include <memory>
#include <vector>

namespace db {

class Connection;
class Database;
class ParameterMarks;
class Session;
class Statement;

// The smallest text greater than every text that starts with prefix (the prefix with its last
// character one code point further), for a key range "from prefix up to this"; empty when there
// is none.
QString prefixEnd(const QString& prefix);

class Table : public DataSet {
public:
    explicit Table(QString name = QString());
    ~Table() override;

    const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name);
    // The session that resolves the database name; the side's own session when not set.
    void setSession(Session* session) { m_session = session; }
    const QString& tableName() const { return m_tableName; }
    void setTableName(const QString& name);
    // The order: an index whose leading fields are these ("Grupa;Cod"); empty for the
    // primary index (or the order of entry when the table has none).
    const QString& indexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString& names);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    bool canModify() const override { return !m_readOnly; }

    // Master-detail: the detail shows the records whose leading index fields equal the
    // master's fields; a new record takes the master's values.
    void setMasterSource(DataSource* source);
    DataSource* masterSource() const { return m_masterLink.dataSource(); }
    void setMasterFields(const QString& names);
    const QString& masterFields() const { return m_masterFields; }

    // A condition the database applies beside the master range: only the records whose text
    // fields start with the given texts are in view (an empty text sets nothing on its field).
    // Texts compare character by character, as the indexes order them, so a condition on the
    // leading fields of the current order is read as an index range, never by walking the
    // table. Setting it on an open table stands on the first record in view.
    struct Prefix {
        QString field;
        QString text;
    };
    void setPrefixCondition(const QList<Prefix>& prefixes);
    const QList<Prefix>& prefixCondition() const { return m_prefixes; }

    // Key searches on the fields of the current order. findKey() moves to the first record
    // whose leading index fields equal the values; findNearest() to the first whose key is
    // equal or greater (a partial key compares the leading fields only), or to the end.
    bool findKey(const QVariantList& values);
    void findNearest(const QVariantList& values);

    // The total of a float field over the stored records whose fields equal the values exactly
    // (the filter is not applied), answered from an index on those fields where there is one.
    // 0 when no record matches.
    double sum(const QString& sumField, const QString& keyFields, const QVariantList& values);
    // The same totals for many lists of values at once, with one statement: one total per list.
    std::vector<double> sums(const QString& sumField, const QString& keyFields,
                             const QList<QVariantList>& valueLists);

    // Reads the records in view whose fields equal one of the lists of values (compared
    // exactly, as locate() without options compares), for all the lists with one statement
    // (more only when the lists carry more values than one statement may, or for a list with an
    // empty non-text value). Answers one list of records per list of values, each in the
    // dataset's order; a list with a value its field cannot hold matches nothing. Inside a
    // transaction the records are kept from other users until it ends by the transaction's
    // write lock of the company, not one by one (a lock on each record read would, on a
    // server, write every one of them); a write of one that anyone else changed is refused, as
    // writeRecord says. The records carry their data fields only; the cursor does not move.
    std::vector<std::vector<RecordBuffer>> readMatching(const QString& fieldNames,
                                                        const QList<QVariantList>& valueLists);
    // As readMatching, handing the records to visit(list, record) as they are read, list after
    // list in the order given: visit answers true for the list's next record, false to go on
    // with the next list (the rest of this one is not read). A list without records is not
    // visited. visit may write records of this table (writeRecord, deleteRecord).
    void visitMatching(const QString& fieldNames, const QList<QVariantList>& valueLists,
                       const std::function<bool(int, RecordBuffer&)>& visit);
    // Writes a record that is not the current one (one answered by readMatching), as post()
    // writes an edited record: only where it is still stored as `original` holds it, refused
    // with RecordChanged or RecordDeleted otherwise. `changed` is `original` with new values of
    // the fields' types (Field::convert); it is then the record as stored. No events run and
    // the cursor does not move: refresh() shows the change when the current record was the one
    // written.
    void writeRecord(const RecordBuffer& original, RecordBuffer& changed);
    // Deletes a record that is not the current one, on the same terms as writeRecord.
    void deleteRecord(const RecordBuffer& original);

    // The database the table lives in (resolved through the session).
    Database& database();

    // Table management on the closed table.
    QList<FieldDef>& fieldDefs() { return m_fieldDefs; }
    QList<IndexDef>& indexDefs() { return m_indexDefs; }
    bool exists();
    void createTable(); // from fieldDefs and indexDefs, or the declared data fields
    void deleteTable();
    void emptyTable();
    void addIndex(const QString& name, const QString& fields, bool primary, bool unique = false);

    int rawCount() override;

protected:
    void doOpen() override;
    void doClose() override;
    bool rawFirst(RecordBuffer& out) override;
    bool rawLast(RecordBuffer& out) override;
    bool rawNext(const RecordBuffer& from, RecordBuffer& out) override;
    bool rawPrior(const RecordBuffer& from, RecordBuffer& out) override;
    bool rawFollowing(const RecordBuffer& from, RecordBuffer& out) override;
    bool rawReadAll(std::vector<RecordBuffer>& out) override;
    bool rawRefetch(RecordBuffer& rec) override;
    void rawInsert(RecordBuffer& rec) override;
    void rawUpdate(const RecordBuffer& original, RecordBuffer& rec) override;
    void rawDelete(const RecordBuffer& original) override;
    bool rawWritesAsGiven() const override { return true; }
    bool rawFind(const QList<Field*>& fields, const QVariantList& values, const RecordBuffer* after,
                 RecordBuffer& out) override;
    void initNewRecord(RecordBuffer& rec) override;

private:
    class MasterLink : public DataLink {
    public:
        explicit MasterLink(Table& t) : m_table(t) {}

    protected:
        void dataEvent(DataEvent event, Field* field) override;

    private:
        Table& m_table;
        QVariantList m_lastValues;
        friend class Table;
    };

    // One condition of a WHERE clause, as a shape: the statement text is made from it once,
    // and the shapes of a statement's conditions are the key it is kept under.
    enum class Op : quint8 { Equal, IsNull, AtLeast, Greater, Less, IsNotNull };
    // An ordering column, a field, the record's identity.
    enum class Column : quint8 { Order, Field, RowId };
    struct Cond {
        Op op;
        Column column;
        quint16 index; // in m_order, or the field's index
    };
    struct Where {
        QVarLengthArray<Cond, 8> conds;
        QVariantList binds;
        // A null-safe equality that the engine can still answer from an index.
        void equal(Column column, int index, const QVariant& v);
        void compare(Column column, int index, Op op, const QVariant& v);
        void test(Column column, int index, Op op); // IS NULL, IS NOT NULL
        void append(const Where& other);
    };
    static constexpr int kPageSize = 32;
    static constexpr int kAllRows = 1 << 30; // a limit no read reaches
    struct Level {
        Where where;
        bool descendingFrom = false;
        int from = 0; // first ordering column of the level's ORDER BY
    };

    void checkClosed(const char* what) const;
    Connection& conn() const;
    // Column names are prefixed with qualifier ("t.") when one is given. The ordering columns
    // follow the data fields unless withKey is false.
    QString selectList(const QString& qualifier = QString(), bool withKey = true) const;
    // The conditions' text, their parameters numbered on from marks.
    QString conditionText(const Where& where, ParameterMarks& marks,
                          const QString& qualifier = QString()) const;
    static void appendShape(QByteArray& key, const Where& where);
    // The statement kept under `key` since the table was opened; `text` makes its statement
    // text the first time.
    template <typename MakeText> Statement& kept(const QByteArray& key, MakeText&& text);
    // Reads the columns of selectList(qualifier, withKey) from column `first` on; without the
    // ordering columns the ordering values are taken from the data fields.
    void readRow(Statement& s, RecordBuffer& out, int first = 0, bool withKey = true) const;
    // Every ordering column is a data field: a record's ordering values follow from its values.
    bool keyFollowsValues() const { return m_orderFields.size() == m_order.size(); }
    void keyFromValues(RecordBuffer& rec) const;
    // Gives a record just written its ordering values as a read would give them.
    void settleKey(RecordBuffer& rec);
    // The guarded writes behind post, remove, writeRecord and deleteRecord.
    void updateStored(const RecordBuffer& original, const RecordBuffer& rec);
    void deleteStored(const RecordBuffer& original);
    // Reads the records matching the lists of values `wanted` (indexes into out) with one
    // statement: a list of values joined with the table.
    // Lists of values in their stored form: those a join can match, and those with an empty
    // value, matched one by one; the indexes say which list of the caller's each one is.
    struct Lists {
        QList<QVariantList> joined, alone;
        QList<int> joinedIndexes, aloneIndexes;
    };
    Lists storedLists(const QList<Field*>& fields, const QList<QVariantList>& valueLists) const;
    // Runs a statement over "(VALUES <lists>) AS k", each list numbered in k.column1 and its
    // values in k.column2 on, as few times as the parameters allow, and hands each row with the
    // index (in values) of the list its first column names to row(), which answers whether it
    // wants more rows of that list. text() makes the statement from the VALUES list, the
    // conditions "<table's fields equal the list's values> AND <range>" on the table's alias t,
    // and the connection; kind tells the kept statements apart.
    using JoinedText =
        std::function<QString(const QString& valuesList, const QString& matches, Connection&)>;
    void forJoined(const QByteArray& kind, const QList<Field*>& fields,
                   const QList<QVariantList>& values, const Where& range, const JoinedText& text,
                   const std::function<bool(Statement&, int)>& row);
    Where rangeWhere() const;
    QVariantList masterValues() const;
    // Reads up to limit rows matching where + range, in order (or reverse order) from column
    // `from` of the ordering on.
    int fetch(const Where& extra, bool forward, int from, int limit, std::vector<RecordBuffer>& out,
              bool orderByIndex = true);
    // Levels of conditions that together give the rows after (or before) a key, in order.
    QList<Level> levelsAfter(const QVariantList& key, bool forward, bool inclusive,
                             int keyCount) const;
    bool fetchNeighbour(const RecordBuffer& from, bool forward, RecordBuffer& out,
                        int limit = kPageSize);
    void invalidatePage() { m_page.clear(); }
    bool readEnd(bool forward, int limit, RecordBuffer& out);
    bool keepPage(std::vector<RecordBuffer>&& page, bool forward, RecordBuffer& out);
    // Key values in their stored form (empty text as '', numbers as doubles).
    QVariantList storedKey(const QVariantList& values) const;
    bool checkUnchanged(const RecordBuffer& original);
    void masterChanged();

    QString m_databaseName;
    Session* m_session = nullptr;
    QString m_tableName;
    QString m_indexFieldNames;
    bool m_readOnly = false;
    QString m_masterFields;
    MasterLink m_masterLink{*this};
    QList<Prefix> m_prefixes;
    QList<FieldDef> m_fieldDefs;
    QList<IndexDef> m_indexDefs;

    // Resolved when open.
    Database* m_database = nullptr;
    QString m_sqlTable;
    QStringList m_order; // quoted ordering columns (index columns), without the identity
    QList<FieldType> m_orderTypes;
    bool m_uniqueOrder = false;
    int m_rangeCount = 0; // leading ordering columns fixed by the master link
    QVariantList m_range; // their values
    bool m_rangeActive = false;
    QList<Field*> m_data;        // data fields in select order
    QList<Field*> m_orderFields; // the field of each ordering column (fewer when one has none)
    // Per data field, the ordering column it is read as, and per ordering column, that field;
    // -1 where there is none.
    QList<int> m_keyColumnOfData, m_dataOfKeyColumn;

    // Statements prepared for this table while it is open, by the shape of their text. Dropped
    // when it closes, so a table re-opened after a change of structure makes them anew.
    QHash<QByteArray, std::shared_ptr<Statement>> m_statements;

    std::vector<RecordBuffer> m_page; // rows read ahead, in the direction of m_pageForward
    bool m_pageForward = true;
    quint64 m_pageStamp = 0;
};

} // namespace db
