#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <functional>

// One call to the portal that answers through a Request object's Response signal. The
// Response is subscribed to before the call goes out, on the path the portal will use, so
// that a quick answer is never missed. The object deletes itself after its one answer.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    // code: 0 granted, 1 cancelled by the user, 2 anything else (also a failed call).
    using Done = std::function<void(uint code, const QVariantMap& results, const QString& why)>;

    // Calls method on the portal's GlobalShortcuts interface with args, to which the options
    // (with a fresh handle_token) are appended.
    static void start(QDBusConnection bus, const QString& method, QVariantList args,
                      QVariantMap options, Done done, QObject* owner);

private slots:
    void response(uint code, const QVariantMap& results);

private:
    PortalRequest(QDBusConnection bus, Done done, QObject* owner);
    void listen(const QString& path);
    void finish(uint code, const QVariantMap& results, const QString& why);

    QDBusConnection m_bus;
    Done m_done;
    QString m_path;
    bool m_finished = false;
};
