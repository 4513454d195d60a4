#include "requirement/ui/voucher_print_offer.h"

#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/message_box.h"
#include "printing/consumption_voucher.h"
#include "printing/print_job.h"
#include "printing/voucher_report.h"
#include "requirement/ui/printed_company_name.h"

namespace requirement {

void offerVoucherPrint(TQDMDataModule& dm, double counter) {
    if (ui::messageBox(ui::MessageKind::Information, QStringLiteral("Tipăriți bonul de consum?"),
                       ui::MessageButton::Yes | ui::MessageButton::No) != ui::mrYes)
        return;
    printing::TableReport report;
    try {
        ui::CursorGuard hourglass;
        report =
            printing::voucherReport(printing::readConsumptionVoucher(
                                        dm.GhostDB.session(), dm.GhostDB.databaseName(), counter),
                                    printedCompanyName(dm));
    } catch (const base::Error& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Bonul de consum nu a putut fi citit pentru tipărire.\r") +
                           e.message());
        return;
    }
    printing::printWithDialog(report);
}

} // namespace requirement
