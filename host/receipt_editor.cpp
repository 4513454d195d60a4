#include "host/receipt_editor.h"

#include "controls/date_edit.h"
#include "host/article_picker.h"
#include "host/company_environment.h"
#include "host/receipt_lines_table.h"
#include "host/receipt_posting.h"
#include "host/receipt_write.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/field.h"
#include "platform/db/session.h"
#include "platform/ui/button.h"
#include "platform/ui/message_box.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace host {

namespace {

db::Database& companyDatabase() {
    return db::Session::instance().findDatabase(QString::fromLatin1(kCompanyAlias));
}

void placeCatalogTable(db::Table& table, const char* index) {
    table.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    table.setTableName(QStringLiteral("CATALOG.DB"));
    table.setReadOnly(true);
    table.setIndexFieldNames(QString::fromLatin1(index));
    table.addField(QStringLiteral("Grupa"), db::FieldType::Text, 8);
    table.addField(QStringLiteral("Cod"), db::FieldType::Text, 30);
    table.addField(QStringLiteral("Denumire"), db::FieldType::Text, 255);
}

} // namespace

ReceiptEditor::ReceiptEditor(QWidget* mainWindow, double counter)
    : HostForm(mainWindow), m_counter(counter) {
    setName(QStringLiteral("ReceiptEditor"));
    placeCatalogTable(m_catalog, "");
    placeCatalogTable(m_codes, "Cod");

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("TypeBox"));
    m_type->addItem(QStringLiteral("NIR — recepție de la furnizor"), receipts::kPurchase);
    m_type->addItem(QStringLiteral("BPF — predare din producție"), receipts::kProduction);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("NumberEdit"));
    m_date = new TDateEdit(this);
    m_date->setObjectName(QStringLiteral("DateEdit"));
    m_supplier = new QLineEdit(this);
    m_supplier->setObjectName(QStringLiteral("SupplierEdit"));
    m_supplier->setMaxLength(30);
    m_explanation = new QLineEdit(this);
    m_explanation->setObjectName(QStringLiteral("ExplanationEdit"));
    m_explanation->setMaxLength(255);

    m_lines = new ReceiptLinesTable(this);
    m_lines->setObjectName(QStringLiteral("LinesTable"));
    m_lines->nameOf = [this](const QString& g, const QString& c) { return articleName(g, c); };
    m_lines->groupOf = [this](const QString& c) { return articleGroup(c); };
    m_lines->pick = [this](QString& g, QString& c) { return pickArticle(this, g, c); };
    m_lines->onChanged = [this] { changed(); };

    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("TotalLabel"));
    auto* post = new ui::Button(QStringLiteral("&Validare"), this);
    post->setObjectName(QStringLiteral("PostButton"));
    post->setToolTip(QStringLiteral("Scrie documentul și stocul (Ctrl+S)"));
    post->onClick = [this] { this->post(); };
    m_postButton = post;
    auto* close = new ui::Button(QStringLiteral("Închide"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setCancel(true);
    close->onClick = [this] {
        if (mdiFrame())
            mdiFrame()->close();
        else
            this->close();
    };
    auto* postKey = new QAction(this);
    postKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    postKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(postKey, &QAction::triggered, this, [this] { this->post(); });
    addAction(postKey);

    auto* header = new QFormLayout;
    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(m_type);
    firstRow->addSpacing(12);
    auto* numberLabel = new QLabel(QStringLiteral("&Număr:"), this);
    numberLabel->setBuddy(m_number);
    firstRow->addWidget(numberLabel);
    firstRow->addWidget(m_number);
    firstRow->addSpacing(12);
    auto* dateLabel = new QLabel(QStringLiteral("&Data:"), this);
    dateLabel->setBuddy(m_date);
    firstRow->addWidget(dateLabel);
    firstRow->addWidget(m_date);
    firstRow->addStretch(1);
    auto* typeLabel = new QLabel(QStringLiteral("&Tip:"), this);
    typeLabel->setBuddy(m_type);
    header->addRow(typeLabel, firstRow);
    header->addRow(QStringLiteral("&Furnizor:"), m_supplier);
    header->addRow(QStringLiteral("&Explicație:"), m_explanation);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Ins: linie nouă · F4 sau Ctrl+Enter: alegere din "
                                                "catalog · Ctrl+Del: șterge linia"),
                                 this));
    bottom->addStretch(1);
    bottom->addWidget(m_total);
    bottom->addSpacing(12);
    bottom->addWidget(post);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(header);
    layout->addWidget(m_lines, 1);
    layout->addLayout(bottom);

    m_catalog.open();
    m_codes.open();
    if (counter > 0) {
        receipts::ReceiptBook book(companyDatabase());
        const receipts::Receipt r = book.load(counter);
        m_type->setCurrentIndex(r.type == receipts::kProduction ? 1 : 0);
        m_number->setText(r.number);
        QDate date;
        if (receipts::parseDate(r.date, date))
            m_date->setValue(date);
        m_supplier->setText(r.supplier);
        m_explanation->setText(r.explanation);
        m_lines->setLines(r.lines);
        setCaption(QStringLiteral("Corectare document de intrare %1 %2 (contor %3)")
                       .arg(r.type, r.number, base::formatFloatGeneral(counter)));
    } else {
        m_date->setValue(QDate::currentDate());
        m_lines->addLine();
        setCaption(QStringLiteral("Document de intrare nou"));
    }
    m_modified = false;
    updateTotal();

    for (QLineEdit* e : {m_number, m_supplier, m_explanation})
        connect(e, &QLineEdit::textEdited, this, [this] { changed(); });
    connect(m_date, &QLineEdit::textEdited, this, [this] { changed(); });
    connect(m_type, &QComboBox::currentIndexChanged, this, [this] { changed(); });

    onCloseQuery = [this](bool& canClose) {
        if (m_posted || !m_modified)
            return;
        canClose = ui::messageBox(ui::MessageKind::Confirmation,
                                  QStringLiteral("Documentul nu a fost validat și nu s-a scris "
                                                 "nimic. Renunțați la el?"),
                                  ui::MessageButton::Yes | ui::MessageButton::No,
                                  ui::MessageButton::No) == ui::mrYes;
    };

    // Enter in the header goes on to the next field, and from the explanation to the lines.
    setKeyPreview(true);
    onKeyDown = [this](int& key, ui::ShiftState shift) {
        if (key != ui::vk::Return || shift)
            return;
        QWidget* at = QApplication::focusWidget();
        const QList<QWidget*> fields = {m_type, m_number, m_date, m_supplier, m_explanation};
        const qsizetype i = fields.indexOf(at);
        if (i < 0)
            return;
        key = 0;
        if (i + 1 < fields.size()) {
            fields[i + 1]->setFocus();
            return;
        }
        m_lines->setFocus();
        if (m_lines->currentRow() < 0 && m_lines->rowCount() > 0)
            m_lines->setCurrentCell(0, ReceiptLinesTable::Group);
    };

    setFormStyle(ui::FormStyle::MdiChild);
    fitInto(980, 520);
    created();
    m_number->setFocus();
}

ReceiptEditor::~ReceiptEditor() {
    m_codes.close();
    m_catalog.close();
}

void ReceiptEditor::changed() {
    m_modified = true;
    updateTotal();
}

void ReceiptEditor::updateTotal() {
    double total = 0;
    for (const receipts::ReceiptLine& l : m_lines->lines()) {
        double q = 0, p = 0;
        if (receipts::parseNumber(l.quantity, q) && receipts::parseNumber(l.price, p))
            total += q * p;
    }
    m_total->setText(QStringLiteral("Total: %1 lei").arg(base::formatFixed(total, 2)));
}

QString ReceiptEditor::articleName(const QString& group, const QString& code) {
    if (!m_catalog.findKey({group, code}))
        return QString();
    const QString name = m_catalog.fieldByName(QStringLiteral("Denumire"))->asString();
    return name.isNull() ? QStringLiteral("") : name;
}

QString ReceiptEditor::articleGroup(const QString& code) {
    if (code.isEmpty() || !m_codes.findKey({code}))
        return QString();
    const QString group = m_codes.fieldByName(QStringLiteral("Grupa"))->asString();
    m_codes.next();
    if (!m_codes.eof() && m_codes.fieldByName(QStringLiteral("Cod"))->asString() == code)
        return QString(); // several groups have it: the person chooses
    return group;
}

bool ReceiptEditor::post() {
    // A cell still being typed into counts.
    if (QWidget* typing = QApplication::focusWidget();
        typing && typing != m_lines && m_lines->isAncestorOf(typing))
        m_lines->setFocus();
    receipts::Receipt r;
    r.type = m_type->currentData().toString();
    r.number = m_number->text();
    r.date = m_date->text();
    r.supplier = m_supplier->text();
    r.explanation = m_explanation->text();
    r.lines = m_lines->lines();
    receipts::ReceiptBook book(companyDatabase());
    if (!writeReceipt(QStringLiteral("Documentul nu a fost validat"), QStringLiteral("validarea"),
                      [&] {
                          if (m_counter > 0)
                              book.correct(m_counter, r);
                          else
                              m_counter = book.post(r);
                      }))
        return false;
    m_posted = true;
    if (onPosted)
        onPosted(m_counter);
    if (mdiFrame())
        mdiFrame()->close();
    else
        close();
    return true;
}

} // namespace host
