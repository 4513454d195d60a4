#pragma once
// The company name the module prints on its documents: that of the company the host opened
// last (its directory in the registry, as for the production settings), else that of the
// production connection's directory.
#include <QString>

class TQDMDataModule;

namespace requirement {

QString printedCompanyName(TQDMDataModule& dm);

} // namespace requirement
