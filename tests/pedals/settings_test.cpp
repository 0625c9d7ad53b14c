#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "NamedCases.h"
#include "PedalSettings.h"

// The middle pedal's mode as the settings file gives it.

namespace {

struct Mode {
    const char* name;
    const char* written;  // nullptr: not in the file
    PedalControl::MiddleMode mode;
};

using MiddlePedalSetting = ::testing::TestWithParam<Mode>;

TEST_P(MiddlePedalSetting, ChoosesHoldUnlessToggleIsWritten) {
    const Mode& m = GetParam();
    QTemporaryDir dir;
    QSettings settings(dir.filePath("pellucor.conf"), QSettings::IniFormat);
    if (m.written)
        settings.setValue("pedals/middle", m.written);
    EXPECT_EQ(middlePedalMode(settings), m.mode);
}

INSTANTIATE_TEST_SUITE_P(
    Values, MiddlePedalSetting,
    ::testing::Values(Mode{"Absent", nullptr, PedalControl::MiddleMode::Hold},
                      Mode{"Hold", "hold", PedalControl::MiddleMode::Hold},
                      Mode{"Toggle", "toggle", PedalControl::MiddleMode::Toggle},
                      Mode{"ToggleInCapitals", " Toggle", PedalControl::MiddleMode::Toggle},
                      Mode{"NonsenseFallsBackToHold", "sometimes", PedalControl::MiddleMode::Hold}),
    byName);

}  // namespace
