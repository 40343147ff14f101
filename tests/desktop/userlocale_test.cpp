// The user's locale as the C library is left to read it.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include <cstdlib>

#include "desktop/userlocale.h"

// Where the environment leaves the character type to C, LC_CTYPE names UTF-8 before Qt reads it; whatever
// the user chose instead stays, LC_ALL above all.
TEST(UserLocale, utf8WhereTheEnvironmentLeavesTheCLocale) {
#if !defined(Q_OS_UNIX)
    GTEST_SKIP() << "only a Unix C library takes its character type from LC_ALL, LC_CTYPE and LANG";
#endif
    const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    // Each row: LC_ALL, LC_CTYPE, LANG, then LC_CTYPE after; "-" unset, "_" empty.
    for (const char* row :
         {"- - - C.UTF-8", "- - C C.UTF-8", "_ _ _ C.UTF-8", "- - POSIX C.UTF-8", "- C ja_JP.UTF-8 C.UTF-8",
          "- - ja_JP.UTF-8 -", "- en_US.UTF-8 C en_US.UTF-8", "C - - -", "ja_JP.UTF-8 - C -"}) {
        const QList<QByteArray> cells = QByteArray(row).split(' ');
        for (int i = 0; i < 3; ++i)
            cells[i] == "-" ? qunsetenv(names[i]) : qputenv(names[i], cells[i] == "_" ? QByteArray() : cells[i]);
        desktop::UseUtf8InTheCLocale();
        const char* after = std::getenv("LC_CTYPE");
        EXPECT_STREQ(after ? after : "-", cells[3].constData()) << row;
    }
}
