#include "StoredControls.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>
#include <utility>

#include "SettingsFile.h"
#include "frm1.h"

Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace {

const QString kSpeed = QStringLiteral("controls/speed");
const QString kStepBack = QStringLiteral("controls/step_back");

// The value under the key, or the fallback when it is missing (silently) or is no number in
// lowest..highest (logged).
double number(const QSettings& settings, const QString& key, double lowest, double highest,
              double fallback) {
    if (!settings.contains(key))
        return fallback;
    const QString text = settings.value(key).toString();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok && value >= lowest && value <= highest)
        return value;
    qCWarning(lcApp).nospace().noquote()
        << key << " in " << settings.fileName() << " is '" << text << "', not a number from "
        << lowest << " to " << highest << "; it starts at " << fallback;
    return fallback;
}

}  // namespace

StoredControls::StoredControls() : m_path(settingsFilePath()) {}

StoredControls::StoredControls(QString path) : m_path(std::move(path)) {}

StoredControls::Values StoredControls::read() const {
    const Values defaults;
    const QFileInfo file(m_path);
    if (file.exists() && !file.isReadable()) {
        qCWarning(lcApp) << "cannot read" << m_path << "; the speed and the step back start at"
                         << defaults.speed << "and" << defaults.stepBack;
        return defaults;
    }
    const QSettings settings(m_path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcApp) << m_path << "is no settings file; the speed and the step back start at"
                         << defaults.speed << "and" << defaults.stepBack;
        return defaults;
    }
    return {number(settings, kSpeed, frm1::kSlowest, frm1::kFastest, defaults.speed),
            number(settings, kStepBack, 0.0, frm1::kLongestStepBack, defaults.stepBack)};
}

bool StoredControls::write(const Values& values) const {
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(kSpeed, values.speed);
    settings.setValue(kStepBack, values.stepBack);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    qCWarning(lcApp) << "cannot keep the speed and the step back in" << m_path;
    return false;
}

void StoredControls::keep(frm1& window) const {
    const Values values = read();
    // Both are in range here; the window rounds them to its steps.
    window.setSpeed(values.speed);
    window.setStepBackOnResume(values.stepBack);
    window.onSettingsChanged = [stored = *this, &window] {
        stored.write({window.speed(), window.stepBackOnResume()});
    };
}
