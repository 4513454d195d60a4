// Dates typed by a person under each short date format: the first byte picks the format and the
// date separator in force, the rest is the text. Rules: a text is either refused with a
// conversion error or gives a real calendar date, and that date written in the same format reads
// back as itself wherever the format can show its year.
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/format_settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char* const kFormats[] = {"DD/MM/YYYY", "D/M/YYYY",   "DD/MM/YY", "MM/DD/YYYY",
                                "M/D/YY",     "YYYY/MM/DD", "YY/MM/DD", "DD/M/YYYY"};
const char kSeparators[] = {'.', '/', '-', ' '};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    base::FormatSettings settings = base::formatSettings();
    const QString format = QLatin1String(kFormats[data[0] % std::size(kFormats)]);
    settings.shortDateFormat = format;
    settings.dateSeparator = QLatin1Char(kSeparators[(data[0] >> 3) % std::size(kSeparators)]);
    base::setFormatSettings(settings);

    const QString text = fuzz::utf8(data + 1, size - 1);
    QDate date;
    const bool accepted = base::tryTextToDate(text, date);
    try {
        const QDate thrown = base::textToDate(text);
        FUZZ_CHECK(accepted && thrown == date, text);
    } catch (const base::ConversionError&) {
        FUZZ_CHECK(!accepted, text);
    }
    if (!accepted)
        return 0;
    FUZZ_CHECK(date.isValid() && date.year() >= 1 && date.year() <= 9999, text);
    const bool fullYear = format.contains(QLatin1String("YYYY"));
    if (fullYear || (date.year() >= 1950 && date.year() <= 2049)) {
        const QString written = base::dateToText(date);
        QDate back;
        FUZZ_CHECK(base::tryTextToDate(written, back) && back == date,
                   text + QLatin1String(" -> ") + written);
    }
    return 0;
}
