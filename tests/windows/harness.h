// harness.h - starts the program's windows in-process with a fake clock and answered boxes
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QtTest>

#include <functional>
#include <vector>

#include "aramu.h"
#include "forms.h"
#include "frmtokei.h"
#include "msgbox.h"
#include "texts.h"

class Harness {
public:
    aramu::FakeClock clock;
    std::vector<runtime::MsgBoxCall> boxes;
    std::function<int(const runtime::MsgBoxCall&)> answer = [](const runtime::MsgBoxCall&) {
        return runtime::MsgAnswer::Ok;
    };

    // Starts as the program does: the main window is shown, and its load handler loads the rest.
    windows::FrmTokei* start() {
        aramu::Alarm() = aramu::AlarmState{};
        aramu::SetFormats(aramu::JapaneseFormats());
        clock.Set({2026, 12, 6}, 7, 0, 0);
        aramu::InstallClock(&clock);
        boxes.clear();
        runtime::SetMsgBoxAnswerer([this](const runtime::MsgBoxCall& call) {
            boxes.push_back(call);
            return answer(call);
        });
        runtime::ResetForms();
        windows::RegisterWindows();
        auto* tokei = qobject_cast<windows::FrmTokei*>(runtime::ShowForm(windows::FrmTokeiName));
        // The test drives every tick itself.
        tokei->Timer1->stop();
        return tokei;
    }

    // Unloaded windows go at the next turn of the event loop.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    void stop() {
        runtime::ResetForms();
        settle();
        runtime::SetMsgBoxAnswerer({});
        aramu::InstallClock(nullptr);
    }

    static int openWindows() {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->isVisible() ? 1 : 0;
        return n;
    }

    template <class T> static T* form(const QString& name) { return qobject_cast<T*>(runtime::FindForm(name)); }
};

inline QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}
inline const QString& Text(const QString& text) {
    return text;
}
// One data row of text cells on one line.
template <class... Cells> void Row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << Text(cells));
}

inline QColor PixelAt(QWidget* window, int x, int y) {
    return window->grab().toImage().pixelColor(x, y);
}
