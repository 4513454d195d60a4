// Numbers typed by a person under both separator conventions: the first byte picks the decimal
// separator (comma with a point for thousands, or the reverse), the rest is the text. Rules: a
// text is either refused with a conversion error or gives a finite number; that number written
// in the general format reads back within the format's 15 significant digits, and written with
// a fixed number of decimals never fails.
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "tests/fuzz/fuzz_check.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    base::FormatSettings settings = base::formatSettings();
    const bool comma = (data[0] & 1) == 0;
    settings.decimalSeparator = QLatin1Char(comma ? ',' : '.');
    settings.thousandSeparator = QLatin1Char(comma ? '.' : ',');
    base::setFormatSettings(settings);

    const QString text = fuzz::utf8(data + 1, size - 1);
    double value = 0;
    const bool accepted = base::tryTextToFloat(text, value);
    try {
        const double thrown = base::textToFloat(text);
        FUZZ_CHECK(accepted && (thrown == value), text);
    } catch (const base::ConversionError&) {
        FUZZ_CHECK(!accepted, text);
    }
    if (!accepted)
        return 0;
    FUZZ_CHECK(std::isfinite(value), text);

    const QString general = base::formatFloatGeneral(value);
    double back = 0;
    FUZZ_CHECK(base::tryTextToFloat(general, back), text + QLatin1String(" -> ") + general);
    FUZZ_CHECK(std::fabs(back - value) <= 1e-14 * std::fabs(value) || back == value ||
                   std::fabs(value) < 1e-300,
               text + QLatin1String(" -> ") + general);
    for (int decimals = 0; decimals <= 6; decimals += 3) {
        const QString fixed = base::formatFixed(value, decimals);
        FUZZ_CHECK(!fixed.isEmpty(), text);
    }
    return 0;
}
