#pragma once
// Whether a file is a sound backup of a company: an SQLite database that passes its integrity
// check and holds the company's core tables. A restore puts nothing else in a company's place.
#include "backup/backup_progress.h"

#include <QString>
#include <QStringList>

namespace backup {

// The tables without which a database is not a company's (stored names, any letter case).
QStringList companyCoreTables();

// Empty when file is a sound company backup; else why not, in one sentence naming the file.
// Throws BackupCancelled when progress answers false.
QString whyNotACompanyBackup(const QString& file, const Progress& progress = {});

} // namespace backup
