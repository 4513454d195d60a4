#include "platform/ui/message_box.h"

#include "platform/db/read_burst.h"
#include "platform/ui/application.h"

namespace ui {

QString captionOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("Warning");
    case MessageKind::Error:
        return QStringLiteral("Error");
    case MessageKind::Information:
        return QStringLiteral("Information");
    case MessageKind::Confirmation:
        return QStringLiteral("Confirm");
    }
    return QString();
}

ModalResult messageBox(MessageKind kind, const QString& text, MessageButtons buttons,
                       MessageButtons defaultButton) {
    db::ReadBurst::letGo(); // no database waits on the person
    return application()->desktop().messageBox(kind, captionOf(kind), text, buttons, defaultButton);
}

void beep() {
    application()->desktop().beep();
}

} // namespace ui
