// main.cpp - starts ルピカ時計: the main window, its clock, and the program's few options
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "aramu.h"
#include "fonts.h"
#include "forms.h"
#include "frmtokei.h"
#include "platformlocale.h"
#include "texts.h"
#include "version.h"

namespace {

struct Options {
    QCommandLineParser parser;
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Render the main window after its first tick into a PNG file and exit."),
        QStringLiteral("FILE")};
    Options() {
        parser.setApplicationDescription(QStringLiteral("ルピカ時計 - a desktop alarm clock"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(screenshot);
    }
};

bool HasArgument(int argc, char* argv[], std::initializer_list<std::string_view> names) {
    for (int i = 1; i < argc; ++i)
        for (std::string_view name : names)
            if (std::string_view(argv[i]).starts_with(name))
                return true;
    return false;
}

void Describe() {
    QCoreApplication::setApplicationName(QStringLiteral("rupika-tokei"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RUPIKA_VERSION_TEXT));
}

} // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display.
    if (HasArgument(argc, argv, {"-h", "--help", "-v", "--version", "-?"})) {
        QCoreApplication core(argc, argv);
        Describe();
        Options options;
        options.parser.process(core);
        return 0;
    }
    // A screenshot needs no screen either: render offscreen when there is none.
    if (HasArgument(argc, argv, {"--screenshot"}) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    Describe();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/window.png")));
    // Only "終" ends the program, never the last window going out of sight.
    QApplication::setQuitOnLastWindowClosed(false);
    Options options;
    options.parser.process(app);

    // The boxes' own buttons speak Japanese like the rest of the program, whatever the locale.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    runtime::InstallFontSubstitutes();
    aramu::SetFormats(runtime::FormatsFromLocale(QLocale::system()));
    windows::RegisterWindows();

    auto* tokei = qobject_cast<windows::FrmTokei*>(runtime::ShowForm(windows::FrmTokeiName));
    if (options.parser.isSet(options.screenshot)) {
        tokei->Timer1_Timer();
        QApplication::processEvents();
        const QString file = options.parser.value(options.screenshot);
        if (!tokei->grab().save(file, "PNG")) {
            std::fprintf(stderr, "rupika-tokei: cannot write %s\n", qUtf8Printable(file));
            return 1;
        }
        std::printf("%s\n", qUtf8Printable(file));
        return 0;
    }
    return QApplication::exec();
}
