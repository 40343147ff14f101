// userlocale.h - the user's locale: the formats the windows show, and a C library that can write Japanese
#pragma once

#include "core/localeformats.h"

namespace desktop {

// The formats of the user's locale, read once.
const aramu::LocaleFormats& UserFormats();

// In the C locale the C library cannot encode Japanese, and Qt writes the old WM_NAME title through it:
// window managers that read only WM_NAME would show mojibake. Takes UTF-8 there, as Python does since
// 3.7; call after QApplication, which sets the locale from the environment.
void UseUtf8InTheCLocale();

} // namespace desktop
