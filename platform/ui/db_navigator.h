#pragma once
// A bar of ten buttons that move through and edit the records of a data source: First, Prior,
// Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh. Which buttons show, and their hints,
// are set by the window. The buttons follow the dataset: moving backwards needs a record before
// the current one, forwards one after it, the editing buttons a dataset that can be modified,
// Post and Cancel a pending edit, Edit none; all are disabled while the dataset is closed.
// Delete asks "Delete record?" (OK, Cancel) first unless confirmation is switched off.
#include "platform/ui/control_link.h"

#include <QFlags>
#include <QWidget>

#include <array>
#include <functional>

namespace ui {

class SpeedButton;

enum class NavigateButton {
    First = 0x1,
    Prior = 0x2,
    Next = 0x4,
    Last = 0x8,
    Insert = 0x10,
    Delete = 0x20,
    Edit = 0x40,
    Post = 0x80,
    Cancel = 0x100,
    Refresh = 0x200,
};
Q_DECLARE_FLAGS(NavigateButtons, NavigateButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(NavigateButtons)

class DBNavigator : public QWidget {
public:
    static constexpr int kButtonCount = 10;
    static NavigateButtons allButtons() { return NavigateButtons(0x3FF); }

    explicit DBNavigator(QWidget* parent = nullptr);

    db::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(db::DataSource* source);
    NavigateButtons visibleButtons() const { return m_visible; }
    void setVisibleButtons(NavigateButtons buttons);
    // Ten hints in button order; missing ones keep the default.
    void setHints(const QStringList& hints);
    bool confirmDelete() const { return m_confirmDelete; }
    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }

    SpeedButton* button(NavigateButton which) const;
    // Does what the button does, as a click on it would (also when it is hidden).
    void click(NavigateButton which);

    // Before the action and after it.
    std::function<void(NavigateButton)> beforeAction;
    std::function<void(NavigateButton)> onClick;

private:
    void enableButtons();

    ControlLink m_link;
    std::array<SpeedButton*, kButtonCount> m_buttons{};
    NavigateButtons m_visible = allButtons();
    bool m_confirmDelete = true;
};

} // namespace ui
