#include "platform/db/damaged_database.h"

#include <QDir>

namespace db {

QString damagedDatabaseText(const QString& directory, const QString& file,
                            const QString& engineText) {
    return QStringLiteral("Baza de date a firmei din directorul %1 este deteriorată: fișierul %2 "
                          "nu poate fi citit corect (%3).\n"
                          "Datele firmei pot fi afectate. Programul nu mai scrie nimic în acest "
                          "fișier.")
        .arg(QDir::toNativeSeparators(directory), QDir::toNativeSeparators(file), engineText);
}

} // namespace db
