// main.cpp - starts ルピカ時計: the main window, its clock, and the program's few options
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

#include <cstdio>
#include <optional>
#include <vector>

#include "desktop/display.h"
#include "desktop/endsignals.h"
#include "desktop/identity.h"
#include "desktop/power.h"
#include "desktop/said.h"
#include "desktop/sound.h"
#include "desktop/userlocale.h"
#include "forms/fonts.h"
#include "forms/forms.h"
#include "version.h"
#include "windows/frmtokei.h"
#include "windows/instances.h"

namespace {

// The options Qt documents for every QGuiApplication and QApplication, and those of the X11 platform
// it runs on: QApplication takes them for itself, but the parser sees them first and must know them
// to tell them from mistakes, and to know which of them take the next argument as their value.
struct QtOption {
    const char* name;
    const char* value; // nullptr where it takes none
    const char* description;
    bool joined = false; // Qt reads its value only after '=', never as the next argument
};
constexpr QtOption QtOptions[] = {
    {"platform", "name[:options]", "The platform plugin (xcb, wayland, offscreen, ...)."},
    {"platformpluginpath", "path", "Where to look for platform plugins."},
    {"platformtheme", "theme", "The platform theme."},
    {"plugin", "plugin", "An additional plugin to load."},
    {"qmljsdebugger", "port:port[,block]", "Activates the QML/JS debugger.", true},
    {"qwindowgeometry", "geometry", "The main window's geometry, as WxH+X+Y."},
    {"qwindowicon", "icon", "The windows' icon."},
    {"qwindowtitle", "title", "The main window's title until its first tick, which puts the time there."},
    {"reverse", nullptr, "Lays the windows out from right to left."},
    {"session", "session", "Restores an earlier session."},
    {"style", "style", "The widget style."},
    {"stylesheet", "file", "A style sheet for the widgets."},
    {"widgetcount", nullptr, "Reports at the end how many widgets were left."},
    {"testability", nullptr, "Loads the testability plugin."},
    {"display", "host:screen", "The X display, instead of DISPLAY."},
    {"geometry", "geometry", "On X, the same as --qwindowgeometry."},
    {"title", "title", "On X, the same as --qwindowtitle."},
    {"icon", "icon", "On X, the same as --qwindowicon."},
    {"name", "name", "On X, the windows' instance name."},
    {"visual", "id", "On X, the visual to draw with."},
    {"nograb", nullptr, "On X, never grabs the mouse or the keyboard."},
    {"dograb", nullptr, "On X, grabs them even under a debugger."},
};

struct Options {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Render the main window after its first tick into a PNG file and exit."),
        QStringLiteral("FILE")};
    QCommandLineOption silent{QStringLiteral("silent"), QStringLiteral("Play no sounds, not even the alarm's.")};
    // Qt's options are listed by --help-all alone.
    explicit Options(bool qtOptionsListed = false) {
        parser.setApplicationDescription(QStringLiteral("ルピカ時計 - a desktop alarm clock"));
        parser.addOption(screenshot);
        parser.addOption(silent);
        // Qt spells its options with one dash, and takes them with two as well.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        for (const QtOption& qt : QtOptions) {
            QCommandLineOption option(QString::fromLatin1(qt.name), QString::fromLatin1(qt.description),
                                      qt.value ? QString::fromLatin1(qt.value) : QString());
            if (!qtOptionsListed)
                option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }
};

const QtOption* FindQtOption(const QByteArray& name) {
    for (const QtOption& qt : QtOptions)
        if (name == qt.name)
            return &qt;
    return nullptr;
}

// The parser takes "--name=value" for every option with a value, but Qt reads '=' for only a few of its
// own and passes over the rest unread, "-platform=offscreen" among them. So Qt is handed each of its
// options as it reads them: "-name value", or "-name=value" where that is the only form it knows.
class QtArguments {
public:
    QtArguments(int argc, char* argv[]) {
        bool optionsEnded = false;
        for (int i = 0; i < argc; ++i) {
            const QByteArray arg(argv[i]);
            if (i == 0 || optionsEnded || arg.size() < 2 || !arg.startsWith('-')) {
                args_.push_back(arg);
                continue;
            }
            optionsEnded = arg == "--";
            const QByteArray spelled = arg.mid(arg.startsWith("--") ? 2 : 1);
            const qsizetype equals = spelled.indexOf('=');
            const QByteArray name = equals < 0 ? spelled : spelled.left(equals);
            const QtOption* qt = FindQtOption(name);
            if (name == "screenshot" && equals < 0 && i + 1 < argc) {
                args_.push_back(arg); // its value may begin with a dash, and is no option
                args_.push_back(argv[++i]);
                continue;
            }
            if (qt == nullptr || qt->value == nullptr || (equals < 0 && !qt->joined)) {
                args_.push_back(arg);
                if (qt != nullptr && qt->value != nullptr && i + 1 < argc)
                    args_.push_back(argv[++i]);
                continue;
            }
            const QByteArray value = equals >= 0 ? spelled.mid(equals + 1) : QByteArray(i + 1 < argc ? argv[++i] : "");
            if (qt->joined) {
                args_.push_back('-' + name + '=' + value);
            } else {
                args_.push_back('-' + name);
                args_.push_back(value);
            }
        }
        for (QByteArray& arg : args_)
            pointers_.push_back(arg.data());
        pointers_.push_back(nullptr);
        argc_ = int(args_.size());
    }
    // QApplication keeps both, and takes its own options out of the list.
    int& argc() { return argc_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<QByteArray> args_;
    std::vector<char*> pointers_;
    int argc_ = 0;
};

void Describe() {
    QCoreApplication::setApplicationName(QStringLiteral("rupika-tokei"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RUPIKA_VERSION_TEXT));
    // Wayland desktops find the menu entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(RUPIKA_APP_ID));
    // The sound server and the notification service list the program by these.
    desktop::SetIdentity({QStringLiteral("ルピカ時計"), QStringLiteral(RUPIKA_APP_ID), QStringLiteral("rupika-tokei")});
}

} // namespace

int main(int argc, char* argv[]) {
    desktop::SayWhereStarted();
    desktop::UseUtf8InTheCLocale();
    Describe();
    // Mistakes, help and version are answered before QApplication opens a display,
    // so they work where there is none.
    Options options;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QString error;
    if (!options.parser.parse(arguments))
        error = options.parser.errorText();
    else if (!options.parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unexpected argument '%1'.").arg(options.parser.positionalArguments().constFirst());
    if (!error.isEmpty()) {
        qCWarning(desktop::Said, "%s\nTry 'rupika-tokei --help' for more information.", qUtf8Printable(error));
        return 1;
    }
    // Printed here rather than by the parser, which on Windows shows a box where it sees no console.
    if (options.parser.isSet(QStringLiteral("help-all"))) {
        // Qt's own list would add only QCoreApplication's options, the one application there is yet.
        QCoreApplication core(argc, argv);
        std::fputs(qPrintable(Options(true).parser.helpText()), stdout);
        return 0;
    }
    if (options.parser.isSet(options.help)) {
        QCoreApplication core(argc, argv);
        std::fputs(qPrintable(options.parser.helpText()), stdout);
        return 0;
    }
    if (options.parser.isSet(options.version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    std::optional<desktop::DisplayChoice> display;
    bool outOfSight = false;
    if (options.parser.isSet(options.screenshot)) {
        outOfSight = desktop::ChooseScreenshotPlatform(options.parser.isSet(QStringLiteral("platform")));
        // It is no session either: Qt's notes on what one lacks go unsaid.
        QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false\nqt.*.warning=false"));
    } else {
        // Qt aborts, with a core dump, where it can open no display; ask before it tries. Under Wayland
        // no window can stay above the others or place itself, so X (Xwayland) goes first.
        const QByteArray requested = options.parser.isSet(QStringLiteral("platform"))
                                         ? options.parser.value(QStringLiteral("platform")).toLocal8Bit()
                                         : qgetenv("QT_QPA_PLATFORM");
        // Qt's -display stands for DISPLAY, which is asked before Qt sees the option.
        if (options.parser.isSet(QStringLiteral("display")))
            qputenv("DISPLAY", options.parser.value(QStringLiteral("display")).toLocal8Bit());
        display.emplace(requested);
        if (!display->Platform()) {
            qCWarning(desktop::Said, "no display to open (neither X nor Wayland answers); "
                                     "--screenshot FILE renders the clock without one");
            return 1;
        }
        if (!display->Platform()->isEmpty())
            qputenv("QT_QPA_PLATFORM", *display->Platform());
    }
    // A window this small gains nothing from shared-memory images, whose completion events would wake
    // the program once more every second it redraws the clock.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");

    QtArguments qtArguments(argc, argv);
    QApplication app(qtArguments.argc(), qtArguments.argv());
    if (display)
        display->Release();
    desktop::UseUtf8UnderLcAllC();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/window.png")));
    // Only "終" ends the program, never the last window going out of sight.
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt's own texts, such as the fields' context menus, speak Japanese like the rest of the program
    // where Qt's translations are installed (the boxes name their buttons themselves).
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    desktop::SetSilent(options.parser.isSet(options.silent));
    forms::InstallFontSubstitutes();
    windows::FrmTokei& tokei = windows::frmTokei().Load();
    tokei.setAttribute(Qt::WA_DontShowOnScreen, outOfSight);
    tokei.ShowLoaded();
    if (options.parser.isSet(options.screenshot)) {
        tokei.Timer1_Timer();
        QApplication::processEvents();
        const QString file = options.parser.value(options.screenshot);
        if (!tokei.grab().save(file, "PNG")) {
            qCWarning(desktop::Said, "cannot write %s", qUtf8Printable(file));
            return 1;
        }
        std::printf("%s\n", qUtf8Printable(file));
        return 0;
    }
    // A clock killed earlier may have left a wake for an alarm no program rings any more.
    desktop::ProgramPower().StopLeftovers();
    // Asked to end by a signal, the program ends as when 終 is confirmed.
    desktop::OnEndSignals(forms::EndProgram);
    const int status = QApplication::exec();
    // The system would go on waking the machine for an alarm no program rings.
    desktop::ProgramPower().Release();
    return status;
}
