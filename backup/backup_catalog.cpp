#include "backup/backup_catalog.h"

#include "backup/backup_error.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#include <algorithm>

namespace backup {

using db::sqlite::checkIntegrity;
namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

QString prefixOf(BackupKind kind) {
    return kind == BackupKind::Automatic ? QStringLiteral("automat") : QStringLiteral("salvare");
}

// A name that does not exist yet: "<stem>.sqlite", else "<stem>-2.sqlite", "<stem>-3.sqlite"...
QString freeName(const QDir& dir, const QString& stem) {
    QString name = dir.absoluteFilePath(stem + QStringLiteral(".sqlite"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = dir.absoluteFilePath(QStringLiteral("%1-%2.sqlite").arg(stem).arg(n));
    return name;
}

// Integrity answers by file, valid while the file keeps its size and modification time.
struct KnownCheck {
    qint64 size;
    QDateTime modified;
    bool sound;
};

bool isSoundCached(const QFileInfo& file) {
    static QMutex mutex;
    static QHash<QString, KnownCheck> known;
    const QString key = file.absoluteFilePath();
    {
        QMutexLocker lock(&mutex);
        const auto it = known.constFind(key);
        if (it != known.cend() && it->size == file.size() && it->modified == file.lastModified())
            return it->sound;
    }
    const bool sound = checkIntegrity(key).isSound();
    QMutexLocker lock(&mutex);
    known.insert(key, {file.size(), file.lastModified(), sound});
    return sound;
}

} // namespace

QString databaseFile(const QString& companyDirectory) {
    return db::sqlite::Connection::fileNameFor(companyDirectory);
}

company::CompanyDirectory openCompany(const QString& directory, company::Holds holds) {
    try {
        return company::openCompanyDirectory(directory, holds);
    } catch (const company::CompanyRefused& e) {
        throw BackupRefused(e.message());
    }
}

QString checkedFileName(const QString& name) {
    try {
        return company::checkedPath(name);
    } catch (const company::CompanyRefused& e) {
        throw BackupRefused(e.message());
    }
}

QString backupDirectory(const QString& companyDirectory) {
    return QDir(companyDirectory).absoluteFilePath(QStringLiteral("backup"));
}

QString newBackupFile(const QString& companyDirectory, BackupKind kind, const QDateTime& when) {
    return freeName(QDir(backupDirectory(companyDirectory)),
                    prefixOf(kind) + QLatin1Char('-') + when.toString(kStampFormat));
}

QString replacedDatabaseFile(const QString& companyDirectory, const QDateTime& when) {
    return freeName(QDir(companyDirectory),
                    QStringLiteral("tables-inlocuit-") + when.toString(kStampFormat));
}

QList<BackupFile> listBackups(const QString& companyDirectory) {
    static const QRegularExpression named(
        QStringLiteral("^(salvare|automat)-(\\d{4}-\\d{2}-\\d{2}-\\d{6})(-\\d+)?\\.sqlite$"));
    QList<BackupFile> list;
    const QDir dir(backupDirectory(companyDirectory));
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.sqlite")}, QDir::Files | QDir::Readable);
    for (const QFileInfo& info : files) {
        BackupFile file;
        file.path = info.absoluteFilePath();
        file.taken = info.lastModified();
        const QRegularExpressionMatch m = named.match(info.fileName());
        if (m.hasMatch()) {
            file.kind = m.captured(1) == QLatin1String("automat") ? BackupKind::Automatic
                                                                  : BackupKind::Manual;
            const QDateTime stamp = QDateTime::fromString(m.captured(2), kStampFormat);
            if (stamp.isValid())
                file.taken = stamp;
        }
        list << file;
    }
    // Newest first. Of two taken in the same second the one with the higher number ("-2",
    // "-10") came later: a longer name first, then the later name.
    std::sort(list.begin(), list.end(), [](const BackupFile& a, const BackupFile& b) {
        if (a.taken != b.taken)
            return a.taken > b.taken;
        if (a.path.size() != b.path.size())
            return a.path.size() > b.path.size();
        return a.path > b.path;
    });
    return list;
}

std::optional<BackupFile> newestSoundBackup(const QString& companyDirectory) {
    for (const BackupFile& file : listBackups(companyDirectory))
        if (isSoundCached(QFileInfo(file.path)))
            return file;
    return std::nullopt;
}

} // namespace backup
