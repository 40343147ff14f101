#include "ticktexts.h"

namespace aramu {

QString DateText(QDate date, const LocaleFormats& formats) {
    return formats.locale.toString(date, formats.datePattern);
}

QString TimeText(QTime time, const LocaleFormats& formats) {
    return formats.locale.toString(time, formats.clockPattern);
}

QString CaptionText(QTime time, const LocaleFormats& formats) {
    return CaptionPrefix.toString() + formats.locale.toString(time, formats.longTimePattern);
}

} // namespace aramu
