#pragma once
// The production settings dialog "Configurarile modulului de productie": one box per
// production character. It loads the characters when it opens; OK takes every box that is not
// empty and saves all three; cancelling writes nothing. It frees itself when it closes.
#include "platform/ui/form.h"

namespace ui {
class Bevel;
class Button;
class Edit;
class Label;
} // namespace ui

class TQDMIndicatorForm : public ui::Form {
public:
    explicit TQDMIndicatorForm(QObject* owner);

    ui::Bevel* Bevel1;
    ui::Label* Label1;
    ui::Label* Label2;
    ui::Label* Label3;
    ui::Edit* EditIndicGest;
    ui::Edit* EditIndicMat;
    ui::Edit* EditIndicSemi;
    ui::Button* CancelBtn;
    ui::Button* OKBtn;

    void FormCreate();
    void OKBtnClick();
    void FormClose(ui::CloseAction& action);
};

// The command "&Configurare productie": shows the dialog modally, owned by owner.
void showProductionSettingsDialog(QObject* owner);
