#pragma once
// Captions with an accelerator: "&Cauta:" shows as "Cauta:" with C underlined; "&&" is a
// literal ampersand.
#include <QString>

namespace ui {

// The caption as plain text: accelerator marks dropped, "&&" turned into "&".
QString captionText(const QString& caption);

} // namespace ui
