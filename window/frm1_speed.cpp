// The speed of both players and the step back on resume.
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <cstdio>
#include <exception>

#include "Messages.h"
#include "RegionalNumber.h"
#include "WindowLog.h"
#include "frm1.h"
#include "ui_frm1.h"

namespace {

// To the nearest step; a value within rounding of the range counts as in it.
bool inSteps(double value, double lowest, double highest, double step, double& rounded) {
    if (!std::isfinite(value) || value < lowest - 1e-9 || value > highest + 1e-9)
        return false;
    rounded = std::round(value / step) * step;
    return true;
}

}  // namespace

void frm1::wireSpeedControls() {
    connect(ui->slower, &QPushButton::clicked, this, &frm1::slower_Click);
    connect(ui->faster, &QPushButton::clicked, this, &frm1::faster_Click);
    connect(ui->speed_normal, &QPushButton::clicked, this, &frm1::speed_normal_Click);
    ui->step_back->setRange(0.0, kLongestStepBack);
    ui->step_back->setSingleStep(0.5);
    ui->step_back->setDecimals(1);
    connect(ui->step_back, &QDoubleSpinBox::valueChanged, this, [this](double seconds) {
        if (seconds != m_stepBack && setStepBackOnResume(seconds) && onSettingsChanged)
            onSettingsChanged();
    });
    showSpeed();
}

void frm1::showSpeed() {
    char text[32];
    std::snprintf(text, sizeof text, "speed %.2f", m_speed);
    std::string shown = text;
    shown.replace(shown.find('.'), 1, regionalDecimalSeparator());
    ui->speed_text->setText(QString::fromStdString(shown + "\u00d7"));
    ui->slower->setEnabled(m_speed > kSlowest + 1e-9);
    ui->faster->setEnabled(m_speed < kFastest - 1e-9);
}

bool frm1::setSpeed(double speed) {
    double rounded = 0.0;
    if (!inSteps(speed, kSlowest, kFastest, kSpeedStep, rounded))
        return false;
    if (rounded == m_speed)
        return true;
    m_speed = rounded;
    m_follower.setSpeed(rounded);
    showSpeed();
    if (geladen1 && geladen2) {
        try {
            applySpeed();
        } catch (const std::exception& e) {
            logDropped("changing the speed", e);
            m_messageBox.show(Messages::kCannotPlay);
        }
    }
    return true;
}

// Player 1 at the speed, player 2 at its own through the follower; keeping the pitch only
// away from the normal speed, where the follower's small changes go by resampling.
void frm1::applySpeed() {
    const bool keep = m_speed != 1.0;
    if (keep != m_pitchKept) {
        wmp1->setKeepPitch(keep);
        wmp2->setKeepPitch(keep);
        m_pitchKept = keep;
    }
    if (wmp1->currentRate() != m_speed) {
        wmp1->setRate(m_speed);
        // A start soon after a change of speed plays the first moments at whichever speed
        // each player's sound chain took up by then, and the two are heard apart. Moved now,
        // both take the new speed up before they are started.
        if (!player1Playing()) {
            wmp1->setCurrentPosition(wmp1->currentPosition());
            alignPlayer2();
        }
    }
    if (m_follower.engaged()) {
        m_follower.engage();  // what it read before was at the old speed
        m_follower.keepToBaseRate(*wmp2);
    } else if (!m_player2Waits || !player1Playing()) {
        m_follower.disengage(*wmp2);
    }
}

void frm1::slower_Click() {
    if (setSpeed(std::max(kSlowest, m_speed - kSpeedStep)) && onSettingsChanged)
        onSettingsChanged();
}

void frm1::faster_Click() {
    if (setSpeed(std::min(kFastest, m_speed + kSpeedStep)) && onSettingsChanged)
        onSettingsChanged();
}

void frm1::speed_normal_Click() {
    if (setSpeed(1.0) && onSettingsChanged)
        onSettingsChanged();
}

bool frm1::setStepBackOnResume(double seconds) {
    double rounded = 0.0;
    if (!inSteps(seconds, 0.0, kLongestStepBack, 0.5, rounded))
        return false;
    m_stepBack = rounded;
    if (ui->step_back->value() != rounded)
        ui->step_back->setValue(rounded);
    return true;
}
