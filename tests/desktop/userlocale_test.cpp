// The user's locale as the C library is left to read it.
#include <gtest/gtest.h>

#include <QByteArray>

#include <string>

#include "desktop/userlocale.h"

// Where the environment leaves the character type to C, LC_CTYPE names UTF-8 before Qt reads it; whatever
// the user chose instead stays, LC_ALL above all.
TEST(UserLocale, utf8WhereTheEnvironmentLeavesTheCLocale) {
    // "-": unset
    const struct {
        std::string all, ctype, lang, ctypeAfter;
    } cases[] = {
        {"-", "-", "-", "C.UTF-8"},
        {"-", "-", "C", "C.UTF-8"},
        {"", "", "", "C.UTF-8"},
        {"-", "-", "POSIX", "C.UTF-8"},
        {"-", "C", "ja_JP.UTF-8", "C.UTF-8"},
        {"-", "-", "ja_JP.UTF-8", "-"},
        {"-", "en_US.UTF-8", "C", "en_US.UTF-8"},
        {"C", "-", "-", "-"},
        {"ja_JP.UTF-8", "-", "C", "-"},
    };
    const auto put = [](const char* name, const std::string& value) {
        value == "-" ? qunsetenv(name) : qputenv(name, value.c_str());
    };
    for (const auto& c : cases) {
        put("LC_ALL", c.all), put("LC_CTYPE", c.ctype), put("LANG", c.lang);
        desktop::UseUtf8InTheCLocale();
        const QByteArray after = qEnvironmentVariableIsSet("LC_CTYPE") ? qgetenv("LC_CTYPE") : "-";
        EXPECT_EQ(after.toStdString(), c.ctypeAfter) << c.all << ' ' << c.ctype << ' ' << c.lang;
    }
}
