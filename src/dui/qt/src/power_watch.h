#pragma once
// Suspend and resume as the desktop's login manager announces them
// (logind's PrepareForSleep on the system bus).  Without a system bus, or
// without logind, the program runs on and never hears of a suspend.

#include <QObject>
#include <functional>

namespace quellix::dui::qt {

class PowerWatch : public QObject {
    Q_OBJECT
public:
    // `onSleep(true)` before the system sleeps, `onSleep(false)` after it
    // woke up.  False from start() when no announcement can be heard.
    explicit PowerWatch(std::function<void(bool)> onSleep, QObject* parent = nullptr);
    bool start();

public slots:
    void prepareForSleep(bool sleeping);

private:
    std::function<void(bool)> onSleep_;
};

} // namespace quellix::dui::qt
