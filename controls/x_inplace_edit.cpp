#include "controls/x_inplace_edit.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace vk = ui::vk;
using ui::ShiftKey;

TXInPlaceEdit::TXInPlaceEdit(TInplaceEditHost& grid) : TDBGridInplaceEdit(grid) {}

void TXInPlaceEdit::keyDown(int& key, ui::ShiftState shift) {
    if (key == vk::Return) {
        if (shift) {
            key = 0; // not for the editor, the grid or the window's key-down handler
            return;
        }
        selectAll();
        key = vk::Right;
        TDBGridInplaceEdit::keyDown(key, shift);
        // Kept by the editor (its grid does not always show it): Enter has selected the text.
        key = 0;
        return;
    }
    if (key == vk::Delete && shift == ui::ShiftState(ShiftKey::Ctrl)) {
        grid().keyDown(key, shift);
        key = 0;
        return;
    }
    TDBGridInplaceEdit::keyDown(key, shift);
}

void TXInPlaceEdit::keyPress(char16_t& key) {
    if (key == 13) {
        key = 0;
        return;
    }
    TDBGridInplaceEdit::keyPress(key);
}

void TXInPlaceEdit::placeCaret() {
    if (text().isEmpty())
        return;
    deselect();
    setCursorPosition(hasEditMask() ? 0 : int(text().size()));
}

void TXInPlaceEdit::focusInEvent(QFocusEvent* event) {
    TDBGridInplaceEdit::focusInEvent(event);
    if (!m_noEditSelection)
        return;
    // After the focus handling (which may select the text) is over.
    QTimer::singleShot(0, this, [this] { placeCaret(); });
}

void TXInPlaceEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    TDBGridInplaceEdit::mouseDoubleClickEvent(event);
    const QPointF position = event->position();
    const QPointF global = event->globalPosition();
    QPointer<TXInPlaceEdit> self(this);
    QTimer::singleShot(0, this, [self, position, global] {
        if (!self)
            return;
        QMouseEvent release(QEvent::MouseButtonRelease, position, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(self, &release);
    });
}
