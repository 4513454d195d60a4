#include "host/receipts_form.h"

#include "host/company_environment.h"
#include "host/receipt_commands.h"
#include "host/record_grid.h"
#include "platform/db/database.h"

namespace host {

using db::FieldType;

ReceiptsForm::ReceiptsForm(QWidget* mainWindow) : HostForm(mainWindow) {
    setName(QStringLiteral("DocInForm"));
    setCaption(QStringLiteral("Documente de intrare"));

    placeCatalog(m_catalog);

    placeTable(m_documents, "Doc_in.DB");
    addDocumentHeaderColumns(m_documents, "Furnizor");
    showAs(m_documents.addCalculatedField(QStringLiteral("Total"), FieldType::Float), "Total (lei)",
           12);
    addColumn(m_documents, "Explicatie", FieldType::Text, 255, "Explicație", 30);
    showAs(m_documents.addCalculatedField(QStringLiteral("Consum"), FieldType::Text, 40),
           "Bon consum", 10);
    m_documents.onCalcFields = [this](db::DataSet& d) { DocumentsCalcFields(d); };

    placeTable(m_lines, "Item_in.DB");
    addDocumentLineColumns(m_lines, m_documentsSource, m_catalog);
    addColumn(m_lines, "Pret_achizitie_lei", FieldType::Float, 0, "Preț (lei)", 9);
    showAs(m_lines.addCalculatedField(QStringLiteral("Valoare"), FieldType::Float), "Valoare (lei)",
           11);
    addColumn(m_lines, "TVA", FieldType::Float, 0, "TVA (lei)", 9);
    m_lines.onCalcFields = [this](db::DataSet& d) { LinesCalcFields(d); };

    m_totalQuery.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    m_totalQuery.setSqlText(
        QStringLiteral("SELECT SUM(Cantitate * Pret_achizitie_lei) AS Total FROM Item_in "
                       "WHERE Contor = :Contor"));
    m_totalQuery.paramByName(QStringLiteral("Contor")).setDataType(FieldType::Float);
    m_consumptionQuery.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    m_consumptionQuery.setSqlText(
        QStringLiteral("SELECT Contor_iesire FROM \"Consum.DB\" WHERE Contor_intrare = :Contor "
                       "ORDER BY Contor_iesire"));
    m_consumptionQuery.paramByName(QStringLiteral("Contor")).setDataType(FieldType::Float);

    m_documentsGrid = new RecordGrid(&m_documentsSource, this);
    m_documentsGrid->setObjectName(QStringLiteral("DocInGrid"));
    m_documentsGrid->setDecimals(QStringLiteral("Total"), 2);
    m_linesGrid = new RecordGrid(&m_linesSource, this);
    m_linesGrid->setObjectName(QStringLiteral("ItemInGrid"));
    m_linesGrid->setStretchField(QStringLiteral("Denumire"));
    for (const char* money : {"Pret_achizitie_lei", "Valoare", "TVA"})
        m_linesGrid->setDecimals(QString::fromLatin1(money), 2);
    layOutMasterDetail(QStringLiteral("Documente"), m_documentsGrid,
                       QStringLiteral("Liniile documentului selectat"), m_linesGrid, 40);
    m_commands = new ReceiptCommands(this);

    setFormStyle(ui::FormStyle::MdiChild);
    fitInto(1060, 620);
    m_catalog.open();
    m_hasConsumptionRegister = m_documents.database().tableExists(QStringLiteral("Consum.DB"));
    m_documents.open();
    m_lines.open();
    created();
}

ReceiptsForm::~ReceiptsForm() {
    if (onDestroy)
        onDestroy();
    // The details go before their master, the lookup table last.
    m_lines.close();
    m_documents.close();
    m_catalog.close();
}

void ReceiptsForm::refreshData() {
    m_hasConsumptionRegister = m_documents.database().tableExists(QStringLiteral("Consum.DB"));
    m_documents.refresh();
    // The master stays on its record, so the lines would not be read again on their own.
    m_lines.refresh();
}

void ReceiptsForm::DocumentsCalcFields(db::DataSet& dataSet) {
    if (dataSet.state() != db::DataSetState::CalcFields) {
        if (onDataWritten)
            onDataWritten();
        return;
    }
    m_totalQuery.close();
    m_totalQuery.paramByName(QStringLiteral("Contor"))
        .setAsFloat(dataSet.fieldByName(QStringLiteral("Contor"))->asFloat());
    m_totalQuery.open();
    const double total = m_totalQuery.field(0)->asFloat();
    m_totalQuery.close();
    dataSet.fieldByName(QStringLiteral("Total"))->setAsFloat(total);
    dataSet.fieldByName(QStringLiteral("Consum"))
        ->setAsString(consumptionOf(dataSet.fieldByName(QStringLiteral("Contor"))->asFloat()));
}

QString ReceiptsForm::consumptionOf(double receipt) {
    if (!m_hasConsumptionRegister)
        return QString();
    m_consumptionQuery.close();
    m_consumptionQuery.paramByName(QStringLiteral("Contor")).setAsFloat(receipt);
    m_consumptionQuery.open();
    QStringList documents;
    for (; !m_consumptionQuery.eof(); m_consumptionQuery.next())
        documents << m_consumptionQuery.field(0)->asString();
    m_consumptionQuery.close();
    return documents.join(QStringLiteral(", "));
}

void ReceiptsForm::LinesCalcFields(db::DataSet& dataSet) {
    dataSet.fieldByName(QStringLiteral("Valoare"))
        ->setAsFloat(dataSet.fieldByName(QStringLiteral("Cantitate"))->asFloat() *
                     dataSet.fieldByName(QStringLiteral("Pret_achizitie_lei"))->asFloat());
}

} // namespace host
