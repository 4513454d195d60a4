#include "host/paradox_import_command.h"

#include "import/paradox_import.h"
#include "platform/ui/message_box.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

namespace host {

namespace {

const QString kTitle = QStringLiteral("Import firmă din tabele Paradox");
// Refusals listed in a message box; the report beside the company lists them all.
constexpr qsizetype kRefusalsShown = 15;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString refusalList(const QStringList& refused) {
    QStringList shown = refused.mid(0, kRefusalsShown);
    if (refused.size() > kRefusalsShown)
        shown << QStringLiteral("… și încă %1.").arg(refused.size() - kRefusalsShown);
    return shown.join(QLatin1Char('\n'));
}

QString htmlLines(const QString& lines) {
    return lines.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

// The summary shown when the company is written: the table in a fixed-width font so that its
// columns line up, the notes, the first refusals (all of them are in the report) and the
// question whether to open the company.
QString summaryBoxText(const QString& company, const paradox::ImportOutcome& outcome) {
    QString html =
        QStringLiteral("<p>%1</p><pre>%2</pre>")
            .arg(QStringLiteral("Firma %1 a fost creată.").arg(native(company)).toHtmlEscaped(),
                 paradox::summaryTable(outcome).toHtmlEscaped());
    if (!outcome.notes.isEmpty())
        html += QStringLiteral("<p>De știut:<br>%1</p>")
                    .arg(htmlLines(outcome.notes.join(QLatin1Char('\n'))));
    if (!outcome.refused.isEmpty())
        html +=
            QStringLiteral("<p>Refuzate:<br>%1</p>").arg(htmlLines(refusalList(outcome.refused)));
    if (!outcome.reportFile.isEmpty())
        html +=
            QStringLiteral("<p>%1</p>")
                .arg(
                    QStringLiteral("Raportul: %1").arg(native(outcome.reportFile)).toHtmlEscaped());
    return html + QStringLiteral("<p>Deschideți firma nouă?</p>");
}

} // namespace

ParadoxImportCommand::ParadoxImportCommand(QWidget* parent,
                                           std::function<QList<db::TableDef>()> addOnTables,
                                           std::function<void(const QString&)> openCompany)
    : m_parent(parent), m_addOnTables(std::move(addOnTables)),
      m_openCompany(std::move(openCompany)) {
    chooseSource = [this] {
        return QFileDialog::getExistingDirectory(
            m_parent, QStringLiteral("Directorul cu tabelele Paradox ale firmei"),
            QDir::homePath());
    };
    chooseCompany = [this](const QString& source) {
        return QFileDialog::getExistingDirectory(
            m_parent, QStringLiteral("Directorul firmei noi (nou sau gol)"),
            QFileInfo(source).absolutePath());
    };
}

bool ParadoxImportCommand::importWithProgress(const paradox::ImportRequest& base,
                                              paradox::ImportOutcome& outcome) {
    QProgressDialog dialog(QStringLiteral("Se importă tabelele…"), QStringLiteral("Oprește"), 0, 0,
                           m_parent);
    dialog.setObjectName(QStringLiteral("ParadoxImportProgress"));
    dialog.setWindowTitle(kTitle);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(progressDelayMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    paradox::ImportRequest request = base;
    request.progress = [&dialog](const QString& table, qint64 done, qint64 total) {
        const QString label = QStringLiteral("Se importă %1…").arg(table);
        if (dialog.labelText() != label) {
            dialog.setLabelText(label);
            dialog.setMaximum(int(std::min<qint64>(total, INT_MAX)));
        }
        dialog.setValue(int(std::min<qint64>(done, INT_MAX)));
        QApplication::processEvents();
        return !dialog.wasCanceled();
    };
    try {
        outcome = paradox::importCompany(request);
    } catch (const paradox::ImportCancelled&) {
        return false;
    }
    return true;
}

void ParadoxImportCommand::run() {
    const QString source = chooseSource();
    if (source.isEmpty())
        return;
    const QString company = chooseCompany(source);
    if (company.isEmpty())
        return;
    paradox::ImportRequest request;
    request.sourceDirectory = source;
    request.companyDirectory = company;
    request.addOnTables = m_addOnTables ? m_addOnTables() : QList<db::TableDef>();
    paradox::ImportOutcome outcome;
    try {
        if (!importWithProgress(request, outcome)) {
            ui::messageBox(ui::MessageKind::Information,
                           QStringLiteral("Importul a fost oprit; nu s-a creat nicio firmă."));
            return;
        }
        if (!outcome.written) {
            const ui::ModalResult answer = ui::messageBox(
                ui::MessageKind::Confirmation,
                QStringLiteral("Importul din %1 a refuzat %2 valori; nu s-a creat nicio "
                               "firmă.\n\n%3\n\nImportați restul, cu refuzurile într-un raport "
                               "lângă firmă?")
                    .arg(native(source))
                    .arg(outcome.refused.size())
                    .arg(refusalList(outcome.refused)),
                ui::MessageButton::Yes | ui::MessageButton::No, ui::MessageButton::No);
            if (answer != ui::mrYes)
                return;
            request.acceptRefused = true;
            if (!importWithProgress(request, outcome)) {
                ui::messageBox(ui::MessageKind::Information,
                               QStringLiteral("Importul a fost oprit; nu s-a creat nicio firmă."));
                return;
            }
        }
    } catch (const paradox::ImportRefused& e) {
        ui::messageBox(ui::MessageKind::Warning, e.message());
        return;
    }
    const ui::ModalResult open =
        ui::messageBox(ui::MessageKind::Information, summaryBoxText(company, outcome),
                       ui::MessageButton::Yes | ui::MessageButton::No);
    if (open == ui::mrYes && m_openCompany)
        m_openCompany(QDir(company).absolutePath());
}

} // namespace host
