#include "requirement/ui/sheet_printing.h"

#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/message_box.h"
#include "printing/print_job.h"
#include "requirement/sheet_report.h"
#include "requirement/ui/printed_company_name.h"

namespace requirement {

void printRequirementSheet(TQDMDataModule& dm) {
    dm.TempTable.checkBrowseMode();
    printing::TableReport report;
    try {
        ui::CursorGuard hourglass;
        report = requirementSheetReport(dm, printedCompanyName(dm));
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de acces la baza de date.\r") + e.message());
        return;
    }
    printing::printWithDialog(report);
}

} // namespace requirement
