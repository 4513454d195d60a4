#include "host/record_grid.h"

#include "host/record_table_model.h"
#include "platform/db/field_type.h"
#include "platform/ui/dispatch.h"

#include <QHeaderView>

#include <algorithm>

namespace host {

RecordGrid::RecordGrid(db::DataSource* source, QWidget* parent)
    : QTableView(parent), m_model(new RecordTableModel(source, this)) {
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_following || !current.isValid())
                    return;
                ui::guarded([&] { m_model->moveTo(current.row()); });
            });
    connect(m_model, &RecordTableModel::currentRowChanged, this,
            [this](int row) { selectRow(row); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model->columnCount() != m_fittedColumns)
            fitColumns();
        selectRow(m_model->currentRow());
    });
    fitColumns();
    selectRow(m_model->currentRow());
}

int RecordGrid::columnOf(const QString& fieldName) const {
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (m_model->column(c).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void RecordGrid::setStretchField(const QString& fieldName) {
    m_stretchField = fieldName;
    fitColumns();
}

void RecordGrid::fitColumns() {
    m_fittedColumns = m_model->columnCount();
    const QFontMetrics metrics = fontMetrics();
    const QFontMetrics headerMetrics = horizontalHeader()->fontMetrics();
    m_stretchColumn = m_stretchField.isEmpty() ? -1 : columnOf(m_stretchField);
    horizontalHeader()->setStretchLastSection(m_stretchColumn < 0);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const RecordTableModel::Column& column = m_model->column(c);
        const int chars = std::clamp(column.displayWidth, 4, kMaxColumnChars);
        // Numbers and dates are digits, wider than the average letter.
        const bool digits =
            column.type != db::FieldType::Text && column.type != db::FieldType::Boolean;
        const int forData = digits ? metrics.horizontalAdvance(QString(chars, QLatin1Char('0')))
                                   : metrics.averageCharWidth() * chars;
        const int forTitle = headerMetrics.horizontalAdvance(column.label);
        setColumnWidth(c, std::max(forData, forTitle) + 16);
    }
    if (m_stretchColumn >= 0) {
        m_stretchBaseWidth = columnWidth(m_stretchColumn);
        stretchColumn();
    }
}

void RecordGrid::stretchColumn() {
    if (m_stretchColumn < 0 || m_stretchColumn >= m_model->columnCount())
        return;
    int others = 0;
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (c != m_stretchColumn)
            others += columnWidth(c);
    setColumnWidth(m_stretchColumn, std::max(m_stretchBaseWidth, viewport()->width() - others));
}

void RecordGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    stretchColumn();
}

void RecordGrid::selectRow(int row) {
    m_following = true;
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    } else {
        const int column = std::max(currentIndex().column(), 0);
        setCurrentIndex(m_model->index(row, column));
        scrollTo(m_model->index(row, column));
    }
    m_following = false;
}

} // namespace host
