#include "host/receipt_commands.h"

#include "host/company_environment.h"
#include "host/receipt_editor.h"
#include "host/receipt_posting.h"
#include "host/receipt_write.h"
#include "host/receipts_form.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/field.h"
#include "platform/db/session.h"
#include "platform/ui/message_box.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace host {

namespace {

QPushButton* button(QWidget* form, const char* name, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption, form);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus); // the grids keep the keyboard
    return b;
}

void shortcut(QWidget* form, const QKeySequence& keys, std::function<void()> run) {
    auto* action = new QAction(form);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(action, &QAction::triggered, form, std::move(run));
    form->addAction(action);
}

} // namespace

ReceiptCommands::ReceiptCommands(ReceiptsForm* form) : QObject(form), m_form(form) {
    QPushButton* add = button(form, "NewReceiptButton", QStringLiteral("Document nou"),
                              QStringLiteral("Un document de intrare nou: NIR sau BPF (Insert)"));
    QPushButton* fix = button(form, "CorrectReceiptButton", QStringLiteral("Corectare"),
                              QStringLiteral("Corectează documentul selectat (F2)"));
    QPushButton* drop = button(form, "DeleteReceiptButton", QStringLiteral("Ștergere"),
                               QStringLiteral("Șterge documentul selectat și stocul adus de el "
                                              "(Ctrl+Delete)"));
    connect(add, &QPushButton::clicked, this, [this] { newReceipt(); });
    connect(fix, &QPushButton::clicked, this, [this] { correctReceipt(); });
    connect(drop, &QPushButton::clicked, this, [this] { deleteReceipt(); });
    shortcut(form, QKeySequence(Qt::Key_Insert), [this] { newReceipt(); });
    shortcut(form, QKeySequence(Qt::Key_F2), [this] { correctReceipt(); });
    shortcut(form, QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { deleteReceipt(); });

    auto* commands = new QHBoxLayout;
    commands->addWidget(add);
    commands->addWidget(fix);
    commands->addWidget(drop);
    commands->addStretch(1);
    if (auto* layout = qobject_cast<QVBoxLayout*>(form->layout()))
        layout->insertLayout(0, commands);
}

double ReceiptCommands::selectedCounter() {
    db::Table& documents = m_form->documents();
    if (!documents.isActive() || documents.isEmpty()) {
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("Nu este selectat niciun document de intrare."));
        return 0;
    }
    return documents.fieldByName(QStringLiteral("Contor"))->asFloat();
}

ReceiptEditor* ReceiptCommands::open(double counter) {
    try {
        auto* editor = new ReceiptEditor(m_form->window(), counter);
        editor->onPosted = [this, form = QPointer<ReceiptsForm>(m_form)](double posted) {
            if (form)
                written(posted);
        };
        return editor;
    } catch (const base::Error& e) {
        ui::messageBox(ui::MessageKind::Error, e.message());
        return nullptr;
    }
}

ReceiptEditor* ReceiptCommands::newReceipt() {
    return open(0);
}

ReceiptEditor* ReceiptCommands::correctReceipt() {
    const double counter = selectedCounter();
    return counter > 0 ? open(counter) : nullptr;
}

bool ReceiptCommands::deleteReceipt() {
    const double counter = selectedCounter();
    if (counter <= 0)
        return false;
    db::Table& documents = m_form->documents();
    const QString what = QStringLiteral("%1 %2 din %3")
                             .arg(documents.fieldByName(QStringLiteral("Tip"))->asString(),
                                  documents.fieldByName(QStringLiteral("Numar"))->asString(),
                                  documents.fieldByName(QStringLiteral("Data"))->asString());
    if (ui::messageBox(ui::MessageKind::Confirmation,
                       QStringLiteral("Ștergeți documentul de intrare %1 (contor %2), cu liniile "
                                      "lui și stocul adus de el?")
                           .arg(what, base::formatFloatGeneral(counter)),
                       ui::MessageButton::Yes | ui::MessageButton::No,
                       ui::MessageButton::No) != ui::mrYes)
        return false;
    if (!writeReceipt(
            QStringLiteral("Documentul nu a fost șters"), QStringLiteral("ștergerea"), [counter] {
                receipts::ReceiptBook(
                    db::Session::instance().findDatabase(QString::fromLatin1(kCompanyAlias)))
                    .remove(counter);
            }))
        return false;
    written(0);
    return true;
}

void ReceiptCommands::written(double counter) {
    if (m_form->onDataWritten)
        m_form->onDataWritten();
    else
        m_form->refreshData();
    if (counter > 0)
        m_form->documents().findKey({counter});
}

} // namespace host
