#pragma once

#include <QSettings>

#include "PedalControl.h"

// The middle pedal's mode from the settings file: pedals/middle=hold (the default) or toggle.
// Another value is logged and the default used.
PedalControl::MiddleMode middlePedalMode(const QSettings& settings);
