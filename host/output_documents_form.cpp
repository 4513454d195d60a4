#include "host/output_documents_form.h"

#include "host/company_environment.h"
#include "host/record_grid.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/field.h"
#include "platform/db/session.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/message_box.h"
#include "printing/company_name.h"
#include "printing/consumption_voucher.h"
#include "printing/print_job.h"
#include "printing/voucher_report.h"
#include "requirement/consumption_reversal.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace host {

using db::FieldType;

namespace {

// The voucher of the selected output document, or nothing after telling why there is none.
std::optional<printing::TableReport> selectedVoucher(db::Table& documents, double& counter) {
    if (!documents.isActive() || documents.recordCount() == 0) {
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("Nu este selectat niciun document de ieșire."));
        return std::nullopt;
    }
    counter = documents.fieldByName(QStringLiteral("Contor"))->asFloat();
    try {
        ui::CursorGuard hourglass;
        db::Session& session = db::Session::instance();
        const QString alias = QString::fromLatin1(kCompanyAlias);
        return printing::voucherReport(printing::readConsumptionVoucher(session, alias, counter),
                                       printing::companyName(session.aliasDirectory(alias)));
    } catch (const base::Error& e) {
        ui::messageBox(ui::MessageKind::Error, e.message());
        return std::nullopt;
    }
}

} // namespace

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
        m_linesGrid->setDecimals(QString::fromLatin1(money), 2);
    layOutMasterDetail(QStringLiteral("Documente"), m_documentsGrid,
                       QStringLiteral("Liniile documentului selectat"), m_linesGrid, 40);

    m_printButton = new QPushButton(QStringLiteral("Tipărire…"), this);
    m_printButton->setObjectName(QStringLiteral("PrintButton"));
    m_printButton->setToolTip(QStringLiteral("Tipărește bonul de consum selectat (Ctrl+P)"));
    m_pdfButton = new QPushButton(QStringLiteral("Salvare PDF…"), this);
    m_pdfButton->setObjectName(QStringLiteral("PdfButton"));
    connect(m_printButton, &QPushButton::clicked, this, [this] { printSelected(); });
    connect(m_pdfButton, &QPushButton::clicked, this, [this] { saveSelectedPdf(); });
    m_reverseButton = new QPushButton(QStringLiteral("Stornare…"), this);
    m_reverseButton->setObjectName(QStringLiteral("ReverseButton"));
    m_reverseButton->setToolTip(
        QStringLiteral("Stornează bonul de consum selectat: un document BMC cu cantitățile cu "
                       "semn schimbat, iar stocul revine cum era"));
    connect(m_reverseButton, &QPushButton::clicked, this, [this] { reverseSelected(); });
    auto* printKey = new QAction(this);
    printKey->setShortcut(QKeySequence::Print);
    printKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(printKey, &QAction::triggered, this, [this] { printSelected(); });
    addAction(printKey);
    auto* commands = new QHBoxLayout;
    commands->addWidget(m_printButton);
    commands->addWidget(m_pdfButton);
    commands->addWidget(m_reverseButton);
    commands->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->insertLayout(0, commands);

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

void OutputDocumentsForm::printSelected() {
    double counter = 0;
    if (const auto report = selectedVoucher(m_documents, counter))
        printing::printWithDialog(*report);
}

void OutputDocumentsForm::saveSelectedPdf() {
    double counter = 0;
    if (const auto report = selectedVoucher(m_documents, counter))
        printing::saveAsPdf(
            *report,
            QDir::home().absoluteFilePath(
                QStringLiteral("bon-consum-%1.pdf").arg(base::formatFloatGeneral(counter))));
}

void OutputDocumentsForm::reverseSelected() {
    if (!m_documents.isActive() || m_documents.recordCount() == 0) {
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("Nu este selectat niciun document de ieșire."));
        return;
    }
    const double counter = m_documents.fieldByName(QStringLiteral("Contor"))->asFloat();
    const QString counterText = base::formatFloatGeneral(counter);
    // Dated today, or with the document itself when that is dated later (a consumption posted
    // ahead, at the month's end): a reversal never comes before what it gives back.
    const QDate documentDate = m_documents.fieldByName(QStringLiteral("Data"))->asDate();
    const QDate date = documentDate.isValid() && documentDate > QDate::currentDate()
                           ? documentDate
                           : QDate::currentDate();
    if (ui::messageBox(ui::MessageKind::Confirmation,
                       QStringLiteral("Stornați bonul de consum cu contorul %1?\nSe scrie un "
                                      "document BMC din %2 cu aceleași linii cu cantitățile cu "
                                      "semn schimbat, iar materialele revin în stoc.")
                           .arg(counterText, base::dateToText(date)),
                       ui::MessageButton::Yes | ui::MessageButton::No,
                       ui::MessageButton::No) != ui::mrYes)
        return;
    requirement::ReversalResult result;
    try {
        ui::CursorGuard hourglass;
        m_lines.checkBrowseMode();
        m_documents.checkBrowseMode();
        result = requirement::reverseConsumption(m_documents.database(), counter, date);
    } catch (const requirement::ReversalRefused& e) {
        ui::messageBox(ui::MessageKind::Warning, e.message());
        return;
    } catch (const base::DatabaseError& e) {
        refreshData();
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de baza de date survenita in stornarea "
                                      "documentului!\r%1")
                           .arg(e.message()));
        return;
    }
    refreshData();
    m_documents.findKey({result.counter});
    ui::messageBox(ui::MessageKind::Information,
                   QStringLiteral("OK. Bonul de consum cu contorul %1 a fost stornat prin "
                                  "documentul cu contorul %2.")
                       .arg(counterText, base::formatFloatGeneral(result.counter)));
}

void OutputDocumentsForm::refreshData() {
    m_documents.refresh();
    m_lines.refresh();
}

} // namespace host
