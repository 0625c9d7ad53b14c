#include "PedalSettings.h"

#include "PedalLogging.h"

PedalControl::MiddleMode middlePedalMode(const QSettings& settings) {
    const QString value = settings.value("pedals/middle", "hold").toString().trimmed().toLower();
    if (value == "toggle")
        return PedalControl::MiddleMode::Toggle;
    if (value != "hold") {
        qCWarning(lcPedals) << "pedals/middle in" << settings.fileName() << "is" << value
                            << "- neither hold nor toggle; the middle pedal plays while held";
    }
    return PedalControl::MiddleMode::Hold;
}
