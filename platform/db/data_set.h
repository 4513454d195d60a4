#pragma once
// A navigational dataset: an ordered set of records with a current record, the states browse,
// edit and insert, events around every operation, filters, lookup and calculated fields, and
// notifications to data sources. Table and Query supply the records; this class keeps the
// rules that are the same for both.
//
// States and transitions:
//
//                open()                 edit()                post() / cancel()
//   Inactive ─────────────> Browse ─────────────> Edit ────────────────────────> Browse
//      ^                    │  ^   insert(),                                      (post writes
//      │     close()        │  │   append()       post() / cancel()                the record)
//      └────────────────────┘  └──────────── Insert <──────────── Browse
//
//   - close() from any state abandons an unposted record.
//   - Moving (first, last, next, prior, moveBy, locate, gotoBookmark, refresh) starts with
//     checkBrowseMode(): a modified pending record is posted, an unmodified one cancelled; a
//     post that fails leaves the dataset in Edit or Insert where it was.
//   - remove() deletes the current record from Browse or Edit and stands on the record that
//     followed it (or else the one before); in Insert it cancels the new record.
//   - CalcFields and Filter are passing states: while an onCalcFields or onFilterRecord
//     handler runs, the fields read the record being computed or filtered; the state before is
//     always restored.
//
// Invariants, checked at the end of every public operation in debug builds:
//   1. Inactive: no current record, bof and eof, nothing modified.
//   2. Browse without a record is the empty dataset: bof and eof at once.
//   3. Browse holds no pending change.
//   4. Edit is of a stored record: m_original holds it as it was read when editing began, and
//      posting refuses when the stored record no longer matches it.
//   5. Controls are switched on no more often than off.
// Outside passing states the current record is a copy of a stored record (or there is none:
// isEmpty()).
#include "platform/db/data_event.h"
#include "platform/db/field.h"
#include "platform/db/record_buffer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace db {

class DataSource;

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; // a text value matches the beginning of the field's text
};

class DataSet {
public:
    using Event = std::function<void(DataSet&)>;
    using FilterEvent = std::function<void(DataSet&, bool& accept)>;

    explicit DataSet(QString name = QString());
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // Fields. Declared before opening; a dataset with no declared data fields takes every
    // column of its table or result when it opens.
    Field* addField(const QString& name, FieldType type, int size = 0,
                    FieldKind kind = FieldKind::Data);
    Field* addLookupField(const QString& name, int size, DataSet* lookupDataSet,
                          const QString& keyFields, const QString& lookupKeyFields,
                          const QString& resultField);
    Field* addCalculatedField(const QString& name, FieldType type, int size = 0);
    int fieldCount() const { return int(m_fields.size()); }
    Field* field(int i) const { return m_fields[size_t(i)].get(); }
    Field* findField(const QString& name) const;         // letter case ignored; nullptr when absent
    Field* fieldByName(const QString& name) const;       // throws DatabaseError when absent
    QList<Field*> fieldList(const QString& names) const; // "A;B"; throws when one is absent
    QList<Field*> dataFields() const;

    // Opening and closing.
    void open();
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    void setActive(bool active) { active ? open() : close(); }
    DataSetState state() const { return m_state; }

    // Navigation.
    void first();
    void last();
    void next();
    void prior();
    int moveBy(int distance); // answers how far it moved
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const { return !m_hasRecord && m_state != DataSetState::Insert; }
    // Records in view (filter and range applied).
    virtual int recordCount();

    // Searching. locate() moves to the first record, in the dataset's order, whose fields
    // equal the values (exact and case-sensitive unless told otherwise); lookup() finds the
    // same record without moving and answers the result fields' values (a list when several).
    bool locate(const QString& fieldNames, const QVariantList& values, LocateOptions options = {});
    QVariant lookup(const QString& keyFields, const QVariantList& values,
                    const QString& resultFields);

    // Bookmarks.
    Bookmark bookmark() const;
    void gotoBookmark(const Bookmark& bookmark); // throws RecordNotFound when it is gone
    bool bookmarkValid(const Bookmark& bookmark);

    // Editing.
    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove(); // deletes the current record
    bool isModified() const { return m_modified; }
    // Posts a pending edit that was modified, cancels one that was not.
    void checkBrowseMode();
    // Re-reads the records in view.
    void refresh();
    virtual bool canModify() const { return true; }

    // Filtering through onFilterRecord while filtered is on.
    bool isFiltered() const { return m_filtered; }
    void setFiltered(bool filtered);

    // Controls: while disabled no data source hears of changes; enabling tells them all.
    void disableControls() { ++m_disableCount; }
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // Events.
    Event beforeOpen, afterOpen, beforeClose, afterClose;
    Event beforeInsert, afterInsert, beforeEdit, afterEdit;
    Event beforePost, afterPost, beforeCancel, afterCancel, beforeDelete, afterDelete;
    Event afterScroll, onNewRecord, onCalcFields;
    FilterEvent onFilterRecord;

    // For data sources and grids.
    void attachSource(DataSource* source);
    void detachSource(DataSource* source);
    // Runs fn with the fields reading rec instead of the current record (a grid paints rows
    // other than the current one this way); rec gets its lookup and calculated values first.
    void withRecord(RecordBuffer& rec, const std::function<void()>& fn);
    // Reads up to count records in view starting at the current record (forward); they keep
    // their lookup and calculated values. The cursor does not move.
    std::vector<RecordBuffer> readAhead(int count);
    // Reads up to count records in view before the current record, nearest first, with their
    // lookup and calculated values. The cursor does not move; nothing is read while a new
    // record is being inserted (it has no place in the order yet).
    std::vector<RecordBuffer> readBehind(int count);
    // Every record in view from the first, in order, as stored: data fields only, lookup and
    // calculated fields are not computed (a filter still sees what it sees while navigating).
    // For a caller that reads the stored values of all records without moving the cursor or
    // paying for what the fields derive from other tables.
    std::vector<RecordBuffer> readStored();
    // The same records as readStored, handed to take a batch of at most count at a time, in
    // order: a copy of a large table never holds all of it.
    void readStoredInBatches(int count,
                             const std::function<void(const std::vector<RecordBuffer>&)>& take);
    // Like withRecord, but rec is read as it is: its lookup and calculated values are not
    // computed again. For a caller that has just computed them (with withRecord) and reads
    // the record several times, as a grid does for the cells of one row it paints.
    void withRecordAsRead(RecordBuffer& rec, const std::function<void()>& fn);
    const RecordBuffer& currentRecord() const { return m_current; }

protected:
    // The store: records without filter, in the dataset's order. Values are written at the
    // data fields' indexes of the buffer.
    virtual void doOpen() = 0;
    virtual void doClose() = 0;
    virtual bool rawFirst(RecordBuffer& out) = 0;
    virtual bool rawLast(RecordBuffer& out) = 0;
    virtual bool rawNext(const RecordBuffer& from, RecordBuffer& out) = 0;
    virtual bool rawPrior(const RecordBuffer& from, RecordBuffer& out) = 0;
    // The record that follows a deleted one, read alone (no page ahead: the next move after a
    // delete is usually a search, not a walk).
    virtual bool rawFollowing(const RecordBuffer& from, RecordBuffer& out) {
        return rawNext(from, out);
    }
    // Every record without filter, in order, read at once; false when the store has no such
    // read and the records are walked one after the other instead.
    virtual bool rawReadAll(std::vector<RecordBuffer>&) { return false; }
    virtual bool rawRefetch(RecordBuffer& rec) = 0; // re-reads by id; false when gone
    virtual void rawInsert(RecordBuffer& rec) = 0;  // sets rec.id
    virtual void rawUpdate(const RecordBuffer& original, RecordBuffer& rec) = 0;
    // True when a record written by rawInsert or rawUpdate is stored exactly as the buffer held
    // it (values already converted to the fields' types), so that post need not read it back to
    // show it as stored; the store gives rec its ordering values.
    virtual bool rawWritesAsGiven() const { return false; }
    virtual void rawDelete(const RecordBuffer& original) = 0;
    // First record after `after` (from the start when null) whose fields equal the values
    // exactly. The default walks; stores with indexes do better.
    virtual bool rawFind(const QList<Field*>& fields, const QVariantList& values,
                         const RecordBuffer* after, RecordBuffer& out);
    // Number of records in view when no filter applies; -1 to count by walking.
    virtual int rawCount() { return -1; }
    // Sets link values on a new record (a detail takes its master's values).
    virtual void initNewRecord(RecordBuffer&) {}

    // True while open() reads the first record (a store may read less ahead then).
    bool isOpening() const { return m_opening; }
    RecordBuffer newBuffer() const;
    void createFieldsFromDefs(const QList<FieldDef>& defs);
    bool hasDeclaredDataFields() const;
    // Sends a notification to every data source unless controls are disabled.
    void notify(DataEvent event, Field* field = nullptr);
    // The store calls it when the records it shows may have changed under the dataset.
    void resync();
    // Positions on the first record in view that equals or follows rec (used after a search).
    bool settleForward(RecordBuffer rec);
    bool accepts(RecordBuffer& rec);
    void computeDerived(RecordBuffer& rec);
    void setCurrent(RecordBuffer&& rec);
    void setEmpty();
    // After a search has made a record current: clears bof/eof and tells the sources.
    void announcePositioned();
    // The guards of the operations: a closed dataset, and one that cannot be changed, refuse
    // with the engine's InvalidState error.
    void requireActive() const;
    void requireModifiable() const;

private:
    friend class Field;
    const QVariant* activeValue(const Field& f) const;
    void storeValue(Field& f, const QVariant& v);
    void setState(DataSetState state);
    void afterNavigate();
    // One record forwards or backwards through the filter; at the end sets eof (or bof).
    void step(bool forward);
    // The one walk past the records the filter hides: the first record in view after (forward)
    // or before `from`, or from the first (last) record when from is null; out may be *from.
    bool seek(bool forward, const RecordBuffer* from, RecordBuffer& out);
    class InvariantCheck;
    void checkInvariants() const;
    // Up to count records in view after (or before) the current one, nearest first.
    std::vector<RecordBuffer> readAway(bool forward, int count);
    bool findAccepted(const QList<Field*>& fields, const QVariantList& values, RecordBuffer& out);
    static bool matches(const QVariant& have, const QVariant& want, LocateOptions options);

    QString m_name;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<Field*> m_autoFields; // created at open from the store; dropped at close
    DataSetState m_state = DataSetState::Inactive;
    RecordBuffer m_current;
    RecordBuffer m_original;
    RecordBuffer m_beforeInsert;
    bool m_hadRecordBeforeInsert = false;
    RecordBuffer* m_active = &m_current;
    bool m_hasRecord = false;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
    bool m_filtered = false;
    bool m_opening = false;
    int m_disableCount = 0;
    QList<DataSource*> m_sources;
};

} // namespace db
