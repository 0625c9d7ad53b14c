#include <QLineEdit>
#include <exception>
#include <stdexcept>

#include "Messages.h"
#include "RegionalNumber.h"
#include "WindowLog.h"
#include "frm1.h"
#include "ui_frm1.h"

namespace {

constexpr double kShortStep = 2.0;
constexpr double kLongStep = 10.0;

double numberIn(const QLineEdit& field) {
    return lenientNumber(field.text().toStdString());
}

}  // namespace

void frm1::com_goto_Click() {
    QLineEdit& field = *ui->time_goto;
    // The field is rewritten before anything moves, so the user sees the second that is
    // actually gone to. A number beyond a double counts as a failed jump.
    double typed = 0.0;
    try {
        typed = numberIn(field);
    } catch (const std::out_of_range& e) {
        logDropped("reading the go-to field", e);
        m_messageBox.show(Messages::kCannotJump);
        return;
    }
    field.setText(QString::fromStdString(regionalNumberText(typed)));

    try {
        Timer1.setInterval(kDisplayInterval);
        const bool wasPlaying = player1Playing();
        if (wasPlaying) {
            pauseBoth();
        }
        // Read back from the regional text: under a decimal comma 12,5 goes to 12.
        moveBoth(numberIn(field));
        resumeOrStopDisplay(wasPlaying);
    } catch (const std::exception& e) {
        logDropped("com_goto", e);
        m_messageBox.show(Messages::kCannotJump);
    }
}

void frm1::ffw_Click() {
    fastForward(kShortStep);
}

void frm1::fffw_Click() {
    fastForward(kLongStep);
}

void frm1::fastForward(double seconds) {
    try {
        Timer1.setInterval(kDisplayInterval);
        const bool wasPlaying = player1Playing();
        if (wasPlaying) {
            pauseBoth();
            alignPlayer2();
        }
        // No bounds: a target past the end goes to the players as it is.
        moveBoth(wmp1->currentPosition() + seconds);
        resumeOrStopDisplay(wasPlaying);
    } catch (const std::exception& e) {
        logDropped("fast-forward", e);
        m_messageBox.show(Messages::kCannotPlay);
    }
}
