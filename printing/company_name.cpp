#include "printing/company_name.h"

#include "platform/store/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace printing {

QString companyName(const QString& companyDirectory) {
    const QDir directory(companyDirectory);
    const QString name =
        store::readIniString(directory.absoluteFilePath(QStringLiteral("KRVDEF.INI")),
                             QStringLiteral("Firma"), QStringLiteral("Denumire"))
            .trimmed();
    if (!name.isEmpty())
        return name;
    return QFileInfo(directory.absolutePath()).fileName();
}

} // namespace printing
