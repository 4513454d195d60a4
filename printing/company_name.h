#pragma once
// The company's name as printed at the top of its documents: the key "Denumire" of section
// "Firma" in the company's settings file "KRVDEF.INI"; the company directory's own name when
// the settings give none.
#include <QString>

namespace printing {

QString companyName(const QString& companyDirectory);

} // namespace printing
