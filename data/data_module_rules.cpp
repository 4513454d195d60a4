// The rules of the production data module: catalog and stock filters, the checks on recipe and
// requirement lines, and the requirement table's calculated stock figures.
#include "data/qdm_data_module.h"

#include "platform/base/errors.h"
#include "settings/production_settings.h"

#include <cmath>

namespace {

const QString kIncomplete = QStringLiteral("Completati toate datele articolului!");

bool isRawOrSemi(const QString& code) {
    return beginsWithSettingsChar(code, IndCod) || beginsWithSettingsChar(code, IndSemi);
}

} // namespace

void TQDMDataModule::CatalogTableFilterRecord(db::DataSet& d, bool& accept) {
    accept = !beginsWithSettingsChar(d.fieldByName(QStringLiteral("Cod"))->asString(), IndCod);
}

void TQDMDataModule::CatalogTable1FilterRecord(db::DataSet& d, bool& accept) {
    accept = isRawOrSemi(d.fieldByName(QStringLiteral("Cod"))->asString());
}

void TQDMDataModule::CatalogTable2FilterRecord(db::DataSet& d, bool& accept) {
    accept = isRawOrSemi(d.fieldByName(QStringLiteral("Cod"))->asString());
}

void TQDMDataModule::StocTableFilterRecord(db::DataSet& d, bool& accept) {
    const QString article = d.fieldByName(QStringLiteral("Cod_articol"))->asString();
    accept = (beginsWithSettingsChar(d.fieldByName(QStringLiteral("Cod_gestiune"))->asString(),
                                     IndGest) &&
              beginsWithSettingsChar(article, IndCod)) ||
             beginsWithSettingsChar(article, IndSemi);
}

void TQDMDataModule::RetetaTableBeforePost(db::DataSet&) {
    if (RetetaTableCod_MatPrim->isNull() || RetetaTableCant_MatPrim->isNull() ||
        RetetaTableCod_Grupa->isNull()) {
        if (showWarning)
            showWarning(kIncomplete);
        base::abortSilently();
    }
}

void TQDMDataModule::RetetaTableCod_MatPrimValidate(db::Field& field) {
    const QString code = field.asString();
    const QString group = RetetaTableCod_Grupa->asString();
    if (code.isEmpty() || group.isEmpty())
        return;
    if (isRawOrSemi(code) && CatalogTable2.findKey({group, code}))
        return;
    if (showWarning)
        showWarning(
            QStringLiteral(
                "Articolul <%1  %2>  nu este de tip materie prima ! Apasati CTRL-ENTER pentru a "
                "selecta din catalog!!")
                .arg(group, code));
    base::abortSilently();
}

void TQDMDataModule::TempTableBeforePost(db::DataSet&) {
    if (TempTableCod_MatPrim->isNull() || TempTableCant->isNull()) {
        if (showWarning)
            showWarning(kIncomplete);
        base::abortSilently();
    }
}

void TQDMDataModule::TempTableCod_MatPrimValidate(db::Field& field) {
    const QString code = field.asString();
    const QString group = TempTableCod_grupa->asString();
    if (code.isEmpty() || group.isEmpty())
        return;
    if (isRawOrSemi(code) && CatalogTable1.findKey({group, code}))
        return;
    if (showWarning)
        showWarning(QStringLiteral(
                        "Articolul <%1> nu este de tip materie prima ! Apasati CTRL-ENTER pentru a "
                        "selecta din stocul existent!!")
                        .arg(code));
    base::abortSilently();
}

void TQDMDataModule::TempTableCalcFields(db::DataSet&) {
    // Stock on hand: every stock record of the line's group and code, in every warehouse,
    // matched exactly. The total comes from the stock table's (group, article) index, since
    // the grid asks for it on every repaint.
    if (!StocTable.isActive())
        StocTable.open();
    const double onHand =
        StocTable.sum(QStringLiteral("Cantitate"), QStringLiteral("Cod_Grupa;Cod_articol"),
                      {TempTableCod_grupa->value(), TempTableCod_MatPrim->value()});
    TempTableStocExist->setAsFloat(onHand);
    // Hundredths, halves to the even neighbour (the default rounding mode of nearbyint).
    const double required = TempTableCant->asFloat();
    TempTableStocFin->setAsFloat(std::nearbyint((onHand - required) * 100) / 100);
    const auto recipe = TempRecipeQuantities.constFind(
        TempTableCod_grupa->asString() + QLatin1Char('\n') + TempTableCod_MatPrim->asString());
    if (recipe != TempRecipeQuantities.constEnd())
        TempTableCantReteta->setAsFloat(*recipe);
    else
        TempTableCantReteta->clear();
}
