#include "QtFdWatcher.h"

#include <QSocketNotifier>

QtFdWatcher::QtFdWatcher() = default;

QtFdWatcher::~QtFdWatcher() {
    for (const auto& [fd, notifier] : m_notifiers)
        delete notifier;
}

void QtFdWatcher::watch(int fd, std::function<void()> readable) {
    unwatch(fd);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &m_context);
    QObject::connect(notifier, &QSocketNotifier::activated, &m_context,
                     [readable = std::move(readable)] { readable(); });
    m_notifiers[fd] = notifier;
}

// A notifier may be the one whose signal runs now: it goes once the loop is back.
void QtFdWatcher::unwatch(int fd) {
    const auto it = m_notifiers.find(fd);
    if (it == m_notifiers.end())
        return;
    it->second->setEnabled(false);
    it->second->deleteLater();
    m_notifiers.erase(it);
}
