#pragma once
// The production settings dialog "Configurarile modulului de productie": one box per
// production character and a switch for the descent through semi-finished products. It loads
// the values when it opens; OK takes every box that is not empty and the switch and saves them;
// cancelling writes nothing. It frees itself when it closes.
#include "platform/ui/form.h"

namespace ui {
class Bevel;
class Button;
class CheckBox;
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
    // The switch SemiPrinReteta: the requirement descends through semi-finished products.
    ui::CheckBox* SemiRetetaChk;
    ui::Button* CancelBtn;
    ui::Button* OKBtn;

    void FormCreate();
    void OKBtnClick();
    void FormClose(ui::CloseAction& action);
};

// The command "&Configurare productie": shows the dialog modally, owned by owner.
void showProductionSettingsDialog(QObject* owner);
