// tick_phase.cpp - how long after each tenth of a second the clock's tick actually runs
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ticktimer.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::vector<qint64> lateness; // milliseconds past the boundary each tick serves
    runtime::TickTimer timer(100, [&] { lateness.push_back(QDateTime::currentMSecsSinceEpoch() % 100); });
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    timer.start();
    QTimer::singleShot(10'000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    QCoreApplication::exec();

    lateness.erase(lateness.begin()); // the first tick comes at once, not on a boundary
    std::sort(lateness.begin(), lateness.end());
    std::printf("ticks: %zu in %lld ms\n", lateness.size() + 1,
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch() - started));
    std::printf("ms after the tenth: median %lld, 95th percentile %lld, max %lld\n",
                static_cast<long long>(lateness[lateness.size() / 2]),
                static_cast<long long>(lateness[lateness.size() * 95 / 100]), static_cast<long long>(lateness.back()));
    return 0;
}
