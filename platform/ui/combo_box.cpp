#include "platform/ui/combo_box.h"

#include <QLineEdit>

namespace ui {

ComboBox::ComboBox(QWidget* parent, ComboStyle style) : Control<QComboBox>(parent) {
    setEditable(style == ComboStyle::DropDown);
    auto changed = [this] {
        if (onChange)
            guarded(onChange);
    };
    connect(this, &QComboBox::activated, this, changed);
    if (QLineEdit* edit = lineEdit())
        connect(edit, &QLineEdit::textEdited, this, changed);
}

} // namespace ui
