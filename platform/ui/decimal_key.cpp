#include "platform/ui/decimal_key.h"

#include "platform/base/format_settings.h"

#include <QKeyEvent>

namespace ui {

char16_t decimalKeyChar(char16_t typed, bool keypad, const QString& kept) {
    const QChar separator = base::formatSettings().decimalSeparator;
    // The keypad's decimal key types "." or "," after the keyboard layout; the main keyboard's
    // "," stays itself, a thousands separator that the number refuses.
    const bool decimalKey = typed == u'.' || (keypad && typed == u',');
    if (!decimalKey && QChar(typed) != separator)
        return typed;
    return kept.contains(separator) ? char16_t(0) : separator.unicode();
}

bool isKeypadKey(const QKeyEvent& event) {
    return event.modifiers().testFlag(Qt::KeypadModifier);
}

} // namespace ui
