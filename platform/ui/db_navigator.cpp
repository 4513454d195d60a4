#include "platform/ui/db_navigator.h"

#include "platform/db/data_set.h"
#include "platform/ui/message_box.h"
#include "platform/ui/speed_button.h"

#include <QHBoxLayout>

#include <bit>

namespace ui {
namespace {

NavigateButton buttonAt(int index) {
    return NavigateButton(1 << index);
}

int indexOf(NavigateButton button) {
    return std::countr_zero(unsigned(button));
}

struct Face {
    const char* symbol;
    const char* hint;
};

constexpr Face kFaces[DBNavigator::kButtonCount] = {
    {"|\u25C0", "First record"}, {"\u25C0", "Prior record"}, {"\u25B6", "Next record"},
    {"\u25B6|", "Last record"},  {"+", "Insert record"},     {"\u2212", "Delete record"},
    {"\u25B2", "Edit record"},   {"\u2714", "Post edit"},    {"\u2716", "Cancel edit"},
    {"\u21BB", "Refresh data"},
};

} // namespace

DBNavigator::DBNavigator(QWidget* parent)
    : QWidget(parent), m_link([this](db::DataEvent, db::Field*) { enableButtons(); }) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* button = new SpeedButton(this);
        button->setText(QString::fromUtf8(kFaces[i].symbol));
        button->setToolTip(QString::fromUtf8(kFaces[i].hint));
        button->setAutoRaise(false);
        button->onClick = [this, i] { click(buttonAt(i)); };
        layout->addWidget(button);
        m_buttons[size_t(i)] = button;
    }
    enableButtons();
}

void DBNavigator::setDataSource(db::DataSource* source) {
    m_link.setDataSource(source);
    enableButtons();
}

void DBNavigator::setVisibleButtons(NavigateButtons buttons) {
    m_visible = buttons;
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[size_t(i)]->setVisible(buttons.testFlag(buttonAt(i)));
}

void DBNavigator::setHints(const QStringList& hints) {
    for (int i = 0; i < kButtonCount && i < hints.size(); ++i)
        m_buttons[size_t(i)]->setToolTip(hints.at(i));
}

SpeedButton* DBNavigator::button(NavigateButton which) const {
    return m_buttons[size_t(indexOf(which))];
}

void DBNavigator::click(NavigateButton which) {
    if (m_link.isActive()) {
        if (beforeAction)
            beforeAction(which);
        db::DataSet& data = *m_link.dataSet();
        switch (which) {
        case NavigateButton::First:
            data.first();
            break;
        case NavigateButton::Prior:
            data.prior();
            break;
        case NavigateButton::Next:
            data.next();
            break;
        case NavigateButton::Last:
            data.last();
            break;
        case NavigateButton::Insert:
            data.insert();
            break;
        case NavigateButton::Delete:
            if (!m_confirmDelete ||
                messageBox(MessageKind::Confirmation, QStringLiteral("Delete record?"),
                           MessageButton::Ok | MessageButton::Cancel) != mrCancel)
                data.remove();
            break;
        case NavigateButton::Edit:
            data.edit();
            break;
        case NavigateButton::Post:
            data.post();
            break;
        case NavigateButton::Cancel:
            data.cancel();
            break;
        case NavigateButton::Refresh:
            data.refresh();
            break;
        }
    }
    if (onClick)
        onClick(which);
}

void DBNavigator::enableButtons() {
    const db::DataSet* data = m_link.isActive() ? m_link.dataSet() : nullptr;
    const bool editing = data && (data->state() == db::DataSetState::Edit ||
                                  data->state() == db::DataSetState::Insert);
    const bool canModify = data && data->canModify();
    const bool up = data && !data->bof();
    const bool down = data && !data->eof();
    const bool enabled[kButtonCount] = {
        up,
        up,
        down,
        down,
        canModify,
        canModify && !(data->bof() && data->eof()),
        canModify && !editing,
        canModify && editing,
        canModify && editing,
        data != nullptr,
    };
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[size_t(i)]->setEnabled(enabled[i]);
}

} // namespace ui
