#include "power_watch.h"

#include <QDBusConnection>

namespace quellix::dui::qt {

PowerWatch::PowerWatch(std::function<void(bool)> onSleep, QObject* parent)
    : QObject(parent), onSleep_(std::move(onSleep)) {}

bool PowerWatch::start() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    return bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                       "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                       SLOT(prepareForSleep(bool)));
}

void PowerWatch::prepareForSleep(bool sleeping) {
    if (onSleep_) {
        onSleep_(sleeping);
    }
}

} // namespace quellix::dui::qt
