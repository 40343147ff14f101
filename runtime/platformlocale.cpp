#include "platformlocale.h"

#include "units.h"

namespace runtime {

aramu::LocaleFormats FormatsFromLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C)
        return aramu::JapaneseFormats();
#if defined(Q_OS_WIN)
    // Windows users set a long time format of their own; Qt reports it unchanged.
    const QString timePattern = locale.timeFormat(QLocale::LongFormat);
#else
    // Elsewhere Qt's long format adds the time zone and words ("H時mm分ss秒 t"), unlike what
    // desktop clocks show, so the short format gains seconds instead.
    const QString timePattern = locale.timeFormat(QLocale::ShortFormat);
#endif
    return aramu::FormatsFromPatterns(FromQt(locale.dateFormat(QLocale::ShortFormat)), FromQt(timePattern),
                                      FromQt(locale.decimalPoint()), FromQt(locale.amText()), FromQt(locale.pmText()));
}

} // namespace runtime
