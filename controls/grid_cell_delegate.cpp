#include "controls/grid_cell_delegate.h"

#include "controls/db_grid_columns.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/data_grid_model.h"

#include <QPainter>

TGridCellDelegate::TGridCellDelegate(TGridCellSource& source, QWidget& grid)
    : QStyledItemDelegate(&grid), m_source(source), m_grid(grid) {}

void TGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    TGridCellSource& grid = m_source;
    const QRect rect = option.rect;
    const int row = index.row();
    const int col = index.column();
    if (col < 0 || col >= grid.columns().count())
        return;
    TColumn* column = grid.columns().items(col);
    db::DataSet* dataSet = grid.dataModel().activeDataSet();
    ui::RecordWindow& window = grid.dataModel().window();
    const TGridDrawState state = cellState(row, col);
    const bool highlight = state.testFlag(gdSelected) || grid.isSelectedRow(row);
    const QPalette& palette = m_grid.palette();

    TCanvas& canvas = grid.canvas();
    canvas.font = column->font().value_or(m_grid.font());
    canvas.fontColor = column->fontColor().isValid() ? column->fontColor() : palette.text().color();
    canvas.brushColor = column->color().isValid() ? column->color() : palette.base().color();
    if (highlight) {
        canvas.brushColor = palette.highlight().color();
        canvas.fontColor = palette.highlightedText().color();
    }
    painter->save();
    painter->setClipRect(rect);
    canvas.painter = painter;
    auto draw = [&] { grid.drawColumnCell(rect, col, *column, state); };
    try {
        const bool editing = dataSet && (dataSet->state() == db::DataSetState::Edit ||
                                         dataSet->state() == db::DataSetState::Insert);
        if (!dataSet || row < 0 || row >= window.count()) {
            painter->fillRect(rect, canvas.brushColor);
        } else if (row == window.activeRow() && editing) {
            draw(); // the record being edited is the dataset's own current record
        } else {
            db::RecordBuffer& record = window.row(row);
            // Lookup and calculated values are computed once per row for every paint.
            if (window.needsCompute(row, grid.paintGeneration()))
                dataSet->withRecord(record, [] {});
            dataSet->withRecordAsRead(record, draw);
        }
    } catch (...) {
        // A row that cannot be read now is left as it was painted; painting never reports.
    }
    canvas.painter = nullptr;
    const TDBGridOptions options = grid.options();
    painter->setPen(palette.mid().color());
    if (options & dgColLines)
        painter->drawLine(rect.topRight(), rect.bottomRight());
    if (options & dgRowLines)
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (state.testFlag(gdFocused) && !(options & dgRowSelect) && !grid.editorShown()) {
        QPen pen(palette.highlightedText().color());
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

TGridDrawState TGridCellDelegate::cellState(int row, int column) const {
    const TDBGridOptions options = m_source.options();
    const int selected = m_source.selectedIndex();
    TGridDrawState state;
    const bool current = row == m_source.row() && (column == selected || (options & dgRowSelect));
    const bool focused = m_source.hasFocusInside();
    if (current && (focused || (options & dgAlwaysShowSelection)))
        state |= gdSelected;
    if (current && focused && column == selected)
        state |= gdFocused;
    return state;
}

void TGridCellDelegate::drawDefault(const TCanvas& canvas, const QRect& rect,
                                    const TColumn& column) {
    QPainter* painter = canvas.painter;
    if (!painter)
        return;
    painter->fillRect(rect, canvas.brushColor);
    const db::Field* field = column.field();
    const QString text = field ? field->displayText() : QString();
    painter->setFont(canvas.font);
    painter->setPen(canvas.fontColor);
    painter->drawText(rect.adjusted(2, 0, -2, 0), int(column.alignment() | Qt::AlignVCenter), text);
}
