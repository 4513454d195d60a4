#pragma once
// The host's commands for a company's backups: "Sistem > Salvare firma…", "Sistem > Restaurare
// firma…", the automatic backup of the day when a company is opened, and the damaged-database
// message with its offer to restore the newest sound backup. A restore closes the company
// (its windows, the host's connection, the add-on's), restores, and opens it again.
//
// While it lives it shows the errors that no handler caught (the application's onException):
// a damaged-database error of the company with its offer, any other error as before.
#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace host {

class CompanyBackupCommands {
public:
    // What the commands need from the main window.
    struct Company {
        std::function<QString()> directory;         // the open company, empty when none
        std::function<bool()> close;                // false when a window refused to close
        std::function<void(const QString&)> open;   // opens a company directory; throws
        std::function<void(const QString&)> status; // a line in the status bar
    };

    CompanyBackupCommands(QWidget* parent, Company company);
    ~CompanyBackupCommands();
    CompanyBackupCommands(const CompanyBackupCommands&) = delete;
    CompanyBackupCommands& operator=(const CompanyBackupCommands&) = delete;

    // The file dialogs; tests answer them here. Empty answers cancel.
    std::function<QString(const QString& suggestedFile)> chooseBackupTarget;
    std::function<QString(const QString& backupFolder)> chooseBackupToRestore;
    // How long a backup or restore runs before its progress dialog shows.
    int progressDelayMs = 500;

    void backUp();
    void restore();
    // The automatic backup of the day and its rotation; a failure is shown, never thrown, so
    // the company stays open.
    void takeDailyBackup(const QString& companyDirectory);
    // Shows error when it is a damaged-database error, with the offer to restore; false for
    // any other error.
    bool handleDamaged(const std::exception& error);

    // The number of automatic backups kept: key "DailyBackups" of section "Backup" in the host's
    // settings file, 14 when it is missing; 0 switches the automatic backup off.
    static int dailyBackupsKept();

private:
    // The company a command acts on: the open one, else the one whose opening just failed.
    QString targetCompany() const;
    void restoreFrom(const QString& company, const QString& file);

    QWidget* m_parent;
    Company m_company;
    std::function<void(const std::exception&)> m_previousHandler;
};

} // namespace host
