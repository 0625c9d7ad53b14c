#include "SingleCopy.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace {

// org.freedesktop.DBus.RequestName's flag and answers.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

}  // namespace

void checkSingleCopy(QDBusConnection bus, const QString& name,
                     std::function<void(CopyCheck)> answer) {
    if (!bus.isConnected()) {
        qCWarning(lcApp) << "no session bus; cannot tell whether another copy runs";
        answer(CopyCheck::Unknown);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    call << name << kDoNotQueue;
    // The name stays ours until the process ends, also by a crash: the bus frees it then.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [answer = std::move(answer), name](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         const QDBusPendingReply<uint> reply = *w;
                         if (reply.isError()) {
                             qCWarning(lcApp) << "cannot ask for" << name
                                              << "on the bus:" << reply.error().message();
                             return answer(CopyCheck::Unknown);
                         }
                         const uint code = reply.value();
                         answer(code == kPrimaryOwner || code == kAlreadyOwner
                                    ? CopyCheck::Alone
                                    : CopyCheck::AnotherRuns);
                     });
}
