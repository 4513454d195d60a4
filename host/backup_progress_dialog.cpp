#include "host/backup_progress_dialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace host {

BackupProgressDialog::BackupProgressDialog(QWidget* parent, const QString& title,
                                           const QString& copyingText, int delayMs)
    : m_dialog(std::make_unique<QProgressDialog>(copyingText, QStringLiteral("Renunță"), 0, 100,
                                                 parent)),
      m_copyingText(copyingText) {
    m_dialog->setObjectName(QStringLiteral("BackupProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(delayMs);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(420);
    m_dialog->setValue(0);
    m_sinceEvents.start();
}

BackupProgressDialog::~BackupProgressDialog() = default;

void BackupProgressDialog::close() {
    m_dialog->close();
}

backup::Progress BackupProgressDialog::callback() {
    return [this](backup::Stage stage, qint64 done, qint64 total) {
        return report(stage, done, total);
    };
}

bool BackupProgressDialog::report(backup::Stage stage, qint64 done, qint64 total) {
    if (stage == backup::Stage::Copying) {
        m_checking = false;
        m_dialog->setLabelText(m_copyingText);
        m_dialog->setMaximum(int(std::max<qint64>(1, total)));
        // A modal progress dialog lets the events through itself when its value changes.
        m_dialog->setValue(int(done));
    } else {
        if (!m_checking) {
            m_checking = true;
            m_dialog->setLabelText(QStringLiteral("Se verifică integritatea copiei…"));
            m_dialog->setRange(0, 0);
            m_dialog->setValue(0);
        }
        // The check's steps come fast: the window is redrawn and Cancel read a few times a second.
        if (m_sinceEvents.elapsed() >= 50) {
            m_sinceEvents.restart();
            QCoreApplication::processEvents();
        }
    }
    return !m_dialog->wasCanceled();
}

} // namespace host
