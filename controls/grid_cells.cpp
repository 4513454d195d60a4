#include "controls/grid_cells.h"

#include "controls/db_grid_columns.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"

#include <QScopedValueRollback>

namespace {

// An alignment as a plain number, which views read as well: a QFlags value would register its
// type with Qt from inside the add-on library, and Qt would keep that registration pointing into
// the library after the host unloads it, to crash when the library is loaded again.
QVariant alignmentValue(Qt::Alignment alignment) {
    return QVariant(int(alignment | Qt::AlignVCenter));
}

} // namespace

TGridCells::TGridCells(TDBGridColumns& columns, std::function<QFont()> titleFont)
    : m_columns(columns), m_titleFont(std::move(titleFont)) {}

int TGridCells::columnCount() const {
    return m_columns.count();
}

QVariant TGridCells::cellData(int row, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, column);
    case Qt::TextAlignmentRole:
        return alignmentValue(m_columns.items(column)->alignment());
    default:
        return QVariant();
    }
}

QVariant TGridCells::headerData(int section, int role) const {
    const TColumn* column = m_columns.items(section);
    switch (role) {
    case Qt::DisplayRole:
        return column->title().caption();
    case Qt::TextAlignmentRole:
        return alignmentValue(column->title().alignment());
    case Qt::FontRole:
        return column->title().font().value_or(m_titleFont());
    case Qt::BackgroundRole:
        return column->title().color().isValid() ? QVariant(column->title().color()) : QVariant();
    default:
        return QVariant();
    }
}

void TGridCells::bindColumns(db::DataSet* dataSet) {
    const QScopedValueRollback guard(m_binding, true);
    m_columns.bind(dataSet);
}

bool TGridCells::sameColumns(const db::DataSet* dataSet) const {
    // Columns of the grid's own stay whatever the dataset; default ones follow its visible fields.
    if (m_columns.state() == TDBGridColumns::State::Customized)
        return true;
    QStringList visible;
    if (dataSet)
        for (int i = 0; i < dataSet->fieldCount(); ++i)
            if (dataSet->field(i)->isVisible())
                visible << dataSet->field(i)->fieldName();
    if (visible.size() != m_columns.count())
        return false;
    for (int i = 0; i < m_columns.count(); ++i)
        if (m_columns.items(i)->fieldName() != visible.at(i))
            return false;
    return true;
}

QString TGridCells::cellText(int row, int column) const {
    db::DataSet* dataSet = m_model ? m_model->activeDataSet() : nullptr;
    if (!dataSet || row < 0 || row >= m_model->window().count() || column < 0 ||
        column >= m_columns.count())
        return QString();
    const db::Field* field = m_columns.items(column)->field();
    if (!field)
        return QString();
    const db::DataSetState state = dataSet->state();
    if (row == m_model->currentRow() &&
        (state == db::DataSetState::Edit || state == db::DataSetState::Insert))
        return field->displayText();
    QString text;
    try {
        dataSet->withRecord(m_model->window().row(row), [&] { text = field->displayText(); });
    } catch (...) {
        return QString();
    }
    return text;
}
