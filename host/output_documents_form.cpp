#include "host/output_documents_form.h"

#include "host/record_grid.h"
#include "host/record_table_model.h"

namespace host {

using db::FieldType;

OutputDocumentsForm::OutputDocumentsForm(QWidget* mainWindow) : HostForm(mainWindow) {
    setName(QStringLiteral("DocOutForm"));
    setCaption(QStringLiteral("Documente de ieșire"));

    placeCatalog(m_catalog);

    placeTable(m_documents, "Doc_out.DB");
    addDocumentHeaderColumns(m_documents, "Client");
    addColumn(m_documents, "Data_scadenta", FieldType::Date, 0, "Scadența", 10);
    addColumn(m_documents, "Agent", FieldType::Text, 3, "Agent", 5);
    addColumn(m_documents, "Explicatie", FieldType::Text, 255, "Explicație", 30);

    placeTable(m_lines, "Item_out.DB");
    addDocumentLineColumns(m_lines, m_documentsSource, m_catalog);
    addColumn(m_lines, "Pret_achizitie", FieldType::Float, 0, "Preț achiziție", 10);
    addColumn(m_lines, "Pret_vinzare", FieldType::Float, 0, "Preț vânzare", 10);
    showAs(m_lines.addCalculatedField(QStringLiteral("Valoare"), FieldType::Float),
           "Valoare achiziție", 12);
    m_lines.onCalcFields = [](db::DataSet& d) {
        d.fieldByName(QStringLiteral("Valoare"))
            ->setAsFloat(d.fieldByName(QStringLiteral("Cantitate"))->asFloat() *
                         d.fieldByName(QStringLiteral("Pret_achizitie"))->asFloat());
    };

    m_documentsGrid = new RecordGrid(&m_documentsSource, this);
    m_documentsGrid->setObjectName(QStringLiteral("DocOutGrid"));
    m_linesGrid = new RecordGrid(&m_linesSource, this);
    m_linesGrid->setObjectName(QStringLiteral("ItemOutGrid"));
    m_linesGrid->setStretchField(QStringLiteral("Denumire"));
    for (const char* money : {"Pret_achizitie", "Pret_vinzare", "Valoare"})
        m_linesGrid->recordModel()->setDecimals(QString::fromLatin1(money), 2);
    layOutMasterDetail(QStringLiteral("Documente"), m_documentsGrid,
                       QStringLiteral("Liniile documentului selectat"), m_linesGrid, 40);

    setFormStyle(ui::FormStyle::MdiChild);
    fitInto(1060, 580);
    m_catalog.open();
    m_documents.open();
    m_lines.open();
    created();
}

OutputDocumentsForm::~OutputDocumentsForm() {
    m_lines.close();
    m_documents.close();
    m_catalog.close();
}

void OutputDocumentsForm::refreshData() {
    m_documents.refresh();
    m_lines.refresh();
}

} // namespace host
