#include "settings/production_settings_file.h"

#include "company/company_directory.h"
#include "platform/base/cp1250.h"
#include "platform/store/ini_file.h"
#include "settings/production_settings.h"

namespace {

const QString kSection = QStringLiteral("Productie");

void loadOne(const QString& file, const QString& key, char& value) {
    const QString current = base::cp1250::decode(QByteArray(1, value));
    const QString text = store::readIniString(file, kSection, key, current);
    if (text.isEmpty())
        return; // an empty value keeps the current character
    const int byte = base::cp1250::byteOf(text.at(0));
    if (byte > 0)
        value = static_cast<char>(byte);
}

// The switch is on only where the company's file says "1": unlike the characters it does not
// carry over from the company opened before when this one's file does not mention it.
void loadSwitch(const QString& file, const QString& key, bool& value) {
    value = store::readIniString(file, kSection, key).trimmed() == QLatin1String("1");
}

bool hasKey(const QString& file, const QString& key) {
    for (const QString& k : store::readIniKeys(file, kSection))
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

const QString kSemiKey = QStringLiteral("SemiPrinReteta");

} // namespace

QString ProductionSettingsFileName() {
    QString dir = company::lastCompanyDirectory();
    if (dir.isEmpty())
        return QString();
    // The directory may end with a separator of either kind; the file goes right after it.
    while (dir.size() > 1 && (dir.endsWith(QLatin1Char('\\')) || dir.endsWith(QLatin1Char('/'))))
        dir.chop(1);
    return dir + QStringLiteral("/KRVDEF.INI");
}

void LoadProductionSettings() {
    const QString file = ProductionSettingsFileName();
    if (file.isEmpty())
        return;
    loadOne(file, QStringLiteral("IndGest"), IndGest);
    loadOne(file, QStringLiteral("IndCod"), IndCod);
    loadOne(file, QStringLiteral("IndSemi"), IndSemi);
    loadSwitch(file, kSemiKey, SemiPrinReteta);
}

bool SaveProductionSettings() {
    const QString file = ProductionSettingsFileName();
    if (file.isEmpty())
        return false;
    for (const auto& [key, value] : {std::pair{QStringLiteral("IndGest"), IndGest},
                                     {QStringLiteral("IndCod"), IndCod},
                                     {QStringLiteral("IndSemi"), IndSemi}})
        store::writeIniString(file, kSection, key, base::cp1250::decode(QByteArray(1, value)));
    // A company that never turned the descent on keeps its file as it was; once the key is
    // there it follows the switch both ways.
    if (SemiPrinReteta || hasKey(file, kSemiKey))
        store::writeIniString(file, kSection, kSemiKey,
                              SemiPrinReteta ? QStringLiteral("1") : QStringLiteral("0"));
    return true;
}

QString noCompanyDirectoryMessage() {
    return QStringLiteral(
        "Nu se cunoaste directorul firmei: configurarile de productie nu au fost salvate.");
}
