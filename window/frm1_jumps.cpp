#include <QLineEdit>
#include <exception>
#include <stdexcept>

#include "RegionalNumber.h"
#include "frm1.h"
#include "ui_frm1.h"

namespace {

const char* const kCannotJump = "Fehler: Sprung nicht möglich!\"";
const char* const kCannotPlay = "Fehler: Mediadatei kann nicht abgespielt werden";

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
    } catch (const std::out_of_range&) {
        m_messageBox.show(kCannotJump);
        return;
    }
    field.setText(QString::fromStdString(regionalNumberText(typed)));

    try {
        Timer1.setInterval(kDisplayInterval);
        const bool wasPlaying = wmp1->playState() == IMediaPlayer::kPlaying;
        if (wasPlaying) {
            wmp1->pause();
            wmp2->pause();
        }
        // Read back from the regional text: under a decimal comma 12,5 goes to 12.
        const double target = numberIn(field);
        wmp1->setCurrentPosition(target);
        wmp2->setCurrentPosition(target);
        if (wasPlaying) {
            wmp1->play();
            wmp2->play();
        } else {
            Timer1.setInterval(0);
        }
    } catch (const std::exception&) {
        m_messageBox.show(kCannotJump);
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
        const bool wasPlaying = wmp1->playState() == IMediaPlayer::kPlaying;
        if (wasPlaying) {
            wmp1->pause();
            wmp2->pause();
            wmp2->setCurrentPosition(wmp1->currentPosition());
        }
        // No bounds: a target past the end goes to the players as it is.
        const double target = wmp1->currentPosition() + seconds;
        wmp1->setCurrentPosition(target);
        wmp2->setCurrentPosition(target);
        if (wasPlaying) {
            wmp1->play();
            wmp2->play();
        } else {
            Timer1.setInterval(0);
        }
    } catch (const std::exception&) {
        m_messageBox.show(kCannotPlay);
    }
}
