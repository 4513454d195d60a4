#include "requirement/ui/printed_company_name.h"

#include "data/qdm_data_module.h"
#include "printing/company_name.h"
#include "settings/production_settings_file.h"

#include <QFileInfo>

namespace requirement {

QString printedCompanyName(TQDMDataModule& dm) {
    const QString settings = ProductionSettingsFileName();
    if (!settings.isEmpty())
        return printing::companyName(QFileInfo(settings).absolutePath());
    return printing::companyName(dm.GhostDB.directory());
}

} // namespace requirement
