#include "requirement/ui/sel_date_dlg.h"

#include "common/module_values.h"
#include "controls/date_edit.h"
#include "platform/base/date_text.h"
#include "platform/ui/bevel.h"
#include "platform/ui/button.h"
#include "platform/ui/label.h"

#include <QFocusEvent>

namespace {

// Whether the edit's text is a date, read as the date edit reads it (blank places dropped).
bool holdsValidDate(const TDateEdit& edit) {
    QString text = edit.displayText();
    text.remove(QLatin1Char('_'));
    QDate date;
    return base::tryTextToDate(text, date);
}

} // namespace

TSelDateDlg::TSelDateDlg(QObject* owner) : ui::Form(owner) {
    // No component name: every call of SelectDate makes a dialog of its own, and the earlier
    // ones live on until their owner goes.
    setCaption(QStringLiteral("Selectie"));

    Bevel1 = new ui::Bevel(this);
    Bevel1->setShape(ui::Bevel::Shape::Frame);
    Bevel1->setGeometry(8, 8, 224, 65);
    DateEdit = new TDateEdit(this);
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    DateEdit->setMaxLength(10);
    DateEdit->setGeometry(116, 28, 110, 24);
    Label1 = new ui::Label(QStringLiteral("&Specificati data:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFontColor(Qt::blue);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setFocusControl(DateEdit);
    Label1->setGeometry(12, 28, 100, 24);

    OKBtn = new ui::Button(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setModalResult(ui::mrOk);
    OKBtn->setDefault(true);
    OKBtn->setGeometry(42, 83, 75, 25);
    OKBtn->onClick = [this] { OKBtnClick(); };
    CancelBtn = new ui::Button(QStringLiteral("Renunta"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setModalResult(ui::mrCancel);
    CancelBtn->setCancel(true);
    CancelBtn->setGeometry(123, 83, 75, 25);

    setBorderStyle(ui::BorderStyle::Dialog);
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(240, 118);
    setTabOrder(DateEdit, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    DateEdit->installEventFilter(this);
    // Typing after a refusal makes the text the user's again.
    connect(DateEdit, &QLineEdit::textEdited, this, [this] { m_refusedOnExit = false; });
    created();
    DateEdit->setFocus();
}

TSelDateDlg::~TSelDateDlg() {
    if (SelDateDlg == this)
        SelDateDlg = nullptr;
}

bool TSelDateDlg::eventFilter(QObject* watched, QEvent* event) {
    // Seen before the date edit checks its text on the way out.
    if (watched == DateEdit && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
        m_refusedOnExit = !holdsValidDate(*DateEdit);
    // The person coming back to the edit (not the edit taking the focus back after a refusal)
    // starts afresh.
    if (watched == DateEdit && event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::OtherFocusReason &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
        m_refusedOnExit = false;
    return ui::Form::eventFilter(watched, event);
}

void TSelDateDlg::OKBtnClick() {
    if (m_refusedOnExit) {
        // The edit has already beeped and put the last valid date back.
        m_refusedOnExit = false;
        setModalResult(ui::mrNone);
        DateEdit->setFocus();
        return;
    }
    if (!holdsValidDate(*DateEdit)) {
        DateEdit->value(); // beeps, puts the last valid date back and takes the focus
        setModalResult(ui::mrNone);
    }
}

bool SelectDate(QObject* owner, QDate& date) {
    auto* dialog = new TSelDateDlg(owner);
    SelDateDlg = dialog;
    dialog->DateEdit->setValue(date);
    if (dialog->showModal() != ui::mrOk)
        return false;
    date = dialog->DateEdit->value();
    return true;
}
