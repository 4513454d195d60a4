#include "controls/normal_custom_db_grid.h"

#include "controls/grid_cells.h"
#include "controls/grid_key_controller.h"
#include "platform/db/data_set.h"
#include "platform/db/read_burst.h"
#include "platform/ui/data_grid_model.h"
#include "platform/ui/record_scroll_bar.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>

using db::DataSetState;

TNormalCustomDBGrid::TNormalCustomDBGrid(QWidget* parent)
    : ui::Control<QTableView>(parent),
      m_cells(std::make_unique<TGridCells>(m_columns, [this] { return m_titleFont; })),
      m_model(new ui::DataGridModel(*m_cells, this)),
      m_scrollBar(new ui::RecordScrollBar(*this, *m_model, [this] { return visibleRowCount(); })),
      m_selected(new TXBookmarkList(*this)), m_edit(new TGridEditorController(*this)),
      m_keys(std::make_unique<TGridKeyController>(*this, *m_edit, *m_selected, *m_model)) {
    m_cells->setModel(m_model);
    m_model->setRowsInView([this] { return visibleRowCount(); });
    m_titleFont = font();
    setVerticalHeader(new TIndicatorHeader(*this, this));
    setModel(m_model);
    setItemDelegate(new TGridCellDelegate(*this, *this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setDefaultSectionSize(rowHeightForFont());

    m_columns.setMetricsSource([this] { return fontMetrics(); });
    m_columns.onChanged = [this](bool structure) { columnsChanged(structure); };
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (!m_syncingSections && section < m_columns.count())
                    m_columns.items(section)->setWidth(size);
                m_edit->place();
            });
    m_model->onUpdateData = [this] { updateData(); };
    connect(m_model, &ui::DataGridModel::opened, this, [this] { opened(); });
    connect(m_model, &ui::DataGridModel::windowRead, this, [this](ui::DataGridModel::Cause cause) {
        windowRead(cause != ui::DataGridModel::Cause::Reread);
    });
    connect(m_model, &ui::DataGridModel::currentRecordChanged, this,
            [this](db::Field* field) { currentRecordChanged(field); });
    connect(m_model, &ui::DataGridModel::stateChanged, this,
            [this] { verticalHeader()->viewport()->update(); });
    setOptions(m_options);
}

TNormalCustomDBGrid::~TNormalCustomDBGrid() {
    m_destroying = true;
    m_model->detach();
    m_edit->destroyEditor();
}

// ---- data ----

void TNormalCustomDBGrid::opened() {
    if (m_destroying)
        return;
    m_selected->linkActive(activeDataSet() != nullptr);
    m_keys->endSelection();
    m_edit->setModified(false);
    applyColumnLayout();
    keepCurrentColumnShown();
    m_edit->updateContents(true);
    if ((m_options & dgAlwaysShowEditor) && isEditingAllowed())
        m_edit->show();
    m_edit->place();
    m_scrollBar->update();
    invalidateAll();
}

void TNormalCustomDBGrid::windowRead(bool recordMayDiffer) {
    if (m_destroying)
        return;
    // The record on the active row may be another one now: its typed text is gone.
    if (recordMayDiffer)
        m_edit->setModified(false);
    syncCurrentIndex();
    if (!m_edit->modified())
        m_edit->updateContents(true);
    // A grid that had no row to edit (an empty dataset) gets its editor with the first one.
    if (m_edit->mode() && m_edit->canShow())
        m_edit->show();
    else
        m_edit->place();
    m_scrollBar->update();
    invalidateAll();
}

void TNormalCustomDBGrid::currentRecordChanged(db::Field* field) {
    if (!m_edit->enteringEdit() && !m_edit->modified() && (!field || field == currentField()))
        m_edit->updateContents(false);
}

// ---- columns ----

void TNormalCustomDBGrid::columnsChanged(bool structure) {
    if (m_cells->binding() || m_destroying)
        return;
    if (structure) {
        m_model->columnsChanged();
        keepCurrentColumnShown();
        m_edit->updateContents(true);
    }
    applyColumnLayout();
    horizontalHeader()->viewport()->update();
    if (!m_edit->modified())
        m_edit->updateContents(false);
    m_edit->place();
    invalidateAll();
}

void TNormalCustomDBGrid::keepCurrentColumnShown() {
    const QList<int> shown = shownColumns();
    if (!shown.contains(m_selectedCol))
        m_selectedCol = shown.isEmpty() ? -1 : shown.first();
    syncCurrentIndex();
}

void TNormalCustomDBGrid::applyColumnLayout() {
    m_syncingSections = true;
    for (int i = 0; i < m_columns.count(); ++i) {
        const TColumn* column = m_columns.items(i);
        horizontalHeader()->resizeSection(i, column->width());
        setColumnHidden(i, !column->visible());
    }
    m_syncingSections = false;
    horizontalHeader()->setSectionResizeMode(m_options & dgColumnResize ? QHeaderView::Interactive
                                                                        : QHeaderView::Fixed);
}

TColumn* TNormalCustomDBGrid::currentColumn() const {
    return m_selectedCol >= 0 && m_selectedCol < m_columns.count() ? m_columns.items(m_selectedCol)
                                                                   : nullptr;
}

db::Field* TNormalCustomDBGrid::currentField() const {
    const TColumn* column = currentColumn();
    return column ? column->field() : nullptr;
}

void TNormalCustomDBGrid::setCurrentField(db::Field* field) {
    if (!field)
        return;
    for (int i : shownColumns())
        if (m_columns.items(i)->field() == field) {
            moveCol(i);
            return;
        }
}

void TNormalCustomDBGrid::setSelectedIndex(int index) {
    if (shownColumns().contains(index))
        moveCol(index);
}

void TNormalCustomDBGrid::moveCol(int column) {
    if (column == m_selectedCol || column < 0 || column >= m_columns.count())
        return;
    updateData();
    m_selectedCol = column;
    syncCurrentIndex();
    m_edit->updateContents(true);
    m_edit->place();
    invalidateAll();
}

void TNormalCustomDBGrid::firstColumn() {
    const QList<int> shown = shownColumns();
    if (!shown.isEmpty())
        moveCol(shown.first());
}

void TNormalCustomDBGrid::lastColumn() {
    const QList<int> shown = shownColumns();
    if (!shown.isEmpty())
        moveCol(shown.last());
}

// ---- options ----

void TNormalCustomDBGrid::setOptions(TDBGridOptions options) {
    if (options & dgRowSelect)
        options &= ~TDBGridOptions(dgEditing | dgAlwaysShowEditor);
    const TDBGridOptions old = m_options;
    m_options = options;
    if ((old & dgMultiSelect) && !(options & dgMultiSelect)) {
        m_selected->clear();
        m_keys->endSelection();
    }
    horizontalHeader()->setVisible(options & dgTitles);
    verticalHeader()->setVisible(options & dgIndicator);
    horizontalHeader()->setSectionResizeMode(options & dgColumnResize ? QHeaderView::Interactive
                                                                      : QHeaderView::Fixed);
    if (!isEditingAllowed())
        m_edit->hide();
    else if (options & dgAlwaysShowEditor)
        m_edit->show();
    m_edit->place();
    invalidateAll();
}

void TNormalCustomDBGrid::setTitleFont(const QFont& font) {
    m_titleFont = font;
    horizontalHeader()->setFont(font);
    horizontalHeader()->viewport()->update();
}

int TNormalCustomDBGrid::rowHeightForFont() const {
    return fontMetrics().height() + 4;
}

void TNormalCustomDBGrid::changeEvent(QEvent* event) {
    ui::Control<QTableView>::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(rowHeightForFont());
        if (activeDataSet())
            m_model->reread(row());
    }
}

// ---- rows ----

int TNormalCustomDBGrid::visibleRowCount() const {
    const int height = verticalHeader()->defaultSectionSize();
    return qMax(1, viewport()->height() / qMax(1, height));
}

void TNormalCustomDBGrid::syncCurrentIndex() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    const int active = row();
    if (active >= 0 && m_selectedCol >= 0 && active < m_model->rowCount() &&
        m_selectedCol < m_model->columnCount())
        selection->setCurrentIndex(m_model->index(active, m_selectedCol),
                                   QItemSelectionModel::NoUpdate);
    else
        selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

// ---- keys ----

void TNormalCustomDBGrid::keyDown(int& key, ui::ShiftState shift) {
    keyDownEvent(key, shift);
    if (key != 0)
        m_keys->keyDown(key, shift);
}

void TNormalCustomDBGrid::keyDownEvent(int& key, ui::ShiftState shift) {
    if (onKeyDown)
        onKeyDown(key, shift);
}

void TNormalCustomDBGrid::keyPress(char16_t& key) {
    if (onKeyPress)
        onKeyPress(key);
    if (key != 0)
        m_keys->keyPress(key);
}

bool TNormalCustomDBGrid::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_keys->tabKey(*static_cast<QKeyEvent*>(event)))
        return true;
    return ui::Control<QTableView>::event(event);
}

// ---- editing ----

bool TNormalCustomDBGrid::isEditingAllowed() const {
    return (m_options & dgEditing) && !(m_options & dgRowSelect) && !m_destroying;
}

TDBGridInplaceEdit* TNormalCustomDBGrid::createEditor() {
    return new TDBGridInplaceEdit(*this);
}

void TNormalCustomDBGrid::setEditorMode(bool on) {
    if (on)
        m_edit->show();
    else
        m_edit->hide();
}

void TNormalCustomDBGrid::editButtonClicked() {
    if (onEditButtonClick)
        ui::guarded(onEditButtonClick);
}

// ---- focus ----

bool TNormalCustomDBGrid::hasFocusInside() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void TNormalCustomDBGrid::focusEntered() {
    if (m_edit->focusEntered() && onEnter)
        ui::guarded(onEnter);
}

void TNormalCustomDBGrid::focusLeft(QWidget* newFocus, bool moved) {
    if (m_destroying || !m_edit->focusLeft(newFocus, moved))
        return;
    if (onExit)
        ui::guarded(onExit);
    invalidateAll();
}

void TNormalCustomDBGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (m_destroying)
        return;
    focusEntered();
    if ((m_options & dgAlwaysShowEditor) && isEditingAllowed())
        m_edit->show();
    else if (m_edit->mode() && editorShown())
        m_edit->editor()->setFocus(Qt::OtherFocusReason);
    invalidateAll();
}

void TNormalCustomDBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    focusLeft(QApplication::focusWidget(), movesFocus(event));
}

// ---- mouse ----

void TNormalCustomDBGrid::doubleClicked() {
    if (onDblClick)
        ui::guarded(onDblClick);
}

// ---- scrolling ----

bool TNormalCustomDBGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Paint) {
        ++m_paintGeneration;
        // The lookups of every row a paint computes are read as one.
        const db::ReadBurst burst;
        return ui::Control<QTableView>::viewportEvent(event);
    }
    const bool result = ui::Control<QTableView>::viewportEvent(event);
    if (event->type() == QEvent::Resize && activeDataSet())
        m_model->setCapacity(visibleRowCount());
    return result;
}

void TNormalCustomDBGrid::updateGeometries() {
    ui::Control<QTableView>::updateGeometries();
    m_scrollBar->update();
    m_edit->place();
}

void TNormalCustomDBGrid::scrollContentsBy(int dx, int) {
    // The rows never scroll inside the viewport: the window of records moves instead.
    ui::Control<QTableView>::scrollContentsBy(dx, 0);
    m_edit->place();
}

// ---- painting ----

bool TNormalCustomDBGrid::isSelectedRow(int row) {
    return (m_options & dgMultiSelect) && m_selected->isSelectedRow(m_model->window(), row);
}

void TNormalCustomDBGrid::drawColumnCell(const QRect& rect, int dataCol, TColumn& column,
                                         TGridDrawState state) {
    if (onDrawColumnCell)
        onDrawColumnCell(*this, rect, dataCol, column, state);
    else
        defaultDrawColumnCell(rect, dataCol, column, state);
}

void TNormalCustomDBGrid::defaultDrawColumnCell(const QRect& rect, int, TColumn& column,
                                                TGridDrawState) {
    TGridCellDelegate::drawDefault(m_canvas, rect, column);
}

void TNormalCustomDBGrid::invalidateRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    viewport()->update(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
    verticalHeader()->viewport()->update();
}

void TNormalCustomDBGrid::invalidateAll() {
    viewport()->update();
    verticalHeader()->viewport()->update();
}

void TNormalCustomDBGrid::marksChanged(bool currentRowOnly) {
    if (currentRowOnly)
        invalidateRow(row());
    else
        invalidateAll();
}
