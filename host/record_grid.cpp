#include "host/record_grid.h"

#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/data_grid_model.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/record_scroll_bar.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

namespace host {

QString formatFixed(double value, int decimals) {
    return base::formatFixed(value, decimals);
}

// The grid's columns as the model sees them: the visible fields, their cells the values the
// window read, formatted in the regional format in force.
class RecordGrid::Cells : public ui::DataGridColumns {
public:
    const ui::DataGridModel* model = nullptr;
    QList<Column> columns;
    QHash<QString, int> decimals; // upper-case field name -> decimals

    int columnCount() const override { return int(columns.size()); }

    QVariant cellData(int row, int column, int role) const override {
        const Column& c = columns[column];
        switch (role) {
        case Qt::DisplayRole: {
            const QVector<QVariant>& values = model->window().row(row).values;
            return c.index >= 0 && c.index < values.size() ? text(c, values[c.index]) : QString();
        }
        case Qt::TextAlignmentRole:
            if (c.type == db::FieldType::Float || c.type == db::FieldType::Integer)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return QVariant();
        }
    }

    QVariant headerData(int section, int role) const override {
        return role == Qt::DisplayRole ? QVariant(columns[section].label) : QVariant();
    }

    void bindColumns(db::DataSet* dataSet) override { columns = read(dataSet); }
    bool sameColumns(const db::DataSet* dataSet) const override { return read(dataSet) == columns; }

private:
    static QList<Column> read(const db::DataSet* dataSet) {
        QList<Column> shown;
        if (!dataSet || !dataSet->isActive())
            return shown;
        for (int i = 0; i < dataSet->fieldCount(); ++i) {
            const db::Field& field = *dataSet->field(i);
            if (field.isVisible())
                shown.push_back({field.fieldName(), field.displayLabel(), field.dataType(),
                                 field.index(), field.displayWidth()});
        }
        return shown;
    }

    QString text(const Column& column, const QVariant& value) const {
        if (!value.isValid() || value.isNull())
            return QString();
        switch (column.type) {
        case db::FieldType::Float: {
            const auto fixed = decimals.constFind(column.fieldName.toUpper());
            return fixed == decimals.cend() ? base::formatFloatGeneral(value.toDouble())
                                            : formatFixed(value.toDouble(), *fixed);
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
};

RecordGrid::RecordGrid(db::DataSource* source, QWidget* parent)
    : QTableView(parent), m_cells(std::make_unique<Cells>()),
      m_model(new ui::DataGridModel(*m_cells, this)),
      m_scrollBar(
          new ui::RecordScrollBar(*this, *m_model, [this] { return m_model->capacity(); })) {
    m_cells->model = m_model;
    m_model->setRowsInView([this] { return visibleRowCount(); });
    m_scrollBar->setIdleWhenAllInView(true);
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
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_following || !current.isValid())
                    return;
                ui::guarded([&] { m_model->moveTo(current.row()); });
            });
    connect(m_model, &ui::DataGridModel::opened, this, [this] {
        if (m_model->columnCount() != m_fittedColumns)
            fitColumns();
        selectRow(m_model->currentRow());
    });
    connect(m_model, &ui::DataGridModel::windowRead, this,
            [this] { selectRow(m_model->currentRow()); });
    m_model->setDataSource(source);
    fitColumns();
    m_model->setCapacity(visibleRowCount());
    selectRow(m_model->currentRow());
}

RecordGrid::~RecordGrid() {
    m_model->detach();
}

int RecordGrid::visibleRowCount() const {
    return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    std::function<void()> move;
    switch (event->key()) {
    case Qt::Key_Up:
        move = [this] { m_model->moveBy(-1); };
        break;
    case Qt::Key_Down:
        move = [this] { m_model->moveBy(1); };
        break;
    case Qt::Key_PageUp:
        move = [this] { m_model->moveBy(-m_model->capacity()); };
        break;
    case Qt::Key_PageDown:
        move = [this] { m_model->moveBy(m_model->capacity()); };
        break;
    case Qt::Key_Home:
        if (ctrl)
            move = [this] { m_model->first(); };
        break;
    case Qt::Key_End:
        if (ctrl)
            move = [this] { m_model->last(); };
        break;
    default:
        break;
    }
    if (!move) {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
    ui::guarded(move);
}

void RecordGrid::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QTableView::wheelEvent(event);
        return;
    }
    event->accept();
    const int steps = std::max(1, std::abs(delta) / 120) * kWheelRecords;
    ui::guarded([&] { m_model->moveBy(delta > 0 ? -steps : steps); });
}

bool RecordGrid::viewportEvent(QEvent* event) {
    const bool result = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        m_model->setCapacity(visibleRowCount());
    return result;
}

void RecordGrid::updateGeometries() {
    QTableView::updateGeometries();
    m_scrollBar->update();
}

void RecordGrid::scrollContentsBy(int dx, int) {
    // The rows never scroll inside the viewport: the window of records moves instead.
    QTableView::scrollContentsBy(dx, 0);
}

const RecordGrid::Column& RecordGrid::column(int column) const {
    return m_cells->columns[column];
}

int RecordGrid::columnOf(const QString& fieldName) const {
    for (int c = 0; c < m_cells->columnCount(); ++c)
        if (column(c).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void RecordGrid::setDecimals(const QString& fieldName, int decimals) {
    m_cells->decimals.insert(fieldName.toUpper(), decimals);
    m_model->allRowsChanged();
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
        const Column& shown = column(c);
        const int chars = std::clamp(shown.displayWidth, 4, kMaxColumnChars);
        // Numbers and dates are digits, wider than the average letter.
        const bool digits =
            shown.type != db::FieldType::Text && shown.type != db::FieldType::Boolean;
        const int forData = digits ? metrics.horizontalAdvance(QString(chars, QLatin1Char('0')))
                                   : metrics.averageCharWidth() * chars;
        const int forTitle = headerMetrics.horizontalAdvance(shown.label);
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
    }
    m_following = false;
    m_scrollBar->update();
}

} // namespace host
