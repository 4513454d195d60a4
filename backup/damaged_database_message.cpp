#include "backup/damaged_database_message.h"

#include "backup/backup_catalog.h"
#include "platform/db/damaged_database.h"
#include "platform/db/session.h"

#include <QDir>

namespace backup {

QString damagedDatabaseMessage(const QString& companyDirectory, const QString& file,
                               const QString& engineText) {
    const QString directory = QDir::toNativeSeparators(companyDirectory);
    QString text =
        db::damagedDatabaseText(companyDirectory, file, engineText) + QStringLiteral("\n\n");
    if (const std::optional<BackupFile> newest = newestSoundBackup(companyDirectory)) {
        const QString backupName = QDir::toNativeSeparators(newest->path);
        text += QStringLiteral("Cea mai recentă copie de siguranță care trece verificarea este "
                               "%1, din %2.\n"
                               "Restaurați firma din ea: Sistem > Restaurare firma… sau\n"
                               "  lumbra restore %3 %1")
                    .arg(backupName, newest->taken.toString(QStringLiteral("dd.MM.yyyy, HH:mm")),
                         directory);
    } else {
        text += QStringLiteral("Nu există nicio copie de siguranță care să treacă verificarea în "
                               "%1. Păstrați fișierul %2 așa cum este (o copie a lui poate ajuta "
                               "la recuperarea datelor) și nu mai lucrați în această firmă.")
                    .arg(QDir::toNativeSeparators(backupDirectory(companyDirectory)),
                         QDir::toNativeSeparators(file));
    }
    return text;
}

void installDamagedDatabaseMessage(db::Session& session) {
    session.setDamagedDatabaseMessage(&damagedDatabaseMessage);
}

} // namespace backup
