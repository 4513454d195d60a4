#include "host/stock_form.h"

#include "host/company_environment.h"
#include "host/record_grid.h"
#include "host/record_table_model.h"

#include <QLabel>

namespace host {

using db::FieldType;

StockForm::StockForm(QWidget* mainWindow) : HostForm(mainWindow) {
    setName(QStringLiteral("StocForm"));
    setCaption(QStringLiteral("Stoc"));

    placeCatalog(m_catalog);

    placeTable(m_stock, "Stoc.DB");
    addColumn(m_stock, "Cod_gestiune", FieldType::Text, 4, "Gestiune", 6);
    addColumn(m_stock, "Cod_grupa", FieldType::Text, 8, "Grupa", 6);
    addColumn(m_stock, "Cod_articol", FieldType::Text, 30, "Cod articol", 16);
    showAs(m_stock.addLookupField(QStringLiteral("Denumire"), 255, &m_catalog,
                                  QStringLiteral("Cod_grupa;Cod_articol"),
                                  QStringLiteral("Grupa;Cod"), QStringLiteral("Denumire")),
           "Denumire", 30);
    addColumn(m_stock, "Lot", FieldType::Text, 30, "Lot", 9);
    addColumn(m_stock, "Cantitate", FieldType::Float, 0, "Cantitate", 9);
    addColumn(m_stock, "Pret_achizitie", FieldType::Float, 0, "Preț achiziție", 10);
    showAs(m_stock.addCalculatedField(QStringLiteral("Valoare"), FieldType::Float), "Valoare (lei)",
           11);
    m_stock.onCalcFields = [](db::DataSet& d) {
        d.fieldByName(QStringLiteral("Valoare"))
            ->setAsFloat(d.fieldByName(QStringLiteral("Cantitate"))->asFloat() *
                         d.fieldByName(QStringLiteral("Pret_achizitie"))->asFloat());
    };

    m_totalQuery.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    m_totalQuery.setSqlText(QStringLiteral(
        "SELECT COUNT(*) AS Inregistrari, SUM(Cantitate * Pret_achizitie) AS Valoare "
        "FROM Stoc"));

    m_grid = new RecordGrid(&m_stockSource, this);
    m_grid->setObjectName(QStringLiteral("StocGrid"));
    m_grid->setStretchField(QStringLiteral("Denumire"));
    for (const char* money : {"Pret_achizitie", "Valoare"})
        m_grid->recordModel()->setDecimals(QString::fromLatin1(money), 2);
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("StocTotal"));
    layOutSingle(m_grid, m_total);

    setFormStyle(ui::FormStyle::MdiChild);
    fitInto(900, 520);
    m_catalog.open();
    m_stock.open();
    showTotal();
    created();
}

StockForm::~StockForm() {
    m_stock.close();
    m_catalog.close();
}

void StockForm::refreshData() {
    m_stock.refresh();
    showTotal();
}

void StockForm::showTotal() {
    m_totalQuery.close();
    m_totalQuery.open();
    const int records = m_totalQuery.field(0)->asInteger();
    const double value = m_totalQuery.field(1)->asFloat();
    m_totalQuery.close();
    m_total->setText(QStringLiteral("%1 înregistrări de stoc, valoare totală %2 lei")
                         .arg(formatFixed(records, 0))
                         .arg(formatFixed(value, 2)));
}

} // namespace host
