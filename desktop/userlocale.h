// userlocale.h - the user's locale: the formats the windows show, and a C library that can write Japanese
#pragma once

#include "core/localeformats.h"

namespace desktop {

// The formats of the user's locale, read once.
const aramu::LocaleFormats& UserFormats();

// In the C locale the C library cannot encode Japanese, and Qt writes the old WM_NAME title through it:
// window managers that read only WM_NAME would show mojibake. Qt 6.8 switches to UTF-8 by itself, but
// first says so on standard error, ahead of anything the program prints. So where the environment leaves
// the character type to the C locale, LC_CTYPE names C.UTF-8 instead, as Python does since 3.7; LC_ALL
// is the user's word for every category and stays. Call before the first QCoreApplication, which sets
// the locale from the environment.
void UseUtf8InTheCLocale();

// Under LC_ALL=C, a Qt that does not switch by itself (6.4) leaves the C library in ASCII: this takes
// UTF-8 for the character type alone. Call after QApplication.
void UseUtf8UnderLcAllC();

} // namespace desktop
