#pragma once
// Puts a consumption voucher into the printed form of the "Bon de consum": the company, the
// number, date, warehouse and place of consumption, the lines in the regional number format,
// the total value and the boxes where the head of department, the storekeeper and the receiver
// sign. Shows the warehouse of each line when there are several, and the lot when the lines
// come from several lots.
#include "printing/table_report.h"

namespace printing {

struct ConsumptionVoucher;

TableReport voucherReport(const ConsumptionVoucher& voucher, const QString& companyName);

} // namespace printing
