#include "settings/production_settings.h"

#include "platform/base/cp1250.h"

char IndGest = '_';
char IndCod = '.';
char IndSemi = ';';
bool SemiPrinReteta = false;

bool beginsWithSettingsChar(const QString& code, char settingsChar) {
    if (code.isEmpty())
        return false;
    return base::cp1250::byteOf(code.at(0)) == static_cast<unsigned char>(settingsChar);
}
