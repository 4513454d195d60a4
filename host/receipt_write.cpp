#include "host/receipt_write.h"

#include "host/receipt_posting.h"
#include "platform/base/errors.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/message_box.h"

namespace host {

bool writeReceipt(const QString& notDone, const QString& step, const std::function<void()>& write) {
    try {
        ui::CursorGuard hourglass;
        write();
        return true;
    } catch (const receipts::ReceiptRefused& e) {
        ui::messageBox(ui::MessageKind::Warning,
                       QStringLiteral("%1; nu s-a scris nimic.\n\n%2").arg(notDone, e.message()));
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de baza de date la %1 documentului de intrare; nu "
                                      "s-a scris nimic.\r%2")
                           .arg(step, e.message()));
    } catch (const base::Error& e) {
        ui::messageBox(ui::MessageKind::Warning, e.message());
    }
    return false;
}

} // namespace host
