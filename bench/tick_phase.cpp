// tick_phase.cpp - how long after each second of the wall clock the clock's tick actually runs
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "desktop/ticktimer.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    std::vector<qint64> lateness; // milliseconds past the second each tick serves
    desktop::TickTimer timer([&] { lateness.push_back(QDateTime::currentMSecsSinceEpoch() % 1000); });
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    timer.Start();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    QCoreApplication::exec();

    lateness.erase(lateness.begin()); // the first tick comes at once, not on a boundary
    std::sort(lateness.begin(), lateness.end());
    std::printf("ticks: %zu in %lld ms\n", lateness.size() + 1,
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch() - started));
    std::printf("ms after the second: median %lld, 95th percentile %lld, max %lld\n",
                static_cast<long long>(lateness[lateness.size() / 2]),
                static_cast<long long>(lateness[lateness.size() * 95 / 100]), static_cast<long long>(lateness.back()));
    return 0;
}
