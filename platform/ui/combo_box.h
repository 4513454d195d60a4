#pragma once
// A drop-down list (only its items can be chosen) or a drop-down edit. onChange runs when the
// person chooses an item or edits the text, not when the program selects an item, so a window
// can preselect an item without applying it.
#include "platform/ui/control.h"

#include <QComboBox>

namespace ui {

enum class ComboStyle { DropDown, DropDownList };

class ComboBox : public Control<QComboBox> {
public:
    explicit ComboBox(QWidget* parent = nullptr, ComboStyle style = ComboStyle::DropDownList);

    int itemIndex() const { return currentIndex(); }
    void setItemIndex(int index) { setCurrentIndex(index); }
    QString text() const { return currentText(); }

    std::function<void()> onChange;
};

} // namespace ui
