#include "controls/db_grid_inplace_edit.h"

#include "platform/db/field.h"
#include "platform/ui/decimal_key.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/message_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>

namespace vk = ui::vk;
using ui::ShiftKey;

namespace {

constexpr int kF4 = vk::F1 + 3;

bool focusMoved(Qt::FocusReason reason) {
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

} // namespace

TDBGridInplaceEdit::TDBGridInplaceEdit(TInplaceEditHost& grid)
    : QLineEdit(grid.editorParent()), m_grid(grid) {
    setFrame(false);
    // Opaque, so that the caret's blinking does not repaint (and recompute) the cell beneath.
    setAutoFillBackground(true);
    // Reached by the grid only, never by Tab from other controls.
    setFocusPolicy(Qt::ClickFocus);
    hide();
}

void TDBGridInplaceEdit::sendToParent(int& key, ui::ShiftState shift) {
    m_grid.keyDown(key, shift);
    key = 0;
}

void TDBGridInplaceEdit::parentEvent(int& key, ui::ShiftState shift) {
    m_grid.keyDownEvent(key, shift);
}

bool TDBGridInplaceEdit::leftSide() const {
    const int length = int(text().size());
    if (hasSelectedText())
        return selectionStart() == 0 && int(selectedText().size()) == length;
    return cursorPosition() == 0;
}

bool TDBGridInplaceEdit::rightSide() const {
    const int length = int(text().size());
    if (hasSelectedText())
        return selectionStart() == 0 && int(selectedText().size()) == length;
    return cursorPosition() == length;
}

void TDBGridInplaceEdit::keyDown(int& key, ui::ShiftState shift) {
    if (m_editStyle == EditStyle::PickList &&
        ((key == vk::Down && shift == ui::ShiftState(ShiftKey::Alt)) || (key == kF4 && !shift))) {
        dropDown(); // Alt+Down or F4
        key = 0;
        return;
    }
    // Moving the caret inside the text comes first; at its edges, a grid whose editor is always
    // shown moves between cells.
    const bool forward = m_grid.options() & dgAlwaysShowEditor;
    switch (key) {
    case vk::Up:
    case vk::Down:
    case vk::Prior:
    case vk::Next:
    case vk::Escape:
        sendToParent(key, shift);
        break;
    case vk::Insert:
        if (!shift)
            sendToParent(key, shift);
        else if (shift == ui::ShiftState(ShiftKey::Shift) && !m_grid.canEditModify())
            key = 0;
        break;
    case vk::Left:
    case vk::Home:
        if (forward && leftSide())
            sendToParent(key, shift);
        break;
    case vk::Right:
    case vk::End:
        if (forward && rightSide())
            sendToParent(key, shift);
        break;
    case vk::F2:
        parentEvent(key, shift);
        if (key == vk::F2) {
            deselect();
            end(false);
            key = 0;
            return;
        }
        break;
    case vk::Tab:
        if (!shift.testFlag(ShiftKey::Alt))
            sendToParent(key, shift);
        break;
    case vk::Delete:
        if (shift.testFlag(ShiftKey::Ctrl))
            sendToParent(key, shift);
        else if (!m_grid.canEditModify())
            key = 0;
        break;
    default:
        break;
    }
    if (key != 0)
        parentEvent(key, shift);
}

void TDBGridInplaceEdit::keyPress(char16_t& key) {
    m_grid.keyPress(key);
    if (key >= 32 && !m_grid.canEditAcceptKey(key)) {
        key = 0;
        ui::beep();
    }
    switch (key) {
    case 0:
        break;
    case 9:
    case 27:
        key = 0;
        break;
    case 13:
        if (hasSelectedText() && selectedText().size() == text().size())
            deselect();
        else
            selectAll();
        key = 0;
        break;
    case 8:
    case 22: // Ctrl+V
    case 24: // Ctrl+X
        if (!m_grid.canEditModify())
            key = 0;
        break;
    default:
        if (key >= 32 && !m_grid.canEditModify())
            key = 0;
        break;
    }
}

char16_t TDBGridInplaceEdit::decimalKey(char16_t typed, bool keypad) const {
    const db::Field* field = m_grid.currentField();
    if (typed < 32 || !field || field->dataType() != db::FieldType::Float)
        return typed;
    QString kept = text();
    if (hasSelectedText())
        kept.remove(selectionStart(), selectedText().size());
    return ui::decimalKeyChar(typed, keypad, kept);
}

void TDBGridInplaceEdit::typeChar(char16_t key, bool keypad) {
    char16_t ch = decimalKey(key, keypad);
    if (key != 0 && ch == 0) {
        ui::beep();
        return;
    }
    keyPress(ch);
    if (ch == 0)
        return;
    if (ch == 8)
        backspace();
    else if (ch >= 32)
        insert(QString(QChar(ch)));
    else
        return;
    emit textEdited(text());
}

void TDBGridInplaceEdit::contentsChanged(bool select) {
    if (select)
        selectAll();
}

bool TDBGridInplaceEdit::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Tab belongs to the grid: between cells with dgTabs, else to the next control.
            if (m_grid.options() & dgTabs)
                keyPressEvent(key);
            else
                m_grid.focusNeighbour(key->key() == Qt::Key_Tab &&
                                      !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TDBGridInplaceEdit::keyPressEvent(QKeyEvent* event) {
    if (m_grid.windowTakesKey(*event)) {
        event->ignore();
        return;
    }
    int key = ui::virtualKey(*event);
    const ui::ShiftState shift = ui::shiftState(event->modifiers());
    if (key != 0 && !ui::guarded([&] { keyDown(key, shift); })) {
        event->accept();
        return;
    }
    const char16_t typed = ui::keyChar(*event);
    char16_t ch = decimalKey(typed, ui::isKeypadKey(*event));
    if (typed != 0 && ch == 0) {
        ui::beep();
        event->accept();
        return;
    }
    if (ch != 0 && !ui::guarded([&] { keyPress(ch); })) {
        event->accept();
        return;
    }
    // A typing key reaches the edit when its character was let through, any other key when its
    // key-down was. A character the handlers replaced is typed as it now is.
    const bool editHandles = typed != 0 ? ch != 0 : key != 0;
    if (editHandles && typed != 0 && ch != typed && ch >= 32) {
        insert(QString(QChar(ch)));
        emit textEdited(text());
    } else if (editHandles) {
        QLineEdit::keyPressEvent(event);
    }
    // Never on to the grid: it has seen what it was meant to see.
    event->accept();
}

void TDBGridInplaceEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_grid.focusEntered();
    if (m_autoSelect)
        selectAll();
}

void TDBGridInplaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    m_grid.focusLeft(QApplication::focusWidget(), focusMoved(event->reason()));
}

void TDBGridInplaceEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    m_grid.doubleClicked();
}

void TDBGridInplaceEdit::setEditStyle(EditStyle style) {
    if (style == m_editStyle)
        return;
    m_editStyle = style;
    if (style != EditStyle::Simple && !m_button) {
        m_button = new QToolButton(this);
        m_button->setFocusPolicy(Qt::NoFocus);
        m_button->setCursor(Qt::ArrowCursor);
        connect(m_button, &QToolButton::clicked, this, [this] {
            if (m_editStyle == EditStyle::PickList)
                dropDown();
            else
                m_grid.editButtonClicked();
        });
    }
    if (m_button) {
        m_button->setArrowType(style == EditStyle::PickList ? Qt::DownArrow : Qt::NoArrow);
        m_button->setText(style == EditStyle::Ellipsis ? QStringLiteral("...") : QString());
        m_button->setVisible(style != EditStyle::Simple);
    }
    placeButton();
}

void TDBGridInplaceEdit::placeButton() {
    if (!m_button || m_editStyle == EditStyle::Simple) {
        setTextMargins(0, 0, 0, 0);
        return;
    }
    const int width = qMin(16, this->width() / 2);
    m_button->setGeometry(this->width() - width, 0, width, height());
    setTextMargins(0, 0, width, 0);
}

void TDBGridInplaceEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TDBGridInplaceEdit::dropDown() {
    if (m_editStyle != EditStyle::PickList)
        return;
    QStringList values;
    if (!ui::guarded([&] { values = m_grid.pickListValues(); }) || values.isEmpty())
        return;
    if (!m_list) {
        m_list = new QListWidget(this);
        m_list->setWindowFlags(Qt::Popup);
        m_list->installEventFilter(this);
        connect(m_list, &QListWidget::itemClicked, this, [this] { closeUp(true); });
    }
    m_list->clear();
    m_list->addItems(values);
    const QList<QListWidgetItem*> current = m_list->findItems(text(), Qt::MatchExactly);
    m_list->setCurrentRow(current.isEmpty() ? 0 : m_list->row(current.first()));
    const int rows = qMin(int(values.size()), 7);
    const int height = rows * m_list->sizeHintForRow(0) + 2 * m_list->frameWidth();
    m_list->setGeometry(
        QRect(mapToGlobal(QPoint(0, this->height())), QSize(qMax(this->width(), 100), height)));
    m_list->show();
    m_list->setFocus(Qt::PopupFocusReason);
}

void TDBGridInplaceEdit::closeUp(bool accept) {
    if (!m_list || !m_list->isVisible())
        return;
    const QListWidgetItem* item = m_list->currentItem();
    const QString value = item ? item->text() : QString();
    m_list->hide();
    setFocus(Qt::PopupFocusReason);
    if (accept && item)
        ui::guarded([&] { m_grid.pickListChosen(value); });
}

bool TDBGridInplaceEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            closeUp(true);
            return true;
        case Qt::Key_Escape:
        case Qt::Key_F4:
            closeUp(false);
            return true;
        case Qt::Key_Up:
            if (key->modifiers() & Qt::AltModifier) {
                closeUp(true);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}
