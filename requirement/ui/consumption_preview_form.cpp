#include "requirement/ui/consumption_preview_form.h"

#include "platform/base/float_text.h"
#include "platform/ui/button.h"
#include "platform/ui/label.h"
#include "requirement/not_issued_reason.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem* cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString number(double value) {
    return base::formatFloatGeneral(value);
}

} // namespace

TConsumptionPreviewForm::TConsumptionPreviewForm(QObject* owner,
                                                 const requirement::ConsumptionPlan& plan)
    : ui::Form(owner) {
    setName(QStringLiteral("ConsumptionPreviewForm"));
    setCaption(QStringLiteral("Previzualizare consum"));
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(640, 360);

    PlanLbl = new ui::Label(
        plan.lines.isEmpty()
            ? QStringLiteral("Bonul de consum nu ar avea linii: niciun material nu ar fi luat din "
                             "stoc. Nu s-a scris nimic.")
            : QStringLiteral("Bonul de consum ar lua din stoc (nu s-a scris nimic):"),
        this);
    PlanLbl->setObjectName(QStringLiteral("PlanLbl"));

    PlanGrid = new QTableWidget(int(plan.lines.size()), 8, this);
    PlanGrid->setObjectName(QStringLiteral("PlanGrid"));
    PlanGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Nr."), QStringLiteral("Grupa"), QStringLiteral("Cod materie prima"),
         QStringLiteral("Gestiune"), QStringLiteral("Lot"), QStringLiteral("Preț achiziție"),
         QStringLiteral("Cantitate"), QStringLiteral("Rămâne în stoc")});
    PlanGrid->verticalHeader()->hide();
    PlanGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PlanGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < plan.lines.size(); ++r) {
        const requirement::PlannedLine& l = plan.lines[r];
        PlanGrid->setItem(r, 0, cell(QString::number(l.number), true));
        PlanGrid->setItem(r, 1, cell(l.group.toString()));
        PlanGrid->setItem(r, 2, cell(l.code));
        PlanGrid->setItem(r, 3, cell(l.warehouse.toString()));
        PlanGrid->setItem(r, 4, cell(l.lot.toString()));
        PlanGrid->setItem(r, 5,
                          cell(l.price.isNull() ? QString() : number(l.price.toDouble()), true));
        PlanGrid->setItem(r, 6, cell(number(l.quantity), true));
        PlanGrid->setItem(
            r, 7,
            cell(l.stockDeleted ? QStringLiteral("0 (se șterge)") : number(l.stockLeft), true));
    }
    PlanGrid->resizeColumnsToContents();

    QStringList missing;
    for (const requirement::NotIssued& n : plan.notIssued)
        missing << requirement::notIssuedLine(n, number(n.quantity));
    NotIssuedLbl = new ui::Label(QStringLiteral("Cantități care nu ar fi scoase din stoc:\n") +
                                     missing.join(QLatin1Char('\n')),
                                 this);
    NotIssuedLbl->setObjectName(QStringLiteral("NotIssuedLbl"));
    NotIssuedLbl->setWordWrap(true);
    NotIssuedLbl->setVisible(!missing.isEmpty());

    CloseBtn = new ui::Button(QStringLiteral("&Închide"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setModalResult(ui::mrCancel);
    CloseBtn->setCancel(true);
    CloseBtn->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    auto* main = new QVBoxLayout(this);
    main->addWidget(PlanLbl);
    main->addWidget(PlanGrid, 1);
    main->addWidget(NotIssuedLbl);
    main->addLayout(buttons);

    created();
}
