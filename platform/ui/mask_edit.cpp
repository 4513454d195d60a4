#include "platform/ui/mask_edit.h"

#include "platform/base/errors.h"
#include "platform/base/format_settings.h"
#include "platform/ui/message_box.h"

#include <QTimer>

namespace ui {
namespace {

// Characters with a meaning in a Qt input mask; as literals they are escaped.
bool isQtMaskMeta(QChar c) {
    return QStringLiteral("AaNnXx90Dd#HhBb><!\\;[]{}").contains(c);
}

void appendLiteral(QString& mask, QChar c) {
    if (isQtMaskMeta(c))
        mask += QLatin1Char('\\');
    mask += c;
}

} // namespace

QString qtInputMask(const QString& editMask, QChar dateSeparator, QChar timeSeparator) {
    QString mask;
    QChar blank = QLatin1Char('_');
    qsizetype i = 0;
    for (; i < editMask.size() && editMask.at(i) != QLatin1Char(';'); ++i) {
        const QChar c = editMask.at(i);
        const QChar next = i + 1 < editMask.size() ? editMask.at(i + 1) : QChar();
        switch (c.unicode()) {
        case '0':
            mask += QLatin1Char('9');
            break;
        case '9':
            mask += QLatin1Char('0');
            break;
        case '#':
            mask += QLatin1Char('#');
            break;
        case 'L':
            mask += QLatin1Char('A');
            break;
        case 'l':
            mask += QLatin1Char('a');
            break;
        case 'A':
            mask += QLatin1Char('N');
            break;
        case 'a':
            mask += QLatin1Char('n');
            break;
        case 'C':
            mask += QLatin1Char('X');
            break;
        case 'c':
            mask += QLatin1Char('x');
            break;
        case '>':
            mask += QLatin1Char('>');
            break;
        case '<':
            if (next == QLatin1Char('>')) {
                mask += QLatin1Char('!');
                ++i;
            } else {
                mask += QLatin1Char('<');
            }
            break;
        case '!':
            break; // trims leading blanks from the shown text; Qt has no such mode
        case '\\':
            if (!next.isNull())
                appendLiteral(mask, next);
            ++i;
            break;
        case '/':
            appendLiteral(mask, dateSeparator);
            break;
        case ':':
            appendLiteral(mask, timeSeparator);
            break;
        case '_':
            mask += QLatin1Char(' ');
            break;
        default:
            appendLiteral(mask, c);
            break;
        }
    }
    // After the mask: ";<save literals>;<blank character>".
    const QStringList fields = editMask.mid(i + 1).split(QLatin1Char(';'));
    if (i < editMask.size() && fields.size() >= 2 && !fields.at(1).isEmpty())
        blank = fields.at(1).at(0);
    if (mask.isEmpty())
        return QString();
    return mask + QLatin1Char(';') + blank;
}

void MaskEdit::setEditMask(const QString& editMask) {
    m_editMask = editMask;
    setInputMask(qtInputMask(editMask, base::formatSettings().dateSeparator, QLatin1Char(':')));
}

void MaskEdit::validateEdit() {
    if (!isMasked() || !isModified() || hasAcceptableInput())
        return;
    // Back into the edit once the focus change under way is over.
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
    beep();
    throw base::Error(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
}

void MaskEdit::focusInEvent(QFocusEvent* event) {
    if (movesFocus(event) && !isModified())
        m_textOnEntry = displayText();
    Edit::focusInEvent(event);
}

void MaskEdit::focusOutEvent(QFocusEvent* event) {
    if (movesFocus(event) && !guarded([this] { validateEdit(); })) {
        QLineEdit::focusOutEvent(event);
        return; // refused: the exit does not happen
    }
    Edit::focusOutEvent(event);
}

void MaskEdit::handleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isMasked() && isModified()) {
        setText(m_textOnEntry);
        selectAll();
        return;
    }
    Edit::handleKey(event);
}

} // namespace ui
