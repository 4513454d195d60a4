#include "settings/form/qdm_indicator_form.h"

#include "common/module_values.h"
#include "platform/base/cp1250.h"
#include "platform/ui/bevel.h"
#include "platform/ui/button.h"
#include "platform/ui/check_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/message_box.h"
#include "settings/production_settings.h"
#include "settings/production_settings_file.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QString textOf(char c) {
    return base::cp1250::decode(QByteArray(1, c));
}

} // namespace

TQDMIndicatorForm::TQDMIndicatorForm(QObject* owner) : ui::Form(owner) {
    setName(QStringLiteral("QDMIndicatorForm"));
    setCaption(QStringLiteral("Configurarile modulului de productie"));
    setBorderStyle(ui::BorderStyle::Dialog);
    setPosition(ui::FormPosition::ScreenCenter);
    // A fourth row, the switch, below the three characters.
    setClientSize(388, 216);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    setPalette(pal);
    setAutoFillBackground(true);

    Bevel1 = new ui::Bevel(this);
    Bevel1->setShape(ui::Bevel::Shape::Box);
    auto* rows = new QGridLayout(Bevel1);
    rows->setColumnStretch(0, 1);
    auto row = [&](ui::Label*& label, ui::Edit*& edit, const char* labelName, const char* editName,
                   const QString& caption, int r) {
        edit = new ui::Edit(Bevel1);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setMaxLength(1);
        edit->setFixedWidth(28);
        edit->setAlignment(Qt::AlignCenter);
        label = new ui::Label(caption, Bevel1);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setWordWrap(true);
        label->setFontColor(Qt::white);
        label->setFocusControl(edit);
        rows->addWidget(label, r, 0);
        rows->addWidget(edit, r, 1, Qt::AlignVCenter);
    };
    row(Label1, EditIndicGest, "Label1", "EditIndicGest",
        QStringLiteral("Indicati caracterul cu care trebuie sa înceapa codurile de gestiuni de "
                       "materii prime si "
                       "materiale:"),
        0);
    row(Label2, EditIndicMat, "Label2", "EditIndicMat",
        QStringLiteral(
            "Specificati caracterul cu care trebuie sa înceapa toate codurile de materii prime si "
            "materiale din catalogul de produse:"),
        1);
    row(Label3, EditIndicSemi, "Label3", "EditIndicSemi",
        QStringLiteral("Specificati caracterul cu care trebuie sa înceapa toate codurile de "
                       "produse semifabricate "
                       "din catalogul de produse:"),
        2);
    SemiRetetaChk = new ui::CheckBox(
        QStringLiteral("Necesarul tehnic descompune semifabricatele care au rețetă proprie, până "
                       "la materii prime"),
        Bevel1);
    SemiRetetaChk->setObjectName(QStringLiteral("SemiRetetaChk"));
    QPalette white = SemiRetetaChk->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    SemiRetetaChk->setPalette(white);
    rows->addWidget(SemiRetetaChk, 3, 0, 1, 2);

    CancelBtn = new ui::Button(QStringLiteral("&Renunta"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setModalResult(ui::mrCancel);
    CancelBtn->setCancel(true);
    OKBtn = new ui::Button(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    // The result is set by the handler, after the values were saved.
    OKBtn->onClick = [this] { OKBtnClick(); };

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->addWidget(Bevel1, 1);
    main->addLayout(buttons);

    setTabOrder(EditIndicGest, EditIndicMat);
    setTabOrder(EditIndicMat, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, EditIndicSemi);
    setTabOrder(EditIndicSemi, SemiRetetaChk);

    onCreate = [this] { FormCreate(); };
    onClose = [this](ui::CloseAction& action) { FormClose(action); };
    created();
    EditIndicGest->setFocus();
}

void TQDMIndicatorForm::FormCreate() {
    LoadProductionSettings();
    EditIndicGest->setText(textOf(IndGest));
    EditIndicMat->setText(textOf(IndCod));
    EditIndicSemi->setText(textOf(IndSemi));
    SemiRetetaChk->setChecked(SemiPrinReteta);
}

void TQDMIndicatorForm::OKBtnClick() {
    // A character the settings file cannot hold is refused before anything changes.
    char values[3] = {IndGest, IndCod, IndSemi};
    ui::Edit* boxes[3] = {EditIndicGest, EditIndicMat, EditIndicSemi};
    for (int i = 0; i < 3; ++i) {
        const QString text = boxes[i]->text();
        if (text.isEmpty())
            continue; // an empty box keeps its character
        const int byte = base::cp1250::byteOf(text.at(0));
        if (byte <= 0) {
            ui::messageBox(
                ui::MessageKind::Warning,
                QStringLiteral("Caracterul '%1' nu poate fi folosit in coduri.").arg(text.at(0)));
            boxes[i]->setFocus();
            return;
        }
        values[i] = static_cast<char>(byte);
    }
    IndGest = values[0];
    IndCod = values[1];
    IndSemi = values[2];
    SemiPrinReteta = SemiRetetaChk->isChecked();
    if (!SaveProductionSettings())
        ui::messageBox(ui::MessageKind::Warning, noCompanyDirectoryMessage());
    setModalResult(ui::mrOk);
}

void TQDMIndicatorForm::FormClose(ui::CloseAction& action) {
    action = ui::CloseAction::Free;
    if (QDMIndicatorForm == this)
        QDMIndicatorForm = nullptr;
}

void showProductionSettingsDialog(QObject* owner) {
    QDMIndicatorForm = new TQDMIndicatorForm(owner);
    QDMIndicatorForm->showModal();
}
