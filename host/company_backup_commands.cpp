#include "host/company_backup_commands.h"

#include "backup/backup_catalog.h"
#include "backup/backup_error.h"
#include "backup/company_backup.h"
#include "backup/company_backup_check.h"
#include "backup/company_restore.h"
#include "backup/daily_backup.h"
#include "host/backup_progress_dialog.h"
#include "host/company_environment.h"
#include "platform/base/errors.h"
#include "platform/db/session.h"
#include "platform/store/ini_file.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace host {
namespace {

const QString kBackupSection = QStringLiteral("Backup");
const QString kDailyBackups = QStringLiteral("DailyBackups");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

CompanyBackupCommands::CompanyBackupCommands(QWidget* parent, Company company)
    : m_parent(parent), m_company(std::move(company)) {
    chooseBackupTarget = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Salvare firma"), suggested,
                                            QStringLiteral("Copii de siguranță (*.sqlite)"),
                                            nullptr, QFileDialog::DontConfirmOverwrite);
    };
    chooseBackupToRestore = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Restaurare firma"), folder,
                                            QStringLiteral("Copii de siguranță (*.sqlite)"));
    };
    ui::Application* application = ui::application();
    m_previousHandler = application->onException;
    application->onException = [this](const std::exception& error) {
        if (handleDamaged(error))
            return;
        if (m_previousHandler)
            m_previousHandler(error);
        else
            ui::messageBox(ui::MessageKind::Error, QString::fromUtf8(error.what()));
    };
}

CompanyBackupCommands::~CompanyBackupCommands() {
    ui::application()->onException = m_previousHandler;
}

int CompanyBackupCommands::dailyBackupsKept() {
    bool ok = false;
    const int kept = store::readIniString(hostSettingsFile(), kBackupSection, kDailyBackups)
                         .trimmed()
                         .toInt(&ok);
    return ok ? std::max(0, kept) : backup::kDefaultDailyBackupsKept;
}

QString CompanyBackupCommands::targetCompany() const {
    const QString open = m_company.directory();
    if (!open.isEmpty())
        return open;
    // A company that failed to open (a damaged one) keeps its alias until another is opened.
    return db::Session::instance().aliasDirectory(QString::fromLatin1(kCompanyAlias));
}

void CompanyBackupCommands::backUp() {
    const QString company = m_company.directory();
    if (company.isEmpty())
        throw base::Error(QStringLiteral("Deschideți întâi o firmă (Sistem > Deschide firma...)."));
    QDir().mkpath(backup::backupDirectory(company));
    const QString file = chooseBackupTarget(
        backup::newBackupFile(company, backup::BackupKind::Manual, QDateTime::currentDateTime()));
    if (file.isEmpty())
        return;
    BackupProgressDialog progress(m_parent, QStringLiteral("Salvare firma"),
                                  QStringLiteral("Se salvează firma din %1…").arg(native(company)),
                                  progressDelayMs);
    try {
        const backup::BackupOutcome done =
            backup::backupCompany(company, file, backup::BackupKind::Manual, progress.callback());
        progress.close();
        ui::messageBox(
            ui::MessageKind::Information,
            QStringLiteral("Copia de siguranță a firmei a fost scrisă și verificată:\n%1")
                .arg(native(done.file)));
    } catch (const backup::BackupCancelled&) {
        m_company.status(QStringLiteral("Salvarea a fost oprită; nu s-a scris nicio copie."));
    } catch (const backup::BackupRefused& refused) {
        progress.close();
        ui::messageBox(ui::MessageKind::Warning, refused.message());
    }
}

void CompanyBackupCommands::restore() {
    const QString company = targetCompany();
    if (company.isEmpty())
        throw base::Error(QStringLiteral("Deschideți întâi o firmă (Sistem > Deschide firma...)."));
    const QString file = chooseBackupToRestore(backup::backupDirectory(company));
    if (file.isEmpty())
        return;
    // Checked before the company is closed: a file that is not a sound backup changes nothing.
    QString problem;
    {
        BackupProgressDialog progress(m_parent, QStringLiteral("Restaurare firma"),
                                      QStringLiteral("Se verifică copia…"), progressDelayMs);
        try {
            problem = backup::whyNotACompanyBackup(file, progress.callback());
        } catch (const backup::BackupCancelled&) {
            m_company.status(
                QStringLiteral("Restaurarea a fost oprită; firma a rămas neschimbată."));
            return;
        }
    }
    if (!problem.isEmpty()) {
        ui::messageBox(ui::MessageKind::Warning,
                       problem + QStringLiteral(" Firma a rămas neschimbată."));
        return;
    }
    const ui::ModalResult answer = ui::messageBox(
        ui::MessageKind::Confirmation,
        QStringLiteral("Baza de date a firmei din %1 va fi înlocuită cu copia %2.\n\n"
                       "Baza de date de acum rămâne în directorul firmei ca "
                       "tables-inlocuit-<data>.sqlite; restaurarea ei anulează această "
                       "restaurare.\n\nFirma se închide și se redeschide. Continuați?")
            .arg(native(company), native(QFileInfo(file).absoluteFilePath())),
        ui::MessageButton::Yes | ui::MessageButton::No);
    if (answer != ui::mrYes)
        return;
    restoreFrom(company, file);
}

void CompanyBackupCommands::restoreFrom(const QString& company, const QString& file) {
    if (!m_company.close()) {
        m_company.status(QStringLiteral("O fereastră nu s-a închis: firma nu a fost restaurată."));
        return;
    }
    QString message;
    ui::MessageKind kind = ui::MessageKind::Information;
    {
        BackupProgressDialog progress(
            m_parent, QStringLiteral("Restaurare firma"),
            QStringLiteral("Se restaurează firma din %1…").arg(native(QFileInfo(file).fileName())),
            progressDelayMs);
        try {
            const backup::RestoreOutcome done =
                backup::restoreCompany(company, file, progress.callback());
            message = QStringLiteral("Firma din %1 a fost restaurată din copia %2.")
                          .arg(native(company), native(QFileInfo(file).absoluteFilePath()));
            if (!done.replacedFile.isEmpty())
                message += QStringLiteral("\n\nBaza de date înlocuită a fost păstrată ca %1; "
                                          "restaurarea ei anulează această restaurare.")
                               .arg(native(done.replacedFile));
        } catch (const backup::BackupCancelled&) {
            message = QStringLiteral("Restaurarea a fost oprită; firma a rămas neschimbată.");
        } catch (const backup::BackupRefused& refused) {
            kind = ui::MessageKind::Warning;
            message = refused.message();
        } catch (const base::Error& error) {
            kind = ui::MessageKind::Error;
            message = error.message() + QStringLiteral("\nFirma a rămas neschimbată.");
        }
    }
    // Opened again whatever happened: restored, or as it was.
    m_company.open(company);
    ui::messageBox(kind, message);
}

void CompanyBackupCommands::takeDailyBackup(const QString& companyDirectory) {
    const int kept = dailyBackupsKept();
    if (kept <= 0 || backup::hasAutomaticBackupOf(companyDirectory, QDate::currentDate()))
        return;
    BackupProgressDialog progress(m_parent, QStringLiteral("Salvare automată"),
                                  QStringLiteral("Se face copia de siguranță zilnică a firmei…"),
                                  progressDelayMs);
    try {
        // Quietly: the status bar keeps what the opening said.
        backup::takeDailyBackup(companyDirectory, kept, progress.callback());
    } catch (const backup::BackupCancelled&) {
        m_company.status(QStringLiteral("Copia de siguranță zilnică a fost oprită; se face la "
                                        "următoarea deschidere a firmei."));
    } catch (const std::exception& error) {
        progress.close();
        ui::application()->showException(error);
    }
}

bool CompanyBackupCommands::handleDamaged(const std::exception& error) {
    // An error raised on this side of the host boundary: one of the add-on's arrives with its
    // whole message all the same, through the plain error box.
    const auto* databaseError = dynamic_cast<const base::DatabaseError*>(&error);
    if (!databaseError || databaseError->kind() != base::DatabaseError::Kind::Damaged)
        return false;
    const QString company = targetCompany();
    const std::optional<backup::BackupFile> sound =
        company.isEmpty() ? std::nullopt : backup::newestSoundBackup(company);
    // Offered only for the company's own database, not for the private directory's.
    if (!sound || !databaseError->message().contains(native(company))) {
        ui::messageBox(ui::MessageKind::Error, databaseError->message());
        return true;
    }
    const ui::ModalResult answer = ui::messageBox(
        ui::MessageKind::Error,
        databaseError->message() +
            QStringLiteral("\n\nRestaurați acum firma din această copie? Firma se închide, se "
                           "restaurează și se redeschide."),
        ui::MessageButton::Yes | ui::MessageButton::No);
    if (answer == ui::mrYes)
        restoreFrom(company, sound->path);
    return true;
}

} // namespace host
