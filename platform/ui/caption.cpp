#include "platform/ui/caption.h"

namespace ui {

QString captionText(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c != QLatin1Char('&')) {
            text += c;
        } else if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
            text += c;
            ++i;
        }
    }
    return text;
}

} // namespace ui
