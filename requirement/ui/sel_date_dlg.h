#pragma once
// The date dialog "Selectie" that asks for the date of a consumption document: a framed date
// edit under the label "&Specificati data:", OK and "Renunta". OK takes the date only when the
// text is a valid date; otherwise it beeps, puts the last valid date back and the dialog stays
// open, so that a mistyped date is never taken for another one.
#include "platform/ui/form.h"

#include <QDate>

namespace ui {
class Bevel;
class Button;
class Label;
} // namespace ui
class TDateEdit;

class TSelDateDlg : public ui::Form {
public:
    explicit TSelDateDlg(QObject* owner);
    ~TSelDateDlg() override;

    ui::Bevel* Bevel1;
    ui::Label* Label1;
    TDateEdit* DateEdit;
    ui::Button* OKBtn;
    ui::Button* CancelBtn;

    void OKBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The date edit refused its text when the focus left it (a click on OK takes the focus
    // first): OK must not then close with the date it put back.
    bool m_refusedOnExit = false;
};

// Shows a new date dialog owned by owner (kept in SelDateDlg until its owner goes) with the
// date proposed; true with the chosen date in date when it closes with OK, false with date
// unchanged otherwise.
bool SelectDate(QObject* owner, QDate& date);
