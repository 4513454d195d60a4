#pragma once
// Message boxes of the system's four kinds, each with its fixed caption, and the system beep;
// both go through the desktop seam of the current application.
#include "platform/ui/desktop.h"

namespace ui {

// "Warning", "Error", "Information" or "Confirm".
QString captionOf(MessageKind kind);

// Shows a modal box of the kind with its caption; returns the result of the button pressed.
// defaultButton, when given, is the one Enter presses (a question whose safe answer is No).
ModalResult messageBox(MessageKind kind, const QString& text,
                       MessageButtons buttons = MessageButton::Ok,
                       MessageButtons defaultButton = {});

void beep();

} // namespace ui
