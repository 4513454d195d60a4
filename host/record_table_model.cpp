#include "host/record_table_model.h"

#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/dispatch.h"

#include <algorithm>
#include <cmath>

namespace host {

QString formatFixed(double value, int decimals) {
    const base::FormatSettings& fs = base::formatSettings();
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    const bool negative = value < 0 && std::any_of(digits.cbegin(), digits.cend(), [](QChar c) {
                              return c.isDigit() && c != QLatin1Char('0');
                          });
    QString fraction;
    if (decimals > 0) {
        fraction = fs.decimalSeparator + digits.right(decimals);
        digits.chop(decimals + 1);
    }
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, fs.thousandSeparator);
    return (negative ? QStringLiteral("-") : QString()) + digits + fraction;
}

namespace {

RecordTableModel::Column columnOf(const db::Field& field) {
    return {field.fieldName(), field.displayLabel(), field.dataType(), field.index(),
            field.displayWidth()};
}

} // namespace

RecordTableModel::RecordTableModel(db::DataSource* source, QObject* parent)
    : QAbstractTableModel(parent) {
    m_reloadTimer.setSingleShot(true);
    m_reloadTimer.setInterval(0);
    connect(&m_reloadTimer, &QTimer::timeout, this, [this] { ui::guarded([this] { reload(); }); });
    m_link.setDataSource(source);
    reload();
}

RecordTableModel::~RecordTableModel() {
    m_link.setDataSource(nullptr);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()) || index.column() >= m_columns.size())
        return QVariant();
    const Column& column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        const QVector<QVariant>& values = m_rows[size_t(index.row())].values;
        return column.index >= 0 && column.index < values.size()
                   ? cellText(column, values[column.index])
                   : QString();
    }
    case Qt::TextAlignmentRole:
        if (column.type == db::FieldType::Float || column.type == db::FieldType::Integer)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].label;
    return QVariant();
}

QString RecordTableModel::cellText(const Column& column, const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return QString();
    switch (column.type) {
    case db::FieldType::Float: {
        const auto decimals = m_decimals.constFind(column.fieldName.toUpper());
        return decimals == m_decimals.cend() ? base::formatFloatGeneral(value.toDouble())
                                             : formatFixed(value.toDouble(), *decimals);
    }
    case db::FieldType::Date:
        return base::dateToText(value.toDate());
    case db::FieldType::Boolean:
        return value.toBool() ? QStringLiteral("Da") : QStringLiteral("Nu");
    case db::FieldType::Integer:
        return QString::number(value.toLongLong());
    case db::FieldType::Text:
        break;
    }
    return value.toString();
}

void RecordTableModel::setDecimals(const QString& fieldName, int decimals) {
    m_decimals.insert(fieldName.toUpper(), decimals);
    if (!m_rows.empty() && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void RecordTableModel::moveTo(int row) {
    db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive() || row < 0 || row >= int(m_rows.size()) || row == m_currentRow)
        return;
    ds->gotoBookmark(db::Bookmark{m_rows[size_t(row)].id});
}

void RecordTableModel::scheduleReload() {
    if (!m_reading)
        m_reloadTimer.start();
}

void RecordTableModel::reload() {
    m_reloadTimer.stop();
    db::DataSet* ds = dataSet();
    QList<Column> columns;
    std::vector<db::RecordBuffer> rows;
    if (ds && ds->isActive()) {
        for (int i = 0; i < ds->fieldCount(); ++i)
            if (ds->field(i)->isVisible())
                columns << columnOf(*ds->field(i));
        if (ds->state() != db::DataSetState::Browse)
            return; // a record is being edited: the next state change brings a reload
        const db::Bookmark mark = ds->isEmpty() ? db::Bookmark{} : ds->bookmark();
        m_reading = true;
        ds->disableControls();
        try {
            ds->first();
            rows = ds->readAhead(kMaxRows);
            if (mark.isValid()) {
                try {
                    ds->gotoBookmark(mark);
                } catch (const base::DatabaseError&) {
                    ds->first(); // the record went meanwhile
                }
            }
        } catch (...) {
            ds->enableControls();
            m_reading = false;
            throw;
        }
        ds->enableControls();
        m_reading = false;
    }

    bool sameShape = columns == m_columns && rows.size() == m_rows.size();
    for (size_t i = 0; sameShape && i < rows.size(); ++i)
        sameShape = rows[i].id == m_rows[i].id;
    if (sameShape) {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].values == m_rows[i].values)
                continue;
            m_rows[i] = std::move(rows[i]);
            emit dataChanged(index(int(i), 0), index(int(i), columnCount() - 1));
        }
        followCurrentRecord();
        return;
    }
    beginResetModel();
    m_columns = columns;
    m_rows = std::move(rows);
    m_currentRow = -1;
    endResetModel();
    followCurrentRecord();
}

void RecordTableModel::followCurrentRecord() {
    db::DataSet* ds = dataSet();
    int row = -1;
    if (ds && ds->isActive() && !ds->isEmpty()) {
        const qint64 id = ds->currentRecord().id;
        for (size_t i = 0; i < m_rows.size() && row < 0; ++i)
            if (m_rows[i].id == id)
                row = int(i);
    }
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    emit currentRowChanged(row);
}

void RecordTableModel::refreshCurrentRow() {
    db::DataSet* ds = dataSet();
    if (m_currentRow < 0 || !ds || ds->state() != db::DataSetState::Browse)
        return;
    db::RecordBuffer& row = m_rows[size_t(m_currentRow)];
    if (row.id != ds->currentRecord().id || row.values == ds->currentRecord().values)
        return;
    row = ds->currentRecord();
    emit dataChanged(index(m_currentRow, 0), index(m_currentRow, columnCount() - 1));
}

void RecordTableModel::Link::dataEvent(db::DataEvent event, db::Field*) {
    switch (event) {
    case db::DataEvent::ActiveChanged:
    case db::DataEvent::DataSetChanged:
    case db::DataEvent::StateChanged:
        m_model.scheduleReload();
        break;
    case db::DataEvent::DataSetScroll:
        // A move between records that are all in the snapshot.
        m_model.followCurrentRecord();
        break;
    case db::DataEvent::RecordChanged:
        m_model.refreshCurrentRow();
        break;
    default:
        break;
    }
}

} // namespace host
