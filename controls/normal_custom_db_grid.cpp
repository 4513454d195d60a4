#include "controls/normal_custom_db_grid.h"

#include "controls/db_grid_inplace_edit.h"
#include "controls/grid_cell_delegate.h"
#include "controls/grid_editor_controller.h"
#include "controls/grid_model.h"
#include "controls/indicator_header.h"
#include "controls/lookup_pick_list.h"
#include "platform/base/format_settings.h"
#include "platform/db/data_set.h"
#include "platform/ui/decimal_key.h"
#include "platform/ui/grid_data_link.h"
#include "platform/ui/message_box.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>

using db::DataSetState;
using ui::ShiftKey;
namespace vk = ui::vk;

// The grid's data link. The request to write pending edits arrives inside the dataset's post (or
// move) and is answered there, so that a value the field refuses stops the post; every other
// notification becomes the link's signal.
class TGridDataLink : public ui::GridDataLink {
public:
    std::function<void()> onUpdateData;

protected:
    void dataEvent(db::DataEvent event, db::Field* field) override {
        if (event == db::DataEvent::UpdateData) {
            if (onUpdateData)
                onUpdateData();
            return;
        }
        ui::GridDataLink::dataEvent(event, field);
    }
};

// Holds back the grid's reaction to the dataset's notifications while the grid itself moves the
// dataset by several records, and re-reads the window once at the end.
class TNormalCustomDBGrid::DeferScope {
public:
    explicit DeferScope(TNormalCustomDBGrid& grid)
        : m_grid(grid), preferredRow(grid.m_window.activeRow()) {
        ++m_grid.m_deferLevel;
    }
    ~DeferScope() {
        if (--m_grid.m_deferLevel == 0 && m_grid.m_deferredChange) {
            m_grid.m_deferredChange = false;
            m_grid.refreshWindow(preferredRow);
        }
    }
    DeferScope(const DeferScope&) = delete;
    DeferScope& operator=(const DeferScope&) = delete;

private:
    TNormalCustomDBGrid& m_grid;

public:
    int preferredRow;
};

namespace {

bool isEditState(DataSetState state) {
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

bool focusMoved(Qt::FocusReason reason) {
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

} // namespace

TNormalCustomDBGrid::TNormalCustomDBGrid(QWidget* parent)
    : ui::Control<QTableView>(parent), m_link(std::make_unique<TGridDataLink>()),
      m_selected(std::make_unique<TXBookmarkList>(*this)),
      m_edit(std::make_unique<TGridEditorController>(*this)) {
    m_titleFont = font();
    setVerticalHeader(new TIndicatorHeader(*this));
    m_model = new TGridModel(*this);
    setModel(m_model);
    setItemDelegate(new TGridCellDelegate(*this));
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
                placeEditor();
            });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { scrollBarAction(action); });

    m_link->onUpdateData = [this] { updateData(); };
    connect(m_link.get(), &ui::GridDataLink::activeChanged, this, [this] { dataActiveChanged(); });
    connect(m_link.get(), &ui::GridDataLink::dataSetChanged, this, [this] { dataSetChanged(); });
    connect(m_link.get(), &ui::GridDataLink::scrolled, this, [this] { dataScrolled(); });
    connect(m_link.get(), &ui::GridDataLink::recordChanged, this,
            [this](db::Field* field) { dataRecordChanged(field); });
    connect(m_link.get(), &ui::GridDataLink::stateChanged, this, [this] { dataStateChanged(); });
    setOptions(m_options);
}

TNormalCustomDBGrid::~TNormalCustomDBGrid() {
    m_destroying = true;
    m_link->setDataSource(nullptr);
    m_edit->destroyEditor();
}

// ---- data ----

db::DataSource* TNormalCustomDBGrid::dataSource() const {
    return m_link->dataSource();
}

void TNormalCustomDBGrid::setDataSource(db::DataSource* source) {
    m_link->setDataSource(source);
    // Attaching tells the link nothing: take the dataset as it is now.
    dataActiveChanged();
}

db::DataSet* TNormalCustomDBGrid::dataSet() const {
    return m_link->dataSet();
}

db::DataSet* TNormalCustomDBGrid::activeDataSet() const {
    return m_link->isActive() ? m_link->dataSet() : nullptr;
}

void TNormalCustomDBGrid::dataActiveChanged() {
    if (m_destroying)
        return;
    db::DataSet* dataSet = activeDataSet();
    m_selected->linkActive(dataSet != nullptr);
    m_edit->setModified(false);
    m_appending = m_newRowAtEnd = m_selecting = false;
    // An error reading the records is reported once the view has heard the whole reset.
    std::exception_ptr error;
    try {
        m_model->columnsReset([&] {
            QScopedValueRollback guard(m_inColumnsReset, true);
            m_columns.bind(dataSet);
            m_window.setCapacity(visibleRowCount());
            m_window.clear();
            if (dataSet) {
                try {
                    m_window.fill(*dataSet, 0);
                } catch (...) {
                    m_window.clear();
                    throw;
                }
            }
        });
    } catch (...) {
        error = std::current_exception();
    }
    applyColumnLayout();
    const QList<int> shown = shownColumns();
    if (!shown.contains(m_selectedCol))
        m_selectedCol = shown.isEmpty() ? -1 : shown.first();
    syncCurrentIndex();
    updateEditorContents(true);
    if ((m_options & dgAlwaysShowEditor) && isEditingAllowed())
        showEditor();
    placeEditor();
    updateScrollBar();
    invalidateAll();
    if (error)
        ui::handleException(error);
}

void TNormalCustomDBGrid::dataSetChanged() {
    if (m_deferLevel > 0) {
        m_deferredChange = true;
        return;
    }
    // The record on the active row may be another one now: its typed text is gone.
    m_edit->setModified(false);
    refreshWindow(m_window.activeRow());
}

void TNormalCustomDBGrid::dataScrolled() {
    if (m_deferLevel > 0) {
        m_deferredChange = true;
        return;
    }
    m_edit->setModified(false);
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    const int active = m_window.activeRow();
    int preferred = m_window.find(dataSet->currentRecord().id);
    if (preferred < 0) {
        // One record beyond the window: it scrolls by one, the cursor staying at its edge.
        if (active >= m_window.count() - 1)
            preferred = m_window.capacity() - 1;
        else if (active <= 0)
            preferred = 0;
        else
            preferred = active;
    }
    refreshWindow(preferred);
}

void TNormalCustomDBGrid::dataRecordChanged(db::Field* field) {
    if (m_deferLevel > 0) {
        m_deferredChange = true;
        return;
    }
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet || m_window.activeRow() < 0)
        return;
    m_window.takeCurrent(*dataSet);
    m_model->rowChanged(m_window.activeRow());
    if (!m_edit->enteringEdit() && !m_edit->modified() && (!field || field == currentField()))
        updateEditorContents(false);
}

void TNormalCustomDBGrid::dataStateChanged() {
    verticalHeader()->viewport()->update();
}

void TNormalCustomDBGrid::refreshWindow(int preferredRow) {
    if (m_destroying)
        return;
    db::DataSet* dataSet = activeDataSet();
    // An error reading the records is reported once the view has heard the whole change.
    std::exception_ptr error;
    try {
        m_model->windowChanging([&] {
            m_window.setCapacity(visibleRowCount());
            const bool appending = std::exchange(m_appending, false);
            if (!dataSet) {
                m_window.clear();
                return;
            }
            try {
                if (dataSet->state() == DataSetState::Insert) {
                    if (m_window.newRow() >= 0) {
                        m_window.takeCurrent(*dataSet);
                    } else {
                        m_newRowAtEnd = appending;
                        m_window.placeNewRecord(*dataSet, m_newRowAtEnd);
                    }
                } else {
                    m_newRowAtEnd = false;
                    m_window.fill(*dataSet, preferredRow);
                }
            } catch (...) {
                m_window.clear();
                throw;
            }
        });
    } catch (...) {
        error = std::current_exception();
    }
    syncCurrentIndex();
    if (!m_edit->modified())
        updateEditorContents(true);
    // A grid that had no row to edit (an empty dataset) gets its editor with the first one.
    if (m_edit->mode() && canEditShow())
        showEditor();
    else
        placeEditor();
    updateScrollBar();
    invalidateAll();
    if (error)
        ui::handleException(error);
}

// ---- columns ----

void TNormalCustomDBGrid::columnsChanged(bool structure) {
    if (m_inColumnsReset || m_destroying)
        return;
    if (structure) {
        m_model->columnsReset([&] {
            QScopedValueRollback guard(m_inColumnsReset, true);
            m_columns.bind(activeDataSet());
        });
        const QList<int> shown = shownColumns();
        if (!shown.contains(m_selectedCol))
            m_selectedCol = shown.isEmpty() ? -1 : shown.first();
        syncCurrentIndex();
        updateEditorContents(true);
    }
    applyColumnLayout();
    horizontalHeader()->viewport()->update();
    if (!m_edit->modified())
        updateEditorContents(false);
    placeEditor();
    invalidateAll();
}

void TNormalCustomDBGrid::applyColumnLayout() {
    QScopedValueRollback guard(m_syncingSections, true);
    for (int i = 0; i < m_columns.count(); ++i) {
        const TColumn* column = m_columns.items(i);
        horizontalHeader()->resizeSection(i, column->width());
        setColumnHidden(i, !column->visible());
    }
    horizontalHeader()->setSectionResizeMode(m_options & dgColumnResize ? QHeaderView::Interactive
                                                                        : QHeaderView::Fixed);
}

QList<int> TNormalCustomDBGrid::shownColumns() const {
    QList<int> shown;
    for (int i = 0; i < m_columns.count(); ++i)
        if (m_columns.items(i)->visible())
            shown << i;
    return shown;
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

int TNormalCustomDBGrid::leftColumn() const {
    const int logical = columnAt(0);
    return logical >= 0 ? logical : (shownColumns().isEmpty() ? -1 : shownColumns().first());
}

int TNormalCustomDBGrid::fullyVisibleColumns() const {
    int count = 0;
    const int width = viewport()->width();
    for (int i : shownColumns()) {
        const int x = columnViewportPosition(i);
        if (x < 0)
            continue;
        if (x + columnWidth(i) > width)
            break;
        ++count;
    }
    return count;
}

void TNormalCustomDBGrid::scrollColumns(int direction) {
    const QList<int> shown = shownColumns();
    const int position = shown.indexOf(leftColumn());
    if (position < 0)
        return;
    if (direction < 0 && position > 0)
        horizontalScrollBar()->setValue(shown.at(position - 1));
    else if (direction > 0 && position < shown.size() - fullyVisibleColumns())
        horizontalScrollBar()->setValue(shown.at(position + 1));
    placeEditor();
}

// ---- options ----

void TNormalCustomDBGrid::setOptions(TDBGridOptions options) {
    if (options & dgRowSelect)
        options &= ~TDBGridOptions(dgEditing | dgAlwaysShowEditor);
    const TDBGridOptions old = m_options;
    m_options = options;
    if ((old & dgMultiSelect) && !(options & dgMultiSelect)) {
        m_selected->clear();
        m_selecting = false;
    }
    horizontalHeader()->setVisible(options & dgTitles);
    verticalHeader()->setVisible(options & dgIndicator);
    horizontalHeader()->setSectionResizeMode(options & dgColumnResize ? QHeaderView::Interactive
                                                                      : QHeaderView::Fixed);
    if (!isEditingAllowed())
        hideEditor();
    else if (options & dgAlwaysShowEditor)
        showEditor();
    placeEditor();
    invalidateAll();
}

void TNormalCustomDBGrid::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
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
            refreshWindow(row());
    }
}

// ---- rows ----

int TNormalCustomDBGrid::row() const {
    return m_window.activeRow();
}

int TNormalCustomDBGrid::rowCount() const {
    return m_window.count();
}

int TNormalCustomDBGrid::visibleRowCount() const {
    const int height = verticalHeader()->defaultSectionSize();
    return qMax(1, viewport()->height() / qMax(1, height));
}

void TNormalCustomDBGrid::capacityChanged() {
    if (m_deferLevel == 0 && activeDataSet() && visibleRowCount() != m_window.capacity())
        refreshWindow(m_window.activeRow());
}

void TNormalCustomDBGrid::syncCurrentIndex() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    const int active = m_window.activeRow();
    if (active >= 0 && m_selectedCol >= 0 && active < m_model->rowCount() &&
        m_selectedCol < m_model->columnCount())
        selection->setCurrentIndex(m_model->index(active, m_selectedCol),
                                   QItemSelectionModel::NoUpdate);
    else
        selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

int TNormalCustomDBGrid::moveBy(int distance) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet || distance == 0)
        return 0;
    DeferScope defer(*this);
    const int from = m_window.activeRow();
    const int moved = dataSet->moveBy(distance);
    defer.preferredRow = from + moved;
    return moved;
}

void TNormalCustomDBGrid::doSelection(bool select, ui::ShiftState shift, int direction) {
    bool addAfter = false;
    if ((m_options & dgMultiSelect) && activeDataSet()) {
        if (select && shift.testFlag(ShiftKey::Shift)) {
            if (!m_selecting) {
                // The record the selection starts from is the anchor.
                m_selectOffset = 0;
                m_selected->setCurrentRecordSelected(true);
                m_selecting = true;
                addAfter = true;
            } else {
                // Moving back towards the anchor deselects the record being left.
                const int side = (m_selectOffset > 0) - (m_selectOffset < 0);
                addAfter = side != -direction;
                if (!addAfter)
                    m_selected->setCurrentRecordSelected(false);
            }
        } else {
            clearSelection();
        }
    }
    m_selectOffset += moveBy(direction);
    if (addAfter)
        m_selected->setCurrentRecordSelected(true);
}

void TNormalCustomDBGrid::nextRow(bool select, ui::ShiftState shift) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    if (dataSet->state() == DataSetState::Insert && !dataSet->isModified() && !m_edit->modified()) {
        if (!m_newRowAtEnd)
            dataSet->cancel();
        return; // an untouched new record at the end stays as it is
    }
    doSelection(select, shift, 1);
    if (dataSet->eof() && dataSet->canModify() && !m_readOnly && (m_options & dgEditing)) {
        m_appending = true;
        try {
            dataSet->append();
        } catch (...) {
            m_appending = false;
            throw;
        }
        m_appending = false;
    }
}

void TNormalCustomDBGrid::priorRow(bool select, ui::ShiftState shift) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    if (dataSet->state() == DataSetState::Insert && !dataSet->isModified() && m_newRowAtEnd &&
        !m_edit->modified())
        dataSet->cancel();
    else
        doSelection(select, shift, -1);
}

void TNormalCustomDBGrid::moveCol(int column) {
    if (column == m_selectedCol || column < 0 || column >= m_columns.count())
        return;
    updateData();
    m_selectedCol = column;
    syncCurrentIndex();
    updateEditorContents(true);
    placeEditor();
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

int TNormalCustomDBGrid::neighbourColumn(int direction) const {
    const QList<int> shown = shownColumns();
    const int position = shown.indexOf(m_selectedCol);
    const int next = position + direction;
    return position >= 0 && next >= 0 && next < shown.size() ? shown.at(next) : -1;
}

void TNormalCustomDBGrid::tab(bool forward) {
    const QList<int> shown = shownColumns();
    if (shown.isEmpty())
        return;
    const int next = neighbourColumn(forward ? 1 : -1);
    if (next >= 0) {
        moveCol(next);
    } else if (forward) {
        nextRow(false, {});
        moveCol(shown.first());
    } else {
        priorRow(false, {});
        moveCol(shown.last());
    }
}

void TNormalCustomDBGrid::clearSelection() {
    if (m_options & dgMultiSelect) {
        m_selected->clear();
        m_selecting = false;
    }
}

void TNormalCustomDBGrid::deleteRecords() {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet || m_readOnly || dataSet->isEmpty() || !dataSet->canModify())
        return;
    const int selected = m_selected->count();
    if (m_options & dgConfirmDelete) {
        const QString question = selected > 1 ? QStringLiteral("Delete all selected records?")
                                              : QStringLiteral("Delete record?");
        if (ui::messageBox(ui::MessageKind::Confirmation, question,
                           ui::MessageButton::Ok | ui::MessageButton::Cancel) == ui::mrCancel)
            return;
    }
    if (selected > 0)
        m_selected->deleteAll();
    else
        dataSet->remove();
}

void TNormalCustomDBGrid::resetEdit() {
    if (m_edit->modified()) {
        m_edit->setModified(false);
        updateEditorContents(true);
    } else if (db::DataSet* dataSet = activeDataSet()) {
        dataSet->cancel();
    }
}

// ---- keys ----

void TNormalCustomDBGrid::keyDown(int& key, ui::ShiftState shift) {
    if (onKeyDown) {
        onKeyDown(key, shift);
        if (key == 0)
            return;
    }
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    if (shift.testFlag(ShiftKey::Ctrl)) {
        switch (key) {
        case vk::Up:
        case vk::Prior:
            moveBy(-m_window.activeRow());
            break;
        case vk::Down:
        case vk::Next:
            moveBy(m_window.count() - m_window.activeRow() - 1);
            break;
        case vk::Left:
            firstColumn();
            break;
        case vk::Right:
            lastColumn();
            break;
        case vk::Home:
            clearSelection();
            dataSet->first();
            break;
        case vk::End:
            clearSelection();
            dataSet->last();
            break;
        case vk::Delete:
            deleteRecords();
            break;
        default:
            break;
        }
        return;
    }
    const bool rowSelect = m_options & dgRowSelect;
    switch (key) {
    case vk::Up:
        priorRow(true, shift);
        break;
    case vk::Down:
        nextRow(true, shift);
        break;
    case vk::Left:
    case vk::Right: {
        const int direction = key == vk::Left ? -1 : 1;
        if (rowSelect)
            scrollColumns(direction);
        else if (const int next = neighbourColumn(direction); next >= 0)
            moveCol(next);
        break;
    }
    case vk::Home:
        if (shownColumns().size() == 1 || rowSelect) {
            clearSelection();
            dataSet->first();
        } else {
            firstColumn();
        }
        break;
    case vk::End:
        if (shownColumns().size() == 1 || rowSelect) {
            clearSelection();
            dataSet->last();
        } else {
            lastColumn();
        }
        break;
    case vk::Next:
        clearSelection();
        moveBy(visibleRowCount());
        break;
    case vk::Prior:
        clearSelection();
        moveBy(-visibleRowCount());
        break;
    case vk::Insert:
        if (dataSet->canModify() && !m_readOnly && (m_options & dgEditing)) {
            clearSelection();
            dataSet->insert();
        }
        break;
    case vk::Tab:
        if (!shift.testFlag(ShiftKey::Alt))
            tab(!shift.testFlag(ShiftKey::Shift));
        break;
    case vk::Escape:
        resetEdit();
        clearSelection();
        if (!(m_options & dgAlwaysShowEditor))
            hideEditor();
        break;
    case vk::F2:
        setEditorMode(true);
        break;
    default:
        break;
    }
}

void TNormalCustomDBGrid::keyPress(char16_t& key) {
    if (onKeyPress) {
        onKeyPress(key);
        if (key == 0)
            return;
    }
    if (!(m_options & dgAlwaysShowEditor) && key == 13) {
        // Enter opens the editor, or closes it with its text written into the field.
        if (m_edit->mode()) {
            updateData();
            hideEditor();
        } else {
            showEditor();
        }
        key = 0;
    }
}

bool TNormalCustomDBGrid::escapeHasWork() const {
    const db::DataSet* dataSet = activeDataSet();
    return m_edit->modified() || (dataSet && isEditState(dataSet->state())) ||
           ((m_options & dgMultiSelect) && m_selected->count() > 0) ||
           (m_edit->mode() && !(m_options & dgAlwaysShowEditor) && m_edit->editor() &&
            m_edit->editor()->isVisible());
}

bool TNormalCustomDBGrid::windowTakesKey(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        // A window's default button answers Enter before a control that has no use for it.
        for (const QPushButton* button : window()->findChildren<QPushButton*>())
            if (button->isDefault() && button->isVisible() && button->isEnabled())
                return true;
        return false;
    }
    if (event.key() == Qt::Key_Escape)
        return !escapeHasWork();
    return false;
}

bool TNormalCustomDBGrid::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (m_options & dgTabs)
                keyPressEvent(key);
            else
                focusNeighbour(key->key() == Qt::Key_Tab &&
                               !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return ui::Control<QTableView>::event(event);
}

void TNormalCustomDBGrid::keyPressEvent(QKeyEvent* event) {
    if (windowTakesKey(*event)) {
        event->ignore();
        return;
    }
    event->accept();
    int key = ui::virtualKey(*event);
    const ui::ShiftState shift = ui::shiftState(event->modifiers());
    if (key != 0 && !ui::guarded([&] { keyDown(key, shift); }))
        return;
    char16_t ch = ui::keyChar(*event);
    if (ch == 0)
        return;
    ui::guarded([&] {
        // A character typed on the grid opens the editor, which then takes it as typed.
        if (isEditingAllowed() && activeDataSet() && (ch == 8 || ch >= 32) &&
            !event->modifiers().testFlag(Qt::ControlModifier)) {
            showEditor();
            if (m_edit->editor() && m_edit->editor()->isVisible()) {
                m_edit->editor()->typeChar(ch, ui::isKeypadKey(*event));
                return;
            }
        }
        keyPress(ch);
    });
}

void TNormalCustomDBGrid::focusNeighbour(bool next) {
    QWidget* widget = this;
    for (int steps = 0; steps < 10000; ++steps) {
        widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain();
        if (!widget || widget == this)
            return;
        if (ownsWidget(widget) || widget->window() != window())
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled()) {
            widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

// ---- editing ----

bool TNormalCustomDBGrid::isEditingAllowed() const {
    return (m_options & dgEditing) && !(m_options & dgRowSelect);
}

bool TNormalCustomDBGrid::editorMode() const {
    return m_edit->mode();
}

TDBGridInplaceEdit* TNormalCustomDBGrid::inplaceEditor() const {
    return m_edit->editor();
}

bool TNormalCustomDBGrid::editModified() const {
    return m_edit->modified();
}

bool TNormalCustomDBGrid::canEditShow() const {
    return m_edit->canShow();
}

void TNormalCustomDBGrid::showEditor() {
    m_edit->show();
}

void TNormalCustomDBGrid::hideEditor() {
    m_edit->hide();
}

void TNormalCustomDBGrid::placeEditor() {
    m_edit->place();
}

void TNormalCustomDBGrid::updateEditorContents(bool select) {
    m_edit->updateContents(select);
}

bool TNormalCustomDBGrid::canEditModify() {
    return m_edit->canModify();
}

void TNormalCustomDBGrid::updateData() {
    m_edit->writePending();
}

TDBGridInplaceEdit* TNormalCustomDBGrid::createEditor() {
    return new TDBGridInplaceEdit(*this);
}

void TNormalCustomDBGrid::setEditorMode(bool on) {
    if (on)
        showEditor();
    else
        hideEditor();
}

bool TNormalCustomDBGrid::canEditAcceptKey(char16_t key) const {
    const db::Field* field = currentField();
    if (!activeDataSet() || !field)
        return false;
    const QChar c(key);
    switch (field->dataType()) {
    case db::FieldType::Float:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
               c == QLatin1Char('E') || c == QLatin1Char('e') ||
               c == base::formatSettings().decimalSeparator;
    case db::FieldType::Integer:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
    default:
        return true;
    }
}

QStringList TNormalCustomDBGrid::pickListValues() {
    const TColumn* column = currentColumn();
    if (!column)
        return {};
    if (!column->pickList().isEmpty())
        return column->pickList();
    // A list longer than anyone would scroll is cut short.
    constexpr int kMaxItems = 1000;
    const db::Field* field = column->field();
    return field ? lookupPickList(*field, kMaxItems) : QStringList();
}

void TNormalCustomDBGrid::pickListChosen(const QString& value) {
    db::DataSet* dataSet = activeDataSet();
    const TColumn* column = currentColumn();
    db::Field* field = currentField();
    if (!dataSet || !column || !field || !m_edit->editor())
        return;
    if (field->kind() != db::FieldKind::Lookup) {
        if (!canEditModify()) {
            ui::beep();
            return;
        }
        m_edit->editor()->setText(value);
        m_edit->setModified(true);
        return;
    }
    db::DataSet* lookup = field->lookupDataSet();
    if (m_readOnly || column->readOnly() || !dataSet->canModify() || !lookup) {
        ui::beep();
        return;
    }
    chooseLookupValue(*dataSet, *field, value);
    // The lookup field follows its keys; the editor shows it again.
    updateEditorContents(false);
}

// ---- focus ----

bool TNormalCustomDBGrid::ownsWidget(const QWidget* widget) const {
    return widget && (widget == this || isAncestorOf(widget));
}

bool TNormalCustomDBGrid::hasFocusInside() const {
    return ownsWidget(QApplication::focusWidget());
}

void TNormalCustomDBGrid::focusEntered() {
    // Coming back from a popup or another window is no entry: the grid was never left then. The
    // first focus of a window that opens on the grid is one.
    if (m_focusInside)
        return;
    m_focusInside = true;
    if (onEnter)
        ui::guarded(onEnter);
}

void TNormalCustomDBGrid::focusLeft(QWidget* newFocus, bool moved) {
    if (m_destroying || ownsWidget(newFocus) || !m_focusInside)
        return;
    if (!moved)
        return; // a popup or another window: the grid has not been left
    m_focusInside = false;
    const bool written = ui::guarded([&] {
        db::DataSet* dataSet = activeDataSet();
        if (!dataSet)
            return;
        if ((m_options & dgCancelOnExit) && dataSet->state() == DataSetState::Insert &&
            !dataSet->isModified() && !m_edit->modified())
            dataSet->cancel();
        else
            updateData();
    });
    if (!written) {
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
        return;
    }
    if (!(m_options & dgAlwaysShowEditor))
        hideEditor();
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
        showEditor();
    else if (m_edit->mode() && m_edit->editor() && m_edit->editor()->isVisible())
        m_edit->editor()->setFocus(Qt::OtherFocusReason);
    invalidateAll();
}

void TNormalCustomDBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    focusLeft(QApplication::focusWidget(), focusMoved(event->reason()));
}

// ---- mouse ----

void TNormalCustomDBGrid::mousePressEvent(QMouseEvent* event) {
    if (!hasFocusInside())
        setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !activeDataSet())
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    ui::guarded([&] {
        const bool sameCell = index.row() == row() && index.column() == m_selectedCol;
        if (index.row() != row())
            moveBy(index.row() - row());
        moveCol(index.column());
        if (m_options & dgMultiSelect) {
            if (modifiers & Qt::ControlModifier) {
                m_selected->setCurrentRecordSelected(!m_selected->currentRecordSelected());
            } else {
                m_selected->clear();
                m_selected->setCurrentRecordSelected(true);
            }
        }
        if (sameCell)
            showEditor();
    });
}

void TNormalCustomDBGrid::mouseMoveEvent(QMouseEvent*) {}

void TNormalCustomDBGrid::mouseReleaseEvent(QMouseEvent*) {}

void TNormalCustomDBGrid::mouseDoubleClickEvent(QMouseEvent*) {
    if (onDblClick)
        ui::guarded(onDblClick);
}

void TNormalCustomDBGrid::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || !activeDataSet()) {
        event->ignore();
        return;
    }
    event->accept();
    const int steps = qMax(1, qAbs(delta) / 120);
    ui::guarded([&] { moveBy(delta > 0 ? -steps : steps); });
}

// ---- scrolling ----

bool TNormalCustomDBGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Paint)
        ++m_paintGeneration;
    const bool result = ui::Control<QTableView>::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        capacityChanged();
    return result;
}

void TNormalCustomDBGrid::updateGeometries() {
    ui::Control<QTableView>::updateGeometries();
    updateScrollBar();
    placeEditor();
}

void TNormalCustomDBGrid::scrollContentsBy(int dx, int) {
    // The rows never scroll inside the viewport: the window of records moves instead.
    ui::Control<QTableView>::scrollContentsBy(dx, 0);
    placeEditor();
}

void TNormalCustomDBGrid::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    const db::DataSet* dataSet = activeDataSet();
    if (!dataSet || dataSet->isEmpty()) {
        bar->setRange(0, 0);
        return;
    }
    // Without record numbers the bar tells only where the cursor is: at the start, at the end,
    // or in between.
    bar->setRange(0, 4);
    bar->setPageStep(1);
    bar->setSingleStep(1);
    bar->setValue(dataSet->bof() ? 0 : (dataSet->eof() ? 4 : 2));
}

void TNormalCustomDBGrid::scrollBarAction(int action) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    ui::guarded([&] {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            moveBy(1);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            moveBy(-1);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            moveBy(visibleRowCount());
            break;
        case QAbstractSlider::SliderPageStepSub:
            moveBy(-visibleRowCount());
            break;
        case QAbstractSlider::SliderToMinimum:
            dataSet->first();
            break;
        case QAbstractSlider::SliderToMaximum:
            dataSet->last();
            break;
        case QAbstractSlider::SliderMove:
            if (verticalScrollBar()->sliderPosition() == verticalScrollBar()->minimum())
                dataSet->first();
            else if (verticalScrollBar()->sliderPosition() == verticalScrollBar()->maximum())
                dataSet->last();
            break;
        default:
            break;
        }
    });
    // The bar has moved its slider on its own; show the dataset's position again.
    QTimer::singleShot(0, this, [this] { updateScrollBar(); });
}

// ---- painting ----

bool TNormalCustomDBGrid::isSelectedRow(int row) {
    if (!(m_options & dgMultiSelect) || m_selected->count() == 0 || row < 0 ||
        row >= m_window.count() || row == m_window.newRow())
        return false;
    return m_selected->isSelected(db::Bookmark{m_window.row(row).id});
}

TGridDrawState TNormalCustomDBGrid::cellState(int row, int column) const {
    TGridDrawState state;
    const bool current =
        row == m_window.activeRow() && (column == m_selectedCol || (m_options & dgRowSelect));
    const bool focused = hasFocusInside();
    if (current && (focused || (m_options & dgAlwaysShowSelection)))
        state |= gdSelected;
    if (current && focused && column == m_selectedCol)
        state |= gdFocused;
    return state;
}

void TNormalCustomDBGrid::defaultDrawColumnCell(const QRect& rect, int, TColumn& column,
                                                TGridDrawState) {
    TGridCellDelegate::drawDefault(m_canvas, rect, column);
}

QString TNormalCustomDBGrid::cellText(int row, int column) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet || row < 0 || row >= m_window.count() || column < 0 || column >= m_columns.count())
        return QString();
    const db::Field* field = m_columns.items(column)->field();
    if (!field)
        return QString();
    if (row == m_window.activeRow() && isEditState(dataSet->state()))
        return field->displayText();
    QString text;
    try {
        dataSet->withRecord(m_window.row(row), [&] { text = field->displayText(); });
    } catch (...) {
        return QString();
    }
    return text;
}

void TNormalCustomDBGrid::invalidateRow(int row) {
    if (row < 0 || row >= m_window.count())
        return;
    viewport()->update(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
    verticalHeader()->viewport()->update();
}

void TNormalCustomDBGrid::invalidateAll() {
    viewport()->update();
    verticalHeader()->viewport()->update();
}
