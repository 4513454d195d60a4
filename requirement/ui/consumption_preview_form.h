#pragma once
// "Previzualizare consum": the allocation plan of the consumption document the requirement
// sheet would generate now, shown without writing anything: one row per document line (the
// stock record it takes from, by warehouse, lot and price, how much, and what the record keeps)
// and, below, what would not be issued and why.
#include "platform/ui/form.h"
#include "requirement/consumption_plan.h"

class QTableWidget;
namespace ui {
class Button;
class Label;
} // namespace ui

class TConsumptionPreviewForm : public ui::Form {
public:
    TConsumptionPreviewForm(QObject* owner, const requirement::ConsumptionPlan& plan);

    ui::Label* PlanLbl;
    QTableWidget* PlanGrid;
    ui::Label* NotIssuedLbl;
    ui::Button* CloseBtn;
};
