#include "host/record_table_model.h"

#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/dispatch.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace host {

QString formatFixed(double value, int decimals) {
    return base::formatFixed(value, decimals);
}

RecordTableModel::RecordTableModel(db::DataSource* source, QObject* parent)
    : ui::RecordWindowModel(m_window, *this, parent) {
    m_link.setDataSource(source);
    reload();
}

RecordTableModel::~RecordTableModel() {
    m_link.setDataSource(nullptr);
}

int RecordTableModel::cellColumnCount() const {
    return int(m_columns.size());
}

QVariant RecordTableModel::cellData(int row, int column, int role) const {
    const Column& c = m_columns[column];
    switch (role) {
    case Qt::DisplayRole: {
        const QVector<QVariant>& values = m_window.row(row).values;
        return c.index >= 0 && c.index < values.size() ? cellText(c, values[c.index]) : QString();
    }
    case Qt::TextAlignmentRole:
        if (c.type == db::FieldType::Float || c.type == db::FieldType::Integer)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant RecordTableModel::columnHeaderData(int section, int role) const {
    return role == Qt::DisplayRole ? QVariant(m_columns[section].label) : QVariant();
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
    allRowsChanged();
}

QList<RecordTableModel::Column> RecordTableModel::readColumns() const {
    QList<Column> columns;
    const db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive())
        return columns;
    for (int i = 0; i < ds->fieldCount(); ++i) {
        const db::Field& field = *ds->field(i);
        if (field.isVisible())
            columns.push_back({field.fieldName(), field.displayLabel(), field.dataType(),
                               field.index(), field.displayWidth()});
    }
    return columns;
}

void RecordTableModel::setCapacity(int rows) {
    if (rows == m_window.capacity())
        return;
    m_window.setCapacity(rows);
    refill(m_window.activeRow());
}

void RecordTableModel::reload() {
    const QList<Column> columns = readColumns();
    if (columns == m_columns) {
        refill(m_window.activeRow());
        return;
    }
    std::exception_ptr error;
    try {
        columnsReset([&] {
            m_columns = columns;
            m_window.clear();
            if (db::DataSet* ds = dataSet(); ds && ds->isActive())
                m_window.fill(*ds, 0);
        });
    } catch (...) {
        error = std::current_exception();
    }
    announceCurrentRow();
    if (error)
        std::rethrow_exception(error);
}

void RecordTableModel::refill(int preferredRow) {
    db::DataSet* ds = dataSet();
    std::exception_ptr error;
    try {
        windowChanging([&] {
            if (!ds || !ds->isActive()) {
                m_window.clear();
                return;
            }
            try {
                switch (ds->state()) {
                case db::DataSetState::Insert:
                    if (m_window.newRow() >= 0)
                        m_window.takeCurrent(*ds);
                    else
                        m_window.placeNewRecord(*ds, false);
                    break;
                case db::DataSetState::Edit:
                    m_window.takeCurrent(*ds);
                    break;
                default:
                    m_window.fill(*ds, preferredRow);
                    break;
                }
            } catch (...) {
                m_window.clear();
                throw;
            }
        });
    } catch (...) {
        error = std::current_exception();
    }
    announceCurrentRow();
    if (error)
        std::rethrow_exception(error);
}

int RecordTableModel::moveBy(int distance) {
    db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive() || distance == 0)
        return 0;
    const int from = m_window.activeRow();
    int moved = 0;
    {
        // The window is re-read once, after the move, with the record where the move put it.
        const QScopedValueRollback moving(m_moving, true);
        moved = ds->moveBy(distance);
    }
    refill(from + moved);
    return moved;
}

void RecordTableModel::moveTo(int row) {
    if (row < 0 || row >= m_window.count() || row == m_window.activeRow())
        return;
    moveBy(row - m_window.activeRow());
}

void RecordTableModel::first() {
    db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    {
        const QScopedValueRollback moving(m_moving, true);
        ds->first();
    }
    refill(0);
}

void RecordTableModel::last() {
    db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    {
        const QScopedValueRollback moving(m_moving, true);
        ds->last();
    }
    refill(m_window.capacity() - 1);
}

void RecordTableModel::followCurrentRecord() {
    const db::DataSet* ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    const int active = m_window.activeRow();
    int preferred = ds->isEmpty() ? -1 : m_window.find(ds->currentRecord().id);
    if (preferred < 0) {
        // The record left the window: it scrolls, the cursor staying at the edge it crossed.
        if (active >= m_window.count() - 1)
            preferred = m_window.capacity() - 1;
        else if (active <= 0)
            preferred = 0;
        else
            preferred = active;
    }
    refill(preferred);
}

void RecordTableModel::refreshCurrentRow() {
    db::DataSet* ds = dataSet();
    const int active = m_window.activeRow();
    if (active < 0 || !ds || !ds->isActive() || ds->isEmpty())
        return;
    if (ds->state() == db::DataSetState::Browse &&
        m_window.row(active).id != ds->currentRecord().id)
        return;
    m_window.takeCurrent(*ds);
    rowChanged(active);
}

void RecordTableModel::announceCurrentRow() {
    emit currentRowChanged(m_window.activeRow());
}

void RecordTableModel::Link::dataEvent(db::DataEvent event, db::Field*) {
    // The dataset is in the middle of an operation: an error reading the window is shown once
    // the model has told its view the whole change, and never stops the dataset.
    switch (event) {
    case db::DataEvent::ActiveChanged:
        ui::guarded([this] { m_model.reload(); });
        break;
    case db::DataEvent::DataSetChanged:
    case db::DataEvent::StateChanged:
        ui::guarded([this] { m_model.refill(m_model.m_window.activeRow()); });
        break;
    case db::DataEvent::DataSetScroll:
        if (!m_model.m_moving)
            ui::guarded([this] { m_model.followCurrentRecord(); });
        break;
    case db::DataEvent::RecordChanged:
        m_model.refreshCurrentRow();
        break;
    default:
        break;
    }
}

} // namespace host
