#pragma once
// After a consumption document is generated, the sheet offers its voucher on paper: the
// question "Tipăriți bonul de consum?", and on Yes the print dialog, where a PDF file can be
// chosen as well. A voucher that cannot be read or printed is told about; the document stays
// as it was written.
class TQDMDataModule;

namespace requirement {

void offerVoucherPrint(TQDMDataModule& dm, double counter);

} // namespace requirement
