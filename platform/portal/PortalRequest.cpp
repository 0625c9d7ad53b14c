#include "PortalRequest.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QUuid>

#include "PortalTypes.h"

Q_DECLARE_LOGGING_CATEGORY(lcPortal)

PortalRequest::PortalRequest(QDBusConnection bus, Done done, QObject* owner)
    : QObject(owner), m_bus(std::move(bus)), m_done(std::move(done)) {}

void PortalRequest::start(QDBusConnection bus, const QString& method, QVariantList args,
                          QVariantMap options, Done done, QObject* owner) {
    auto* request = new PortalRequest(bus, std::move(done), owner);
    const QString token = QStringLiteral("pellucor_") + QUuid::createUuid().toString(QUuid::Id128);
    options.insert(QStringLiteral("handle_token"), token);
    request->listen(Portal::kPath + QStringLiteral("/request/") +
                    Portal::senderPart(bus.baseService()) + QLatin1Char('/') + token);

    QDBusMessage call =
        QDBusMessage::createMethodCall(Portal::kService, Portal::kPath, Portal::kShortcuts, method);
    args.append(options);
    call.setArguments(args);
    // The user may take their time in the desktop's dialog: the answer comes as Response,
    // the call itself only hands back the request's path.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request,
            [request, method](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    request->finish(2, {}, method + QStringLiteral(": ") + reply.error().message());
                    return;
                }
                // Portals before handle_token existed chose their own path.
                if (reply.value().path() != request->m_path)
                    request->listen(reply.value().path());
            });
}

void PortalRequest::listen(const QString& path) {
    if (!m_path.isEmpty()) {
        m_bus.disconnect(Portal::kService, m_path, Portal::kRequest, QStringLiteral("Response"),
                         this, SLOT(response(uint, QVariantMap)));
    }
    m_path = path;
    if (!m_bus.connect(Portal::kService, m_path, Portal::kRequest, QStringLiteral("Response"), this,
                       SLOT(response(uint, QVariantMap)))) {
        qCWarning(lcPortal) << "cannot listen for the portal's answer on" << m_path;
    }
}

void PortalRequest::response(uint code, const QVariantMap& results) {
    finish(code, results,
           code == 1 ? QStringLiteral("declined by the user")
                     : QStringLiteral("refused by the desktop"));
}

void PortalRequest::finish(uint code, const QVariantMap& results, const QString& why) {
    if (m_finished)
        return;
    m_finished = true;
    m_bus.disconnect(Portal::kService, m_path, Portal::kRequest, QStringLiteral("Response"), this,
                     SLOT(response(uint, QVariantMap)));
    deleteLater();
    m_done(code, results, code == 0 ? QString() : why);
}
