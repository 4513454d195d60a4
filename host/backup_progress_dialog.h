#pragma once
// The progress dialog of a backup or restore in the host: the pages copied, then the integrity
// check as a busy bar, and a Cancel button that stops the work, which then leaves nothing
// behind. It appears only when the work lasts longer than delayMs.
#include "backup/backup_progress.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace host {

class BackupProgressDialog {
public:
    BackupProgressDialog(QWidget* parent, const QString& title, const QString& copyingText,
                         int delayMs);
    ~BackupProgressDialog();
    BackupProgressDialog(const BackupProgressDialog&) = delete;
    BackupProgressDialog& operator=(const BackupProgressDialog&) = delete;

    // The callback for the backup library; valid while this object lives.
    backup::Progress callback();
    QProgressDialog* dialog() const { return m_dialog.get(); }
    // Takes the dialog down before a message about the outcome shows.
    void close();

private:
    bool report(backup::Stage stage, qint64 done, qint64 total);

    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_copyingText;
    QElapsedTimer m_sinceEvents;
    bool m_checking = false;
};

} // namespace host
