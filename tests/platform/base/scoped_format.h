#pragma once
// Puts a short date format and separators in force for one test and restores the old ones.
#include "platform/base/format_settings.h"

namespace testsupport {

class ScopedFormat {
public:
    ScopedFormat(const char* shortDateFormat, char dateSeparator, char decimalSeparator)
        : m_saved(base::formatSettings()) {
        base::FormatSettings s = m_saved;
        s.shortDateFormat = QLatin1String(shortDateFormat);
        s.dateSeparator = QLatin1Char(dateSeparator);
        s.decimalSeparator = QLatin1Char(decimalSeparator);
        base::setFormatSettings(s);
    }
    ~ScopedFormat() { base::setFormatSettings(m_saved); }
    ScopedFormat(const ScopedFormat&) = delete;
    ScopedFormat& operator=(const ScopedFormat&) = delete;

private:
    base::FormatSettings m_saved;
};

} // namespace testsupport
