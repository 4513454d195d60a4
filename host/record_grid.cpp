#include "host/record_grid.h"

#include "host/record_table_model.h"
#include "platform/db/data_set.h"
#include "platform/db/field_type.h"
#include "platform/ui/dispatch.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

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
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { scrollBarAction(action); });

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
    m_model->setCapacity(visibleRowCount());
    selectRow(m_model->currentRow());
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
        ui::guarded([this] { m_model->setCapacity(visibleRowCount()); });
    return result;
}

void RecordGrid::updateGeometries() {
    QTableView::updateGeometries();
    updateScrollBar();
}

void RecordGrid::scrollContentsBy(int dx, int) {
    // The rows never scroll inside the viewport: the window of records moves instead.
    QTableView::scrollContentsBy(dx, 0);
}

void RecordGrid::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    const db::DataSet* ds = m_model->dataSet();
    // A window that is not full holds every record in view: there is nothing to scroll.
    if (!ds || !ds->isActive() || ds->isEmpty() || m_model->rowCount() < m_model->capacity()) {
        bar->setRange(0, 0);
        return;
    }
    bar->setRange(0, 4);
    bar->setPageStep(1);
    bar->setSingleStep(1);
    bar->setValue(ds->bof() ? 0 : (ds->eof() ? 4 : 2));
}

void RecordGrid::scrollBarAction(int action) {
    ui::guarded([&] {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            m_model->moveBy(1);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            m_model->moveBy(-1);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            m_model->moveBy(m_model->capacity());
            break;
        case QAbstractSlider::SliderPageStepSub:
            m_model->moveBy(-m_model->capacity());
            break;
        case QAbstractSlider::SliderToMinimum:
            m_model->first();
            break;
        case QAbstractSlider::SliderToMaximum:
            m_model->last();
            break;
        case QAbstractSlider::SliderMove:
            if (verticalScrollBar()->sliderPosition() == verticalScrollBar()->minimum())
                m_model->first();
            else if (verticalScrollBar()->sliderPosition() == verticalScrollBar()->maximum())
                m_model->last();
            break;
        default:
            break;
        }
    });
    // The bar has moved its slider on its own; show the dataset's position again.
    QTimer::singleShot(0, this, [this] { updateScrollBar(); });
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
    }
    m_following = false;
    updateScrollBar();
}

} // namespace host
