#pragma once

#include <QLineEdit>
#include <QLocale>
#include <string>
#include <vector>

#include "WindowFixture.h"

// A built, unloaded frm1 on fakes, with what the command tests set up and read.
class CommandFixture : public WindowFixture {
protected:
    // Tests try a decimal comma through the default locale; the program's own comes back after.
    void TearDown() override { QLocale::setDefault(m_locale); }
    // Where the players stand and whether each plays when the command starts.
    void stand(double position1, bool playing1, double position2, bool playing2) {
        p1->position = position1;
        p1->playing = playing1;
        p2->position = position2;
        p2->playing = playing2;
    }
    static std::string text(const QLineEdit* field) { return field->text().toStdString(); }

private:
    QLocale m_locale;
};

template <typename Param>
class CommandCases : public CommandFixture, public ::testing::WithParamInterface<Param> {};

// The first `count` entries of a call list.
inline std::vector<std::string> firstCalls(const std::vector<std::string>& calls,
                                           std::size_t count) {
    return {calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(count)};
}
