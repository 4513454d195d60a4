#include "controls/db_grid_normal.h"

#include "controls/x_inplace_edit.h"

namespace vk = ui::vk;

TDBGridNormal::TDBGridNormal(QWidget* parent) : TNormalDBGrid(parent) {
    setNoEditSelection(true);
}

void TDBGridNormal::setNoEditSelection(bool on) {
    m_noEditSelection = on;
    if (on)
        setOptions(options() | dgAlwaysShowEditor);
    if (auto* editor = static_cast<TXInPlaceEdit*>(inplaceEditor()))
        editor->setNoEditSelection(on);
}

TDBGridInplaceEdit* TDBGridNormal::createEditor() {
    auto* editor = new TXInPlaceEdit(*this);
    editor->setAutoSelect(false);
    editor->setNoEditSelection(m_noEditSelection);
    return editor;
}

void TDBGridNormal::keyDown(int& key, ui::ShiftState shift) {
    const QList<int> shown = shownColumns();
    const bool atLastColumn = !shown.isEmpty() && selectedIndex() == shown.last();
    const bool atFirstColumn = !shown.isEmpty() && selectedIndex() == shown.first();
    const bool rowSelect = options() & dgRowSelect;
    // Down, then the first data column of the record reached (not Home, which goes to the first
    // record in a grid of one column).
    auto nextRecordStart = [&] {
        int down = vk::Down;
        TNormalDBGrid::keyDown(down, {});
        if (!shown.isEmpty())
            moveCol(shown.first());
        key = 0;
    };

    if (key == vk::Return && !shift) {
        if (!atLastColumn) {
            key = vk::Right;
            TNormalDBGrid::keyDown(key, {});
            key = 0;
        } else {
            nextRecordStart();
        }
        return;
    }
    if (key == vk::Left) {
        if (rowSelect) {
            scrollColumns(-1);
            key = 0;
            return;
        }
        if (atFirstColumn && row() > 0) {
            // Up, then the last data column (End would go to the last record in a grid of one
            // column).
            int up = vk::Up;
            TNormalDBGrid::keyDown(up, {});
            lastColumn();
            key = 0;
            return;
        }
    } else if (key == vk::Right) {
        if (rowSelect) {
            scrollColumns(1);
            key = 0;
            return;
        }
        if (atLastColumn) {
            nextRecordStart();
            return;
        }
    }
    TNormalDBGrid::keyDown(key, shift);
}
