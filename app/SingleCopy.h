#pragma once

#include <QDBusConnection>
#include <QString>
#include <functional>

// Whether this copy is the only one on the session: on X11 the key grabs tell, with a portal
// the program's own name on the bus does. The name is asked for without waiting; the answer
// comes from the event loop.
enum class CopyCheck { Alone, AnotherRuns, Unknown };

void checkSingleCopy(QDBusConnection bus, const QString& name,
                     std::function<void(CopyCheck)> answer);
