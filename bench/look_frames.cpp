// look_frames.cpp - pictures of every window as the screen shows them, and of the main window second by
// second across a minute and across midnight and the year, for comparing two builds pixel by pixel.
// Usage: look_frames DIR   (under the look to picture: QT_STYLE_OVERRIDE, FONTCONFIG_FILE, QT_SCALE_FACTOR)
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

#include "desktop/sound.h"
#include "desktop/systemtime.h"
#include "desktop/ticktimer.h"
#include "forms/fonts.h"
#include "windows/frmmsg.h"
#include "windows/frmset.h"
#include "windows/frmtokei.h"
#include "windows/instances.h"

namespace {

struct StillClock final : aramu::Clock {
    QDateTime now;
    aramu::ClockReading Now() const override {
        return aramu::ClockReading{now.date(), now.time(), now.toSecsSinceEpoch(), now.toSecsSinceEpoch()};
    }
};

// What the screen holds of the window once everything asked of it is painted and sent.
bool Save(QWidget* window, const QString& file) {
    QElapsedTimer waited;
    waited.start();
    while (!window->windowHandle()->isExposed() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    return window->screen()->grabWindow(window->winId()).save(file, "PNG");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: look_frames DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    desktop::SetSilent(true);
    forms::InstallFontSubstitutes();
    StillClock clock;
    clock.now = QDateTime(QDate(2026, 12, 6), QTime(9, 59, 50));
    desktop::SetProgramClock(&clock);
    windows::FrmTokei& tokei = windows::frmTokei().Show();
    tokei.findChild<desktop::TickTimer*>()->Stop(); // every tick comes from here
    bool saved = true;
    const QDateTime runs[] = {{QDate(2026, 12, 6), QTime(9, 59, 57)}, {QDate(2026, 12, 31), QTime(23, 59, 57)}};
    for (const QDateTime& start : runs)
        for (int s = 0; s < 6; ++s) {
            clock.now = start.addSecs(s);
            tokei.Timer1_Timer();
            saved = Save(&tokei, dir.filePath(clock.now.toString(QStringLiteral("'tokei-'yyyyMMdd-HHmmss'.png'")))) &&
                    saved;
        }
    QWidget& set = windows::frmSet().Show();
    saved = Save(&set, dir.filePath(QStringLiteral("set.png"))) && saved;
    QWidget& msg = windows::frmMsg().Show();
    saved = Save(&msg, dir.filePath(QStringLiteral("msg.png"))) && saved;
    saved = Save(&tokei, dir.filePath(QStringLiteral("tokei-behind.png"))) && saved;
    return saved ? 0 : 1;
}
