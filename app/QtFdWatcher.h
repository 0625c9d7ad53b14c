#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "IFdWatcher.h"

class QSocketNotifier;

// The pedals' descriptors on the Qt event loop of the thread that makes this object.
class QtFdWatcher : public IFdWatcher {
public:
    QtFdWatcher();
    ~QtFdWatcher() override;

    void watch(int fd, std::function<void()> readable) override;
    void unwatch(int fd) override;

private:
    QObject m_context;
    std::map<int, QSocketNotifier*> m_notifiers;
};
