#include "platform/db/data_set.h"

#include "platform/base/errors.h"
#include "platform/db/data_source.h"

#include <algorithm>
#include <cassert>
#include <exception>

namespace db {

using base::DatabaseError;

namespace {

// Puts a dataset into a passing state (computing fields, filtering) and always restores it.
struct StateScope {
    DataSetState& state;
    RecordBuffer*& active;
    DataSetState savedState;
    RecordBuffer* savedActive;
    StateScope(DataSetState& s, RecordBuffer*& a, DataSetState to, RecordBuffer* rec)
        : state(s), active(a), savedState(s), savedActive(a) {
        state = to;
        active = rec;
    }
    ~StateScope() {
        state = savedState;
        active = savedActive;
    }
};

} // namespace

// Checks the invariants when a public operation returns normally (debug builds only).
class DataSet::InvariantCheck {
public:
    explicit InvariantCheck(const DataSet& dataSet)
        : m_dataSet(dataSet), m_exceptions(std::uncaught_exceptions()) {}
    ~InvariantCheck() {
        if (std::uncaught_exceptions() == m_exceptions)
            m_dataSet.checkInvariants();
    }
    InvariantCheck(const InvariantCheck&) = delete;
    InvariantCheck& operator=(const InvariantCheck&) = delete;

private:
    const DataSet& m_dataSet;
    int m_exceptions;
};

void DataSet::checkInvariants() const {
#ifndef NDEBUG
    // Between public operations the dataset is in one of its four lasting states.
    assert(m_state == DataSetState::Inactive || m_state == DataSetState::Browse ||
           m_state == DataSetState::Edit || m_state == DataSetState::Insert);
    // 1. A closed dataset has no record and stands at both ends.
    if (m_state == DataSetState::Inactive)
        assert(!m_hasRecord && m_bof && m_eof && !m_modified);
    // 2. Browsing with no record is the empty dataset: both ends at once.
    if (m_state == DataSetState::Browse && !m_hasRecord)
        assert(m_bof && m_eof);
    // 3. Browsing holds no pending changes.
    if (m_state == DataSetState::Browse)
        assert(!m_modified);
    // 4. An edit is of a stored record, whose copy as read is kept for the concurrency check.
    if (m_state == DataSetState::Edit)
        assert(m_hasRecord && m_original.id == m_current.id);
    // 5. Controls are switched off as often as on, never less.
    assert(m_disableCount >= 0);
#endif
}

void DataSet::requireActive() const {
    if (!isActive())
        throw DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset."),
                            DatabaseError::Kind::InvalidState);
}

void DataSet::requireModifiable() const {
    requireActive();
    if (!canModify())
        throw DatabaseError(QStringLiteral("Cannot modify a read-only dataset."),
                            DatabaseError::Kind::InvalidState);
}

bool DataSet::seek(bool forward, const RecordBuffer* from, RecordBuffer& out) {
    RecordBuffer r = newBuffer();
    bool found = from ? (forward ? rawNext(*from, r) : rawPrior(*from, r))
                      : (forward ? rawFirst(r) : rawLast(r));
    while (found && !accepts(r)) {
        RecordBuffer n = newBuffer();
        found = forward ? rawNext(r, n) : rawPrior(r, n);
        r = std::move(n);
    }
    if (found)
        out = std::move(r);
    return found;
}

DataSet::DataSet(QString name) : m_name(std::move(name)) {}

DataSet::~DataSet() {
    const auto sources = m_sources;
    for (DataSource* s : sources) {
        try {
            s->setDataSet(nullptr); // see ~Table
        } catch (const base::Error&) {
        }
    }
}

Field* DataSet::addField(const QString& name, FieldType type, int size, FieldKind kind) {
    if (isActive())
        throw DatabaseError(
            QStringLiteral("Cannot add the field %1 to the open dataset %2.").arg(name, m_name),
            DatabaseError::Kind::InvalidState);
    if (findField(name))
        throw DatabaseError(QStringLiteral("Duplicate field name %1 in %2.").arg(name, m_name));
    m_fields.push_back(std::make_unique<Field>(*this, name, type, size, kind));
    Field* f = m_fields.back().get();
    f->m_index = int(m_fields.size()) - 1;
    return f;
}

Field* DataSet::addLookupField(const QString& name, int size, DataSet* lookupDataSet,
                               const QString& keyFields, const QString& lookupKeyFields,
                               const QString& resultField) {
    Field* f = addField(name, FieldType::Text, size, FieldKind::Lookup);
    f->setLookup(lookupDataSet, keyFields, lookupKeyFields, resultField);
    return f;
}

Field* DataSet::addCalculatedField(const QString& name, FieldType type, int size) {
    return addField(name, type, size, FieldKind::Calculated);
}

Field* DataSet::findField(const QString& name) const {
    for (const auto& f : m_fields)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field* DataSet::fieldByName(const QString& name) const {
    Field* f = findField(name);
    if (!f)
        throw DatabaseError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    return f;
}

QList<Field*> DataSet::fieldList(const QString& names) const {
    QList<Field*> out;
    for (const QString& n : splitFieldList(names))
        out << fieldByName(n);
    return out;
}

QList<Field*> DataSet::dataFields() const {
    QList<Field*> out;
    for (const auto& f : m_fields)
        if (f->isData())
            out << f.get();
    return out;
}

bool DataSet::hasDeclaredDataFields() const {
    for (const auto& f : m_fields)
        if (f->isData())
            return true;
    return false;
}

void DataSet::createFieldsFromDefs(const QList<FieldDef>& defs) {
    for (const FieldDef& d : defs) {
        m_fields.push_back(std::make_unique<Field>(*this, d.name, d.type, d.size, FieldKind::Data));
        Field* f = m_fields.back().get();
        f->m_index = int(m_fields.size()) - 1;
        f->setRequired(d.required);
        m_autoFields.push_back(f);
    }
}

RecordBuffer DataSet::newBuffer() const {
    RecordBuffer r;
    r.values.resize(int(m_fields.size()));
    return r;
}

// ---- opening and closing ----

void DataSet::open() {
    const InvariantCheck check(*this);
    if (isActive())
        return;
    if (beforeOpen)
        beforeOpen(*this);
    doOpen();
    m_state = DataSetState::Browse;
    m_modified = false;
    try {
        setEmpty();
        RecordBuffer r;
        m_opening = true;
        const bool any = seek(true, nullptr, r);
        m_opening = false;
        if (any) {
            setCurrent(std::move(r));
            m_bof = true;
            m_eof = false;
        }
    } catch (...) {
        m_opening = false;
        m_state = DataSetState::Inactive;
        doClose();
        for (Field* f : m_autoFields)
            std::erase_if(m_fields, [f](const auto& p) { return p.get() == f; });
        m_autoFields.clear();
        throw;
    }
    notify(DataEvent::ActiveChanged);
    if (afterOpen)
        afterOpen(*this);
    if (afterScroll)
        afterScroll(*this);
}

void DataSet::close() {
    const InvariantCheck check(*this);
    if (!isActive())
        return;
    if (beforeClose)
        beforeClose(*this);
    // An unposted record is abandoned when its dataset closes.
    m_state = DataSetState::Inactive;
    m_hasRecord = false;
    m_bof = m_eof = true;
    m_modified = false;
    doClose();
    notify(DataEvent::ActiveChanged);
    if (!m_autoFields.empty()) {
        for (Field* f : m_autoFields)
            std::erase_if(m_fields, [f](const auto& p) { return p.get() == f; });
        m_autoFields.clear();
    }
    m_current = RecordBuffer();
    if (afterClose)
        afterClose(*this);
}

// ---- records, filters and derived fields ----

const QVariant* DataSet::activeValue(const Field& f) const {
    if (m_state == DataSetState::Inactive)
        return nullptr;
    if (m_active == &m_current && !m_hasRecord && m_state == DataSetState::Browse)
        return nullptr;
    if (f.m_index >= m_active->values.size())
        return nullptr;
    return &m_active->values[f.m_index];
}

bool DataSet::accepts(RecordBuffer& rec) {
    if (!m_filtered || !onFilterRecord)
        return true;
    StateScope scope(m_state, m_active, DataSetState::Filter, &rec);
    bool accept = true;
    onFilterRecord(*this, accept);
    return accept;
}

void DataSet::computeDerived(RecordBuffer& rec) {
    if (rec.values.size() < int(m_fields.size()))
        rec.values.resize(int(m_fields.size()));
    bool hasCalc = false;
    for (const auto& f : m_fields) {
        if (f->kind() == FieldKind::Lookup) {
            QVariant result;
            DataSet* lookupSet = f->lookupDataSet();
            if (lookupSet && lookupSet->isActive()) {
                QVariantList keys;
                bool anyKey = false;
                for (const QString& k : splitFieldList(f->keyFields())) {
                    const Field* kf = fieldByName(k);
                    const QVariant v = rec.values[kf->m_index];
                    anyKey = anyKey || (v.isValid() && !v.isNull());
                    keys << v;
                }
                if (anyKey)
                    result = lookupSet->lookup(f->lookupKeyFields(), keys, f->lookupResultField());
            }
            rec.values[f->m_index] = result.isValid() ? f->convert(result) : QVariant();
        } else if (f->kind() == FieldKind::Calculated) {
            rec.values[f->m_index] = QVariant();
            hasCalc = true;
        }
    }
    if (hasCalc && onCalcFields) {
        StateScope scope(m_state, m_active, DataSetState::CalcFields, &rec);
        onCalcFields(*this);
    }
}

void DataSet::setCurrent(RecordBuffer&& rec) {
    computeDerived(rec);
    m_current = std::move(rec);
    m_hasRecord = true;
}

void DataSet::setEmpty() {
    m_current = newBuffer();
    m_hasRecord = false;
    m_bof = m_eof = true;
}

void DataSet::announcePositioned() {
    m_bof = m_eof = false;
    notify(DataEvent::DataSetChanged);
    afterNavigate();
}

bool DataSet::settleForward(RecordBuffer rec) {
    if (!accepts(rec) && !seek(true, &rec, rec))
        return false;
    setCurrent(std::move(rec));
    return true;
}

void DataSet::storeValue(Field& f, const QVariant& v) {
    m_active->values[f.m_index] = v;
    m_modified = true;
    computeDerived(*m_active);
    if (f.onChange)
        f.onChange(f);
    notify(DataEvent::RecordChanged, &f);
}

// ---- navigation ----

void DataSet::afterNavigate() {
    if (afterScroll)
        afterScroll(*this);
}

void DataSet::first() {
    const InvariantCheck check(*this);
    checkBrowseMode();
    RecordBuffer r;
    const bool found = seek(true, nullptr, r);
    if (found)
        setCurrent(std::move(r));
    else
        setEmpty();
    m_bof = true;
    m_eof = !found;
    notify(DataEvent::DataSetChanged);
    afterNavigate();
}

void DataSet::last() {
    const InvariantCheck check(*this);
    checkBrowseMode();
    RecordBuffer r;
    const bool found = seek(false, nullptr, r);
    if (found)
        setCurrent(std::move(r));
    else
        setEmpty();
    m_eof = true;
    m_bof = !found;
    notify(DataEvent::DataSetChanged);
    afterNavigate();
}

void DataSet::next() {
    step(true);
}

void DataSet::prior() {
    step(false);
}

void DataSet::step(bool forward) {
    const InvariantCheck check(*this);
    checkBrowseMode();
    bool& edge = forward ? m_eof : m_bof;
    RecordBuffer r;
    if (!m_hasRecord || !seek(forward, &m_current, r)) {
        edge = true;
        return;
    }
    setCurrent(std::move(r));
    m_bof = m_eof = false;
    notify(DataEvent::DataSetScroll);
    afterNavigate();
}

int DataSet::moveBy(int distance) {
    int moved = 0;
    while (distance > 0) {
        next();
        if (m_eof)
            break;
        ++moved;
        --distance;
    }
    while (distance < 0) {
        prior();
        if (m_bof)
            break;
        --moved;
        ++distance;
    }
    return moved;
}

int DataSet::recordCount() {
    if (!isActive())
        return 0;
    if (!m_filtered || !onFilterRecord) {
        const int n = rawCount();
        if (n >= 0)
            return n;
    }
    int n = 0;
    RecordBuffer r;
    for (bool more = seek(true, nullptr, r); more; more = seek(true, &r, r))
        ++n;
    return n;
}

// ---- searching ----

bool DataSet::matches(const QVariant& have, const QVariant& want, LocateOptions options) {
    const bool haveNull = !have.isValid() || have.isNull();
    const bool wantNull = !want.isValid() || want.isNull();
    if (haveNull || wantNull)
        return haveNull && wantNull;
    if (have.typeId() == QMetaType::QString) {
        const Qt::CaseSensitivity cs =
            options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString h = have.toString();
        const QString w = want.toString();
        return options.partialKey ? h.startsWith(w, cs) : h.compare(w, cs) == 0;
    }
    return have == want;
}

bool DataSet::rawFind(const QList<Field*>& fields, const QVariantList& values,
                      const RecordBuffer* after, RecordBuffer& out) {
    // Lookup and calculated fields are not stored: a search by one computes them first.
    bool derived = false;
    for (const Field* f : fields)
        derived = derived || !f->isData();
    RecordBuffer r = newBuffer();
    bool more = after ? rawNext(*after, r) : rawFirst(r);
    while (more) {
        if (derived)
            computeDerived(r);
        bool all = true;
        for (int i = 0; i < fields.size() && all; ++i)
            all = matches(r.values[fields[i]->index()], values[i], {});
        if (all) {
            out = std::move(r);
            return true;
        }
        RecordBuffer next = newBuffer();
        more = rawNext(r, next);
        r = std::move(next);
    }
    return false;
}

bool DataSet::findAccepted(const QList<Field*>& fields, const QVariantList& values,
                           RecordBuffer& out) {
    RecordBuffer prev;
    const RecordBuffer* after = nullptr;
    for (;;) {
        RecordBuffer cand = newBuffer();
        if (!rawFind(fields, values, after, cand))
            return false;
        if (accepts(cand)) {
            out = std::move(cand);
            return true;
        }
        prev = std::move(cand);
        after = &prev;
    }
}

bool DataSet::locate(const QString& fieldNames, const QVariantList& values, LocateOptions options) {
    const InvariantCheck check(*this);
    checkBrowseMode();
    const QList<Field*> fields = fieldList(fieldNames);
    if (fields.size() != values.size())
        throw DatabaseError(QStringLiteral("%1: %2 values given for %3 fields.")
                                .arg(m_name)
                                .arg(values.size())
                                .arg(fields.size()));
    QVariantList wanted;
    bool allData = true;
    for (int i = 0; i < fields.size(); ++i) {
        allData = allData && fields[i]->isData();
        try {
            wanted << (options.partialKey || options.caseInsensitive
                           ? values[i]
                           : fields[i]->convert(values[i]));
        } catch (const base::ConversionError&) {
            return false; // a value the field cannot hold matches no record
        }
    }
    RecordBuffer found;
    bool ok = false;
    if (allData && !options.caseInsensitive && !options.partialKey) {
        ok = findAccepted(fields, wanted, found);
    } else {
        RecordBuffer r;
        for (bool more = seek(true, nullptr, r); more && !ok; more = seek(true, &r, r)) {
            if (!allData)
                computeDerived(r);
            bool all = true;
            for (int i = 0; i < fields.size() && all; ++i)
                all = matches(r.values[fields[i]->index()], wanted[i], options);
            if (all) {
                found = std::move(r);
                ok = true;
            }
        }
    }
    if (!ok)
        return false;
    setCurrent(std::move(found));
    m_bof = m_eof = false;
    notify(DataEvent::DataSetChanged);
    afterNavigate();
    return true;
}

QVariant DataSet::lookup(const QString& keyFields, const QVariantList& values,
                         const QString& resultFields) {
    if (!isActive())
        return QVariant();
    const QList<Field*> keys = fieldList(keyFields);
    const QList<Field*> results = fieldList(resultFields);
    QVariantList wanted;
    for (int i = 0; i < keys.size() && i < values.size(); ++i) {
        try {
            wanted << keys[i]->convert(values[i]);
        } catch (const base::ConversionError&) {
            return QVariant();
        }
    }
    if (wanted.size() != keys.size())
        return QVariant();
    RecordBuffer r;
    if (!findAccepted(keys, wanted, r))
        return QVariant();
    bool derived = false;
    for (Field* f : results)
        derived = derived || !f->isData();
    if (derived)
        computeDerived(r);
    if (results.size() == 1)
        return r.values[results[0]->index()];
    QVariantList out;
    for (Field* f : results)
        out << r.values[f->index()];
    return out;
}

// ---- bookmarks ----

Bookmark DataSet::bookmark() const {
    return (m_hasRecord && m_state == DataSetState::Browse) || m_state == DataSetState::Edit
               ? Bookmark{m_current.id}
               : Bookmark{};
}

bool DataSet::bookmarkValid(const Bookmark& b) {
    if (!isActive() || !b.isValid())
        return false;
    RecordBuffer r = newBuffer();
    r.id = b.id;
    return rawRefetch(r);
}

void DataSet::gotoBookmark(const Bookmark& b) {
    const InvariantCheck check(*this);
    checkBrowseMode();
    RecordBuffer r = newBuffer();
    r.id = b.id;
    if (!b.isValid() || !rawRefetch(r))
        throw DatabaseError(QStringLiteral("Record not found."),
                            DatabaseError::Kind::RecordNotFound);
    setCurrent(std::move(r));
    m_bof = m_eof = false;
    notify(DataEvent::DataSetChanged);
    afterNavigate();
}

// ---- editing ----

void DataSet::setState(DataSetState state) {
    if (m_state == state)
        return;
    m_state = state;
    notify(DataEvent::StateChanged);
}

void DataSet::edit() {
    const InvariantCheck check(*this);
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    requireModifiable();
    if (!m_hasRecord) {
        insert();
        return;
    }
    if (beforeEdit)
        beforeEdit(*this);
    // Editing starts from the record as it is stored now, not as it was read for browsing.
    RecordBuffer r = m_current;
    if (!rawRefetch(r))
        throw DatabaseError(QStringLiteral("The record was deleted by another user."),
                            DatabaseError::Kind::RecordDeleted);
    computeDerived(r);
    m_current = r;
    m_original = std::move(r);
    m_modified = false;
    setState(DataSetState::Edit);
    notify(DataEvent::RecordChanged);
    if (afterEdit)
        afterEdit(*this);
}

void DataSet::insert() {
    const InvariantCheck check(*this);
    requireActive();
    checkBrowseMode();
    requireModifiable();
    if (beforeInsert)
        beforeInsert(*this);
    m_beforeInsert = m_current;
    m_hadRecordBeforeInsert = m_hasRecord;
    RecordBuffer r = newBuffer();
    initNewRecord(r);
    m_current = std::move(r);
    setState(DataSetState::Insert);
    try {
        if (onNewRecord)
            onNewRecord(*this);
        computeDerived(m_current);
    } catch (...) {
        m_current = m_beforeInsert;
        m_hasRecord = m_hadRecordBeforeInsert;
        setState(DataSetState::Browse);
        throw;
    }
    // Values set for a new record by the dataset itself do not count as the user's changes.
    m_modified = false;
    notify(DataEvent::DataSetChanged);
    if (afterInsert)
        afterInsert(*this);
}

void DataSet::append() {
    insert();
}

void DataSet::post() {
    const InvariantCheck check(*this);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert) {
        requireActive();
        return;
    }
    notify(DataEvent::UpdateData);
    if (beforePost)
        beforePost(*this);
    for (const auto& f : m_fields)
        if (f->isData() && f->isRequired() && f->isNull())
            throw DatabaseError(
                QStringLiteral("Field '%1' must have a value.").arg(f->fieldName()));
    RecordBuffer rec = m_current;
    if (m_state == DataSetState::Insert)
        rawInsert(rec);
    else
        rawUpdate(m_original, rec);
    // Show the record as stored: as written where the store keeps exactly what it was given,
    // else as read back.
    if (!rawWritesAsGiven() && !rawRefetch(rec))
        rec = m_current;
    setCurrent(std::move(rec));
    m_modified = false;
    m_bof = m_eof = false;
    m_original = RecordBuffer();
    setState(DataSetState::Browse);
    notify(DataEvent::DataSetChanged);
    if (afterPost)
        afterPost(*this);
}

void DataSet::cancel() {
    const InvariantCheck check(*this);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    if (beforeCancel)
        beforeCancel(*this);
    if (m_state == DataSetState::Insert) {
        m_current = m_beforeInsert;
        m_hasRecord = m_hadRecordBeforeInsert;
        if (!m_hasRecord)
            m_current = newBuffer();
    } else {
        m_current = m_original;
    }
    m_original = RecordBuffer();
    m_modified = false;
    setState(DataSetState::Browse);
    notify(DataEvent::DataSetChanged);
    if (afterCancel)
        afterCancel(*this);
}

void DataSet::remove() {
    const InvariantCheck check(*this);
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    requireActive();
    if (!m_hasRecord)
        throw DatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset."),
                            DatabaseError::Kind::InvalidState);
    requireModifiable();
    if (beforeDelete)
        beforeDelete(*this);
    const RecordBuffer original = m_state == DataSetState::Edit ? m_original : m_current;
    rawDelete(original);
    m_original = RecordBuffer();
    m_modified = false;
    // Stand on the record that followed the deleted one, or else on the one before it.
    RecordBuffer r = newBuffer();
    bool found = rawFollowing(original, r);
    if (found && !accepts(r)) {
        RecordBuffer n = r;
        found = seek(true, &n, r);
    }
    m_eof = !found;
    if (!found)
        found = seek(false, &original, r);
    if (found)
        setCurrent(std::move(r));
    else
        setEmpty();
    m_state = DataSetState::Browse;
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataSetChanged);
    if (afterDelete)
        afterDelete(*this);
    afterNavigate();
}

void DataSet::checkBrowseMode() {
    const InvariantCheck check(*this);
    requireActive();
    // A detail's pending record is posted before its master moves; if the detail refuses,
    // the master stays where it is.
    notify(DataEvent::CheckBrowseMode);
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert) {
        notify(DataEvent::UpdateData);
        if (m_modified)
            post();
        else
            cancel();
    }
}

void DataSet::refresh() {
    const InvariantCheck check(*this);
    checkBrowseMode();
    resync();
}

void DataSet::resync() {
    if (m_state != DataSetState::Browse)
        return;
    if (m_hasRecord) {
        RecordBuffer r = m_current;
        if (rawRefetch(r) && accepts(r)) {
            setCurrent(std::move(r));
            notify(DataEvent::DataSetChanged);
            return;
        }
        // The record is gone: stand on what now follows its key.
        if (seek(true, &m_current, r)) {
            setCurrent(std::move(r));
            notify(DataEvent::DataSetChanged);
            return;
        }
    }
    RecordBuffer r;
    if (seek(true, nullptr, r))
        setCurrent(std::move(r));
    else
        setEmpty();
    notify(DataEvent::DataSetChanged);
}

void DataSet::setFiltered(bool filtered) {
    const InvariantCheck check(*this);
    if (m_filtered == filtered)
        return;
    if (isActive())
        checkBrowseMode();
    m_filtered = filtered;
    if (isActive())
        first();
}

// ---- data sources ----

void DataSet::enableControls() {
    const InvariantCheck check(*this);
    if (m_disableCount > 0 && --m_disableCount == 0)
        notify(DataEvent::DataSetChanged);
}

void DataSet::attachSource(DataSource* source) {
    if (!m_sources.contains(source))
        m_sources.append(source);
}

void DataSet::detachSource(DataSource* source) {
    m_sources.removeAll(source);
}

void DataSet::notify(DataEvent event, Field* field) {
    const bool disabled = m_disableCount > 0;
    const auto sources = m_sources;
    for (DataSource* s : sources)
        if (m_sources.contains(s))
            s->dataEvent(event, field, disabled);
}

void DataSet::withRecord(RecordBuffer& rec, const std::function<void()>& fn) {
    computeDerived(rec);
    StateScope scope(m_state, m_active, m_state, &rec);
    fn();
}

void DataSet::withRecordAsRead(RecordBuffer& rec, const std::function<void()>& fn) {
    StateScope scope(m_state, m_active, m_state, &rec);
    fn();
}

std::vector<RecordBuffer> DataSet::readStored() {
    std::vector<RecordBuffer> out;
    requireActive();
    if (rawReadAll(out)) {
        out.erase(
            std::remove_if(out.begin(), out.end(), [&](RecordBuffer& r) { return !accepts(r); }),
            out.end());
        return out;
    }
    RecordBuffer r;
    for (const RecordBuffer* from = nullptr; seek(true, from, r); from = &out.back())
        out.push_back(std::move(r));
    return out;
}

void DataSet::readStoredInBatches(
    int count, const std::function<void(const std::vector<RecordBuffer>&)>& take) {
    requireActive();
    count = std::max(count, 1);
    std::vector<RecordBuffer> batch;
    batch.reserve(size_t(count));
    RecordBuffer last, r;
    for (const RecordBuffer* from = nullptr;;) {
        batch.clear();
        for (; int(batch.size()) < count && seek(true, from, r); from = &batch.back())
            batch.push_back(std::move(r));
        if (batch.empty())
            return;
        const bool full = int(batch.size()) == count;
        last = batch.back();
        from = &last;
        take(batch);
        if (!full)
            return;
    }
}

std::vector<RecordBuffer> DataSet::readBehind(int count) {
    return readAway(false, count);
}

std::vector<RecordBuffer> DataSet::readAhead(int count) {
    std::vector<RecordBuffer> out;
    if (!isActive() || count <= 0 || m_state == DataSetState::Insert || !m_hasRecord)
        return out;
    out.push_back(m_current);
    std::vector<RecordBuffer> rest = readAway(true, count - 1);
    std::move(rest.begin(), rest.end(), std::back_inserter(out));
    return out;
}

std::vector<RecordBuffer> DataSet::readAway(bool forward, int count) {
    std::vector<RecordBuffer> out;
    if (!isActive() || count <= 0 || m_state == DataSetState::Insert || !m_hasRecord)
        return out;
    RecordBuffer r;
    for (const RecordBuffer* from = &m_current; int(out.size()) < count && seek(forward, from, r);
         from = &out.back()) {
        computeDerived(r);
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace db
