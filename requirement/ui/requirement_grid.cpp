#include "requirement/ui/requirement_grid.h"

#include "controls/column.h"
#include "controls/db_grid_normal.h"

void setUpRequirementGrid(TDBGridNormal& grid) {
    grid.setOptions(dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator | dgColLines |
                    dgRowLines | dgTabs);
    grid.setNoEditSelection(true);
    TDBGridColumns& columns = grid.columns();
    columns.add(QStringLiteral("Denumire"), QStringLiteral("Denumire materie prima"), 500)
        ->setButtonStyle(TColumnButtonStyle::cbsNone);
    // Codes are short in practice: a column fitted to its title leaves room for the stock.
    columns.add(QStringLiteral("Cod_MatPrim"), QStringLiteral("Cod materie prima"), 120);
    columns.add(QStringLiteral("Cod_grupa"));
    columns.add(QStringLiteral("Cant"), QStringLiteral("Cantitate"));
    const QColor buttonFace = grid.palette().color(QPalette::Button);
    // The recipe's figure beside the quantity, so that a corrected line shows what it replaced.
    columns.add(QStringLiteral("CantReteta"), QStringLiteral("Cant. rețetă"))->setColor(buttonFace);
    columns.add(QStringLiteral("StocExist"), QStringLiteral("Stoc existent"))->setColor(buttonFace);
    columns.add(QStringLiteral("StocFin"), QStringLiteral("Stoc final"))->setColor(buttonFace);
}
