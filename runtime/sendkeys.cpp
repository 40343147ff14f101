#include "sendkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <stdexcept>
#include <utility>
#include <vector>

namespace runtime {

void SendKeys(const QString& keys) {
    static const std::pair<QString, Qt::Key> named[] = {
        {QStringLiteral("{home}"), Qt::Key_Home},
        {QStringLiteral("{end}"), Qt::Key_End},
    };
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> strokes;
    Qt::KeyboardModifiers pending;
    qsizetype i = 0;
    while (i < keys.size()) {
        if (keys[i] == u'+') {
            pending |= Qt::ShiftModifier;
            ++i;
            continue;
        }
        bool matched = false;
        for (const auto& [text, key] : named) {
            if (keys.mid(i, text.size()).compare(text, Qt::CaseInsensitive) == 0) {
                strokes.emplace_back(key, pending);
                pending = {};
                i += text.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            throw std::invalid_argument("SendKeys: unsupported key text at \"" + keys.mid(i).toStdString() + "\"");
    }
    if (pending != Qt::KeyboardModifiers{})
        throw std::invalid_argument("SendKeys: \"+\" must be followed by a key");

    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        return;
    for (const auto& [key, modifiers] : strokes) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, modifiers));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, modifiers));
    }
}

} // namespace runtime
