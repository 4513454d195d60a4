#include "platform/ui/label.h"

#include "platform/ui/caption.h"

namespace ui {

Label::Label(const QString& caption, QWidget* parent) : QLabel(parent) {
    setCaption(caption);
}

void Label::setCaption(const QString& caption) {
    m_caption = caption;
    showCaption();
}

void Label::setFocusControl(QWidget* control) {
    setBuddy(control);
    showCaption();
}

void Label::setFontColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

void Label::showCaption() {
    // QLabel turns "&" into a mnemonic only when it has a buddy; otherwise it would show it.
    setText(buddy() ? m_caption : captionText(m_caption));
}

} // namespace ui
