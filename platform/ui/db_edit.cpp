#include "platform/ui/db_edit.h"

#include "platform/db/data_set.h"
#include "platform/ui/decimal_key.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"

#include <QTimer>

namespace ui {

DBEdit::DBEdit(QWidget* parent)
    : Edit(parent), m_link([this](db::DataEvent event, db::Field* f) { dataEvent(event, f); }) {
    connect(this, &QLineEdit::textEdited, this, [this] { textEditedByPerson(); });
    showField();
}

void DBEdit::setDataSource(db::DataSource* source) {
    m_link.setDataSource(source);
    showField();
}

void DBEdit::setFieldName(const QString& name) {
    m_fieldName = name;
    showField();
}

db::Field* DBEdit::field() const {
    return m_link.isActive() ? m_link.dataSet()->findField(m_fieldName) : nullptr;
}

void DBEdit::dataEvent(db::DataEvent event, db::Field* changed) {
    switch (event) {
    case db::DataEvent::UpdateData:
        // Runs inside the post: a refused value must stop it, so the error goes to the poster.
        if (m_modified && field()) {
            field()->setAsString(text());
            m_modified = false;
        }
        break;
    case db::DataEvent::RecordChanged:
        if (!changed || changed == field())
            showField();
        break;
    case db::DataEvent::ActiveChanged:
    case db::DataEvent::DataSetChanged:
    case db::DataEvent::DataSetScroll:
        showField();
        break;
    case db::DataEvent::StateChanged:
    case db::DataEvent::CheckBrowseMode:
        break;
    }
}

void DBEdit::showField() {
    db::Field* f = field();
    m_modified = false;
    setText(f ? f->asString() : QString());
    setReadOnly(!f || f->isReadOnly() || f->kind() != db::FieldKind::Data ||
                !f->dataSet().canModify());
    if (f && f->dataType() == db::FieldType::Text)
        setMaxLength(f->size());
}

void DBEdit::textEditedByPerson() {
    db::Field* f = field();
    if (!f)
        return;
    const db::DataSetState state = f->dataSet().state();
    if (state != db::DataSetState::Edit && state != db::DataSetState::Insert) {
        // Entering edit mode re-reads the record and shows it again: keep what was typed.
        const QString typed = text();
        const int caret = cursorPosition();
        if (!guarded([f] { f->dataSet().edit(); })) {
            showField();
            beep();
            return;
        }
        setText(typed);
        setCursorPosition(caret);
    }
    m_modified = true;
}

bool DBEdit::updateRecord() {
    db::Field* f = field();
    if (!m_modified || !f)
        return true;
    m_modified = false;
    if (guarded([&] { f->setAsString(text()); }))
        return true;
    showField();
    return false;
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    if (movesFocus(event) && !updateRecord()) {
        QLineEdit::focusOutEvent(event);
        QTimer::singleShot(0, this, [this] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
        return; // refused: the exit does not happen
    }
    Edit::focusOutEvent(event);
}

void DBEdit::handleKey(QKeyEvent* event) {
    const char16_t typed = keyChar(*event);
    db::Field* f = field();
    if (typed >= 32 && f && f->dataType() == db::FieldType::Float && !isReadOnly()) {
        QString kept = text();
        if (hasSelectedText())
            kept.remove(selectionStart(), selectedText().size());
        const char16_t ch = decimalKeyChar(typed, isKeypadKey(*event), kept);
        if (ch == 0) {
            beep();
            return;
        }
        if (ch != typed) {
            insert(QString(QChar(ch)));
            emit textEdited(text());
            return;
        }
    }
    if (event->key() == Qt::Key_Escape && m_modified) {
        showField();
        selectAll();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        updateRecord();
    Edit::handleKey(event);
}

} // namespace ui
