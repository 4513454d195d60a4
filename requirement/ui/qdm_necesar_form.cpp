#include "requirement/ui/qdm_necesar_form.h"

#include "catalog/select_catalog_article.h"
#include "common/module_values.h"
#include "controls/column.h"
#include "controls/db_grid_normal.h"
#include "controls/indicator_header.h"
#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/ui/button.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/db_navigator.h"
#include "platform/ui/keys.h"
#include "platform/ui/label.h"
#include "platform/ui/message_box.h"
#include "platform/ui/panel.h"
#include "platform/ui/screen.h"
#include "requirement/consumption_document.h"
#include "requirement/consumption_register.h"
#include "requirement/not_issued_reason.h"
#include "requirement/recipe_issue.h"
#include "requirement/requirement_build.h"
#include "requirement/semi_finished.h"
#include "requirement/ui/consumption_preview_form.h"
#include "requirement/ui/requirement_grid.h"
#include "requirement/ui/sel_date_dlg.h"
#include "requirement/ui/sheet_printing.h"
#include "requirement/ui/voucher_print_offer.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kCR = QStringLiteral("\r");

TQDMDataModule& dataModule() {
    if (!QDMDataModule)
        throw base::Error(QStringLiteral("The production data module does not exist."));
    return *QDMDataModule;
}

// A sheet of paper with an arrow leaving it: the picture of the generation button, drawn in
// colour for the enabled button and in grey for the disabled one.
QPixmap outputGlyph(bool enabled) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor paper = enabled ? QColor(255, 255, 255) : QColor(224, 224, 224);
    const QColor ink = enabled ? QColor(0, 0, 128) : QColor(128, 128, 128);
    const QColor arrow = enabled ? QColor(0, 128, 0) : QColor(160, 160, 160);
    p.setPen(ink);
    p.setBrush(paper);
    p.drawRect(1, 1, 9, 13);
    for (int y = 4; y <= 11; y += 2)
        p.drawLine(3, y, 8, y);
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawRect(8, 7, 4, 3);
    p.drawPolygon(QPolygon({QPoint(11, 4), QPoint(15, 8), QPoint(11, 12)}));
    return pixmap;
}

ui::Label* bandLabel(const char* name, const QString& caption, QWidget* parent, bool bold = false) {
    auto* label = new ui::Label(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFontColor(Qt::white);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

TQDMNecesarForm::TQDMNecesarForm(QObject* owner) : ui::Form(owner), m_dm(dataModule()) {
    setName(QStringLiteral("QDMNecesarForm"));
    setCaption(QStringLiteral("Fisa Necesar Tehnic"));
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(581, 424);

    Panel2 = new ui::Panel(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setColor(palette().color(QPalette::Highlight));
    NecTehLbl = bandLabel("NecTehLbl", QStringLiteral("Fisa de necesar tehnic "), Panel2);
    Label1 = bandLabel("Label1", QStringLiteral("la documentul nr."), Panel2);
    NrDocLbl = bandLabel("NrDocLbl", QString(), Panel2, true);
    Label2 = bandLabel("Label2", QStringLiteral("din data de "), Panel2);
    DataDocLbl = bandLabel("DataDocLbl", QString(), Panel2, true);
    OmittedLbl = bandLabel("OmittedLbl", QString(), Panel2);
    OmittedLbl->setWordWrap(true);
    OmittedLbl->hide();

    NecesarNavigator = new ui::DBNavigator(Panel2);
    NecesarNavigator->setObjectName(QStringLiteral("NecesarNavigator"));
    NecesarNavigator->setDataSource(&m_dm.TempSource);
    NecesarNavigator->setHints({QStringLiteral("Primul"), QStringLiteral("Anterior"),
                                QStringLiteral("Urmator"), QStringLiteral("Ultimul"),
                                QStringLiteral("Adaugare"), QStringLiteral("Stergere"),
                                QStringLiteral("Editare"), QStringLiteral("Salvare"),
                                QStringLiteral("Anulare"), QStringLiteral("Refresh")});

    GenDocOutBTN = new ui::Button(QStringLiteral("Genereaza document iesire "), Panel2);
    GenDocOutBTN->setObjectName(QStringLiteral("GenDocOutBTN"));
    QIcon glyph(outputGlyph(true));
    glyph.addPixmap(outputGlyph(false), QIcon::Disabled);
    GenDocOutBTN->setIcon(glyph);
    GenDocOutBTN->setAutoDefault(false);
    GenDocOutBTN->setEnabled(false);
    GenDocOutBTN->onClick = [this] { GenDocOutBTNClick(); };
    PreviewBTN = new ui::Button(QStringLiteral("Pre&vizualizare consum"), Panel2);
    PreviewBTN->setObjectName(QStringLiteral("PreviewBTN"));
    PreviewBTN->setToolTip(QStringLiteral("Ce ar lua bonul de consum din stoc (Ctrl+L)"));
    PreviewBTN->setAutoDefault(false);
    PreviewBTN->onClick = [this] { PreviewBTNClick(); };
    PrintBTN = new ui::Button(QStringLiteral("&Tipărire…"), Panel2);
    PrintBTN->setObjectName(QStringLiteral("PrintBTN"));
    PrintBTN->setAutoDefault(false);
    PrintBTN->onClick = [this] { requirement::printRequirementSheet(m_dm); };
    BitBtn2 = new ui::Button(QStringLiteral("&Renunta"), Panel2);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setModalResult(ui::mrCancel);
    BitBtn2->setCancel(true);
    BitBtn2->setAutoDefault(false);

    auto* title = new QHBoxLayout;
    title->addWidget(NecTehLbl);
    title->addStretch(1);
    auto* document = new QHBoxLayout;
    document->setSpacing(4);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(NrDocLbl),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(DataDocLbl)})
        document->addWidget(w);
    document->addStretch(1);
    auto* commands = new QHBoxLayout;
    commands->setSpacing(4);
    commands->addWidget(NecesarNavigator);
    commands->addWidget(GenDocOutBTN);
    commands->addWidget(PreviewBTN);
    commands->addWidget(PrintBTN);
    commands->addWidget(BitBtn2);
    commands->addStretch(1);
    auto* band = new QVBoxLayout(Panel2);
    band->setContentsMargins(6, 4, 6, 6);
    band->setSpacing(2);
    band->addLayout(title);
    band->addLayout(document);
    band->addWidget(OmittedLbl);
    band->addStretch(1);
    band->addLayout(commands);
    Panel2->setMinimumHeight(81);

    Panel1 = new ui::Panel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    NecesarGrid = new TDBGridNormal(Panel1);
    NecesarGrid->setObjectName(QStringLiteral("NecesarGrid"));
    setUpRequirementGrid(*NecesarGrid);
    NecesarGrid->setDataSource(&m_dm.TempSource);
    NecesarGrid->onKeyPress = [this](char16_t& key) { NecesarGridKeyPress(key); };
    NecesarGrid->onDblClick = [this] { NecesarGridDblClick(); };
    NecesarGrid->onDrawColumnCell = [this](TNormalCustomDBGrid& sender, const QRect& rect,
                                           int dataCol, TColumn& column, TGridDrawState state) {
        NecesarGridDrawColumnCell(sender, rect, dataCol, column, state);
    };
    auto* client = new QVBoxLayout(Panel1);
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(NecesarGrid);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(Panel2);
    main->addWidget(Panel1, 1);

    m_dm.TempSourceStateChange = ::TempSourceStateChange;
    m_dm.TempSourceDataChange = ::TempSourceDataChange;

    // Ctrl+L reaches the sheet from the grid and its editor as well.
    setKeyPreview(true);
    onKeyDown = [this](int& key, ui::ShiftState shift) { FormKeyDown(key, shift); };

    onCreate = [this] { FormCreate(); };
    onClose = [this](ui::CloseAction& action) { FormClose(action); };
    created();
}

TQDMNecesarForm::~TQDMNecesarForm() {
    if (QDMNecesarForm == this)
        QDMNecesarForm = nullptr;
}

void TQDMNecesarForm::FormCreate() {
    requirement::BuildReport report;
    try {
        ui::CursorGuard hourglass;
        DocOutGenerated = false;
        // The build re-reads the production settings, so the raw-material views filter by the
        // characters in force now.
        report = requirement::buildRequirement(m_dm, DocInContor);
        NrDocLbl->setText(base::formatFloatGeneral(
            m_dm.DocInTable.fieldByName(QStringLiteral("Numar"))->asFloat()));
        DataDocLbl->setText(
            base::dateToText(m_dm.DocInTable.fieldByName(QStringLiteral("Data"))->asDate()));
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de acces la baza de date.") + kCR + e.message());
        discard();
        return;
    } catch (const requirement::RecipeStructureError& e) {
        // Recipes that cannot be descended are the user's to correct: a warning, not a failure.
        ui::messageBox(ui::MessageKind::Warning, e.message());
        discard();
        return;
    } catch (...) {
        discard();
        throw;
    }
    GenDocOutBTN->setEnabled(m_dm.TempTable.recordCount() > 0);
    m_built = true;
    showAllColumns();
    NecesarGrid->setFocus();

    if (!report.productsWithoutRequirement.isEmpty()) {
        OmittedLbl->setText(QStringLiteral("Fara necesar calculat (fara reteta sau fara fisa in "
                                           "catalog la grupa lor): ") +
                            report.productsWithoutRequirement.join(QStringLiteral(", ")));
        OmittedLbl->show();
    }
    if (!report.productsWithoutBatchQuantity.isEmpty())
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("Produsele urmatoare au cantitatea de reteta zero sau "
                                      "necompletata si nu au fost incluse in necesar:") +
                           kCR + report.productsWithoutBatchQuantity.join(QStringLiteral(", ")));
    if (!report.semiFinishedWithoutBatchQuantity.isEmpty())
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("Semifabricatele următoare au rețetă, dar cantitatea de "
                                      "rețetă este zero sau necompletată; au rămas linii ale "
                                      "necesarului, fără să fie descompuse:") +
                           kCR +
                           report.semiFinishedWithoutBatchQuantity.join(QStringLiteral(", ")));
}

void TQDMNecesarForm::discard() {
    try {
        requirement::closeRequirement(m_dm);
    } catch (const std::exception&) {
        // The build's own error has been shown; the next build replaces the table anyway.
    }
    release();
}

void TQDMNecesarForm::FormClose(ui::CloseAction& action) {
    action = ui::CloseAction::Free;
    try {
        ui::CursorGuard hourglass;
        requirement::closeRequirement(m_dm);
        if (QDMNecesarForm == this)
            QDMNecesarForm = nullptr;
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error, QStringLiteral("Eroare de acces la baza de date!") +
                                                   kCR + QStringLiteral("<") + e.message() +
                                                   QStringLiteral("> !"));
    }
}

void TQDMNecesarForm::NecesarGridKeyPress(char16_t& key) {
    if (key != 10)
        return;
    db::Field* field = NecesarGrid->currentField();
    if (field != m_dm.TempTableCod_MatPrim && field != m_dm.TempTableDenumire &&
        field != m_dm.TempTableCod_grupa)
        return;
    key = 0;
    QString group = m_dm.TempTableCod_grupa->asString();
    QString code = m_dm.TempTableCod_MatPrim->asString();
    if (!SelectCatalogArticle(this, group, code))
        return;
    // Text typed into the cell and not yet stored would overwrite the choice when the cell is
    // left: it is dropped, as Escape drops it.
    if (NecesarGrid->editModified()) {
        int escape = ui::vk::Escape;
        NecesarGrid->keyDown(escape, {});
    }
    const bool wasEditing = m_dm.TempTable.state() == db::DataSetState::Edit ||
                            m_dm.TempTable.state() == db::DataSetState::Insert;
    const QVariant previousGroup = m_dm.TempTableCod_grupa->value();
    m_dm.TempTable.edit();
    try {
        // The code's check looks the pair up, so the group goes in first.
        m_dm.TempTableCod_grupa->setAsString(group);
        m_dm.TempTableCod_MatPrim->setAsString(code);
    } catch (const base::Abort&) {
        // A material the check refuses (after its message) leaves the line as it was, its
        // group included.
        if (wasEditing)
            m_dm.TempTableCod_grupa->setValue(previousGroup);
        else
            m_dm.TempTable.cancel();
        throw;
    }
}

void TQDMNecesarForm::NecesarGridDblClick() {
    char16_t key = 10;
    NecesarGridKeyPress(key);
}

void TQDMNecesarForm::NecesarGridDrawColumnCell(TNormalCustomDBGrid& sender, const QRect& rect,
                                                int dataCol, TColumn& column,
                                                TGridDrawState state) {
    const QString& name = column.fieldName();
    db::Field* field = column.field();
    if (field && (name == QLatin1String("StocFin") || name == QLatin1String("StocExist")) &&
        field->asFloat() < 0) {
        NegativeStockShown = true;
        TCanvas& canvas = sender.canvas();
        const QColor color = canvas.fontColor;
        const QFont font = canvas.font;
        canvas.fontColor = QColor(255, 0, 0);
        canvas.font.setBold(true);
        sender.defaultDrawColumnCell(rect, dataCol, column, state);
        canvas.fontColor = color;
        canvas.font = font;
        return;
    }
    if (field && name == QLatin1String("Cant") && changedQuantity()) {
        // A quantity the user changed from the recipe's is drawn in bold blue.
        TCanvas& canvas = sender.canvas();
        const QColor color = canvas.fontColor;
        const QFont font = canvas.font;
        canvas.fontColor = QColor(0, 0, 255);
        canvas.font.setBold(true);
        sender.defaultDrawColumnCell(rect, dataCol, column, state);
        canvas.fontColor = color;
        canvas.font = font;
        return;
    }
    sender.defaultDrawColumnCell(rect, dataCol, column, state);
}

bool TQDMNecesarForm::changedQuantity() {
    return requirement::quantityChanged(m_dm, m_dm.TempTableCod_grupa->asString(),
                                        m_dm.TempTableCod_MatPrim->asString(),
                                        m_dm.TempTableCant->asFloat());
}

void TQDMNecesarForm::showAllColumns() {
    // The stock columns are what the sheet is for: the window opens wide enough to show every
    // column, as far as the screen allows.
    int needed = TIndicatorHeader::kWidth + 2 * NecesarGrid->frameWidth() +
                 2 * Panel1->frameWidth() + NecesarGrid->verticalScrollBar()->sizeHint().width() +
                 4;
    for (int c = 0; c < NecesarGrid->columns().count(); ++c)
        needed += NecesarGrid->columns()[c]->width();
    const int screenWidth = ui::screen()->availableGeometry().width() - 16;
    const int width = qMax(581, qMin(needed, screenWidth));
    if (width > this->width())
        setClientSize(width, 424);
}

void TQDMNecesarForm::GenDocOutBTNClick() {
    // A pending line is posted first; a line the rules refuse ends the click after their
    // message.
    m_dm.TempTable.checkBrowseMode();

    // A negative line asks even when it was never painted (scrolled out of view). The lines
    // negative now are the ones the user agrees to leave out; a line whose stock another user
    // takes from here on is issued as far as the stock then allows.
    const QSet<QString> leftOut = requirement::negativeRequirementLines(m_dm);
    if (NegativeStockShown || !leftOut.isEmpty()) {
        const QString question =
            QStringLiteral("Atentie, creati stocuri negative! ") + kCR +
            QStringLiteral("Respectivele materiale nu vor fi incluse in documentul de iesire.") +
            kCR + QStringLiteral("Doriti sa continuati?");
        if (ui::messageBox(ui::MessageKind::Information, question,
                           ui::MessageButton::Yes | ui::MessageButton::No) != ui::mrYes)
            return;
    }

    if (!confirmAnotherDocument())
        return;

    QDate date = QDate::currentDate();
    if (!SelectDate(this, date) || !confirmEarlierDate(date))
        return;

    requirement::GenerationResult result;
    bool failed = false;
    bool refused = false;
    QString failure;
    {
        ui::CursorGuard hourglass;
        if (owner() && owner()->isWidgetType())
            static_cast<QWidget*>(owner())->repaint();
        DocOutGenerated = true;
        try {
            result = requirement::generateConsumptionDocument(m_dm, date, leftOut);
        } catch (const requirement::GenerationRefused& e) {
            refused = true;
            failure = e.message();
        } catch (const base::DatabaseError& e) {
            failed = true;
            failure = e.message();
        }
    }
    if (refused) {
        ui::messageBox(ui::MessageKind::Warning, failure);
        return;
    }
    if (failed) {
        // Nothing was written: the sheet stays open for another attempt.
        ui::messageBox(ui::MessageKind::Error, QStringLiteral("Eroare de baza de date survenita in "
                                                              "generarea documentului de iesire!") +
                                                   kCR + failure);
        return;
    }

    QString text = QStringLiteral("OK. Documentul de iesire din gestiunea de materii "
                                  "prime/materiale a fost generat cu succes.") +
                   kCR +
                   QStringLiteral("Bonul de consum nr. %1 din %2.")
                       .arg(base::formatFloatGeneral(result.counter), base::dateToText(date));
    if (!result.notIssued.isEmpty()) {
        text += kCR + QStringLiteral("Cantitati care nu au fost scoase din stoc:");
        for (const requirement::NotIssued& missing : result.notIssued)
            text += kCR +
                    requirement::notIssuedLine(missing, base::formatFloatGeneral(missing.quantity));
    }
    ui::messageBox(ui::MessageKind::Information, text);
    requirement::offerVoucherPrint(m_dm, result.counter);
    setModalResult(ui::mrOk);
}

void TQDMNecesarForm::FormKeyDown(int& key, ui::ShiftState shift) {
    if (key == 'L' && shift == ui::ShiftState(ui::ShiftKey::Ctrl)) {
        key = 0;
        PreviewBTNClick();
    }
}

void TQDMNecesarForm::PreviewBTNClick() {
    // A pending line is posted first, as the generation posts it; a line the rules refuse ends
    // the preview after their message.
    m_dm.TempTable.checkBrowseMode();
    requirement::ConsumptionPlan plan;
    try {
        ui::CursorGuard hourglass;
        plan = requirement::previewConsumption(m_dm);
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de acces la baza de date.") + kCR + e.message());
        return;
    }
    // Gone when the preview closes, so that the next one can take its name.
    const std::unique_ptr<TConsumptionPreviewForm> preview(new TConsumptionPreviewForm(this, plan));
    preview->showModal();
}

bool TQDMNecesarForm::confirmAnotherDocument() {
    const QList<requirement::RegisteredConsumption> earlier =
        requirement::consumptionsOfReceipt(m_dm.GhostDB, requirement::requirementReceipt(m_dm));
    if (earlier.isEmpty())
        return true;
    QStringList documents;
    for (const requirement::RegisteredConsumption& c : earlier)
        documents << QStringLiteral("nr. %1 din %2")
                         .arg(base::formatFloatGeneral(c.document), base::dateToText(c.date));
    const QString question =
        (earlier.size() == 1
             ? QStringLiteral("Pentru această recepție există deja bonul de consum ")
             : QStringLiteral("Pentru această recepție există deja bonurile de "
                              "consum ")) +
        documents.join(QStringLiteral(", ")) + QStringLiteral(". Generați încă unul?");
    // A second document takes the materials out of the stock a second time: No is the answer
    // Enter gives.
    return ui::messageBox(ui::MessageKind::Confirmation, question,
                          ui::MessageButton::Yes | ui::MessageButton::No,
                          ui::MessageButton::No) == ui::mrYes;
}

bool TQDMNecesarForm::confirmEarlierDate(const QDate& date) {
    const QDate receiptDate = m_dm.DocInTable.fieldByName(QStringLiteral("Data"))->asDate();
    if (!receiptDate.isValid() || date >= receiptDate)
        return true;
    const QString question =
        QStringLiteral("Data bonului de consum, %1, este înaintea datei recepției, %2. "
                       "Generați bonul cu această dată?")
            .arg(base::dateToText(date), base::dateToText(receiptDate));
    return ui::messageBox(ui::MessageKind::Confirmation, question,
                          ui::MessageButton::Yes | ui::MessageButton::No,
                          ui::MessageButton::No) == ui::mrYes;
}

void TempSourceStateChange(db::DataSource&) {
    NegativeStockShown = false;
}

void TempSourceDataChange(db::DataSource& source, db::Field*) {
    if (!QDMNecesarForm)
        return;
    db::DataSet* temp = source.dataSet();
    QDMNecesarForm->GenDocOutBTN->setEnabled(temp && temp->isActive() && temp->recordCount() > 0);
}
