// platformlocale.h - the user's date, time and number formats as the system gives them
#pragma once

#include <QLocale>

#include "localeformats.h"

namespace runtime {

// Japanese conventions for the C/POSIX locale, otherwise the locale's own patterns with seconds.
aramu::LocaleFormats FormatsFromLocale(const QLocale& locale);

} // namespace runtime
