// Player 2's offset from player 1: shown, typed, nudged, reset, and found from the sound.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "Messages.h"
#include "RegionalNumber.h"
#include "WindowLog.h"
#include "frm1.h"
#include "ui_frm1.h"

void frm1::wireOffsetControls() {
    m_player2Join.setSingleShot(true);
    m_player2Join.setTimerType(Qt::PreciseTimer);
    connect(&m_player2Join, &QTimer::timeout, this, [this] {
        try {
            join_player2();
        } catch (const std::exception& e) {
            logDropped("player 2 joining", e);
        }
    });
    const struct {
        QPushButton* button;
        double seconds;
    } nudges[] = {
        {ui->nudge_back_1s, -1.0}, {ui->nudge_back_100ms, -0.1}, {ui->nudge_back_10ms, -0.01},
        {ui->nudge_on_10ms, 0.01}, {ui->nudge_on_100ms, 0.1},    {ui->nudge_on_1s, 1.0},
    };
    for (const auto& nudge : nudges) {
        const double seconds = nudge.seconds;
        connect(nudge.button, &QPushButton::clicked, this,
                [this, seconds] { nudgeOffset(seconds); });
    }
    connect(ui->offset_field, &QLineEdit::returnPressed, this, &frm1::offset_set_Click);
    connect(ui->offset_set, &QPushButton::clicked, this, &frm1::offset_set_Click);
    connect(ui->offset_reset, &QPushButton::clicked, this, &frm1::offset_reset_Click);
    connect(ui->align, &QPushButton::clicked, this, &frm1::align_Click);
    connect(ui->align_menu, &QAction::triggered, this, &frm1::align_Click);
    connect(ui->align_cancel, &QPushButton::clicked, this, &frm1::align_cancel_Click);
    connect(ui->align_apply, &QPushButton::clicked, this, &frm1::align_apply_Click);
    showOffset();
    showAligning(false);
    setAligner(nullptr);
}

void frm1::showOffset() {
    ui->offset_text->setText(QString::fromStdString(offsetText(m_offset)));
}

void frm1::setPlayer2Offset(const Player2Offset& offset) {
    m_offset = offset;
    m_follower.setOffset(offset);
    showOffset();
    if (!geladen1 || !geladen2)
        return;
    try {
        if (!player1Playing()) {
            alignPlayer2();
            return;
        }
        // Player 1 plays on; player 2 alone goes to its new place.
        const bool waited = m_player2Waits;
        const double position1 = wmp1->positionNow();
        m_player2Join.stop();
        if (!waited && offset.player2At(position1) < 0.0) {
            m_follower.disengage(*wmp2);
            m_followTimer.setInterval(0);
            wmp2->pause();
        }
        placePlayer2(position1);
        if (m_player2Waits) {
            scheduleJoin();
        } else if (waited) {
            startPlayer2();
        } else {
            m_follower.engage();
            m_follower.keepToBaseRate(*wmp2);
        }
    } catch (const std::exception& e) {
        logDropped("moving player 2 to its offset", e);
        m_messageBox.show(Messages::kCannotPlay);
    }
}

void frm1::nudgeOffset(double seconds) {
    Player2Offset offset = m_offset;
    offset.offset += seconds;
    setPlayer2Offset(offset);
}

void frm1::offset_set_Click() {
    double typed = 0.0;
    try {
        typed = lenientNumber(ui->offset_field->text().toStdString());
    } catch (const std::out_of_range& e) {
        logDropped("reading the offset field", e);
        m_messageBox.show(Messages::kCannotJump);
        return;
    }
    ui->offset_field->setText(QString::fromStdString(regionalNumberText(typed)));
    Player2Offset offset = m_offset;
    offset.offset = typed;
    setPlayer2Offset(offset);
}

void frm1::offset_reset_Click() {
    setPlayer2Offset({});
}

void frm1::setAligner(IAligner* aligner) {
    m_aligner = aligner;
    ui->align->setEnabled(aligner != nullptr);
    ui->align_menu->setEnabled(aligner != nullptr);
}

void frm1::showAligning(bool running) {
    ui->align_progress->setVisible(running);
    ui->align_cancel->setVisible(running);
    ui->align->setEnabled(!running && m_aligner);
    ui->align_menu->setEnabled(!running && m_aligner);
    ui->align_apply->setVisible(!running && m_found.has_value());
}

void frm1::align_Click() {
    if (!m_aligner)
        return;
    m_found.reset();
    if (!geladen1 || !geladen2) {
        ui->align_result->setText("Open both files first.");
        showAligning(false);
        return;
    }
    ui->align_result->setText("Listening to both files ...");
    ui->align_progress->setValue(0);
    showAligning(true);
    m_aligner->start(
        media1, media2,
        [this](double fraction) {
            ui->align_progress->setValue(static_cast<int>(fraction * 100.0 + 0.5));
        },
        [this](const IAligner::Outcome& outcome) {
            if (outcome.kind == IAligner::Outcome::Kind::Found) {
                m_found = Player2Offset{outcome.offset, outcome.driftPpm};
                char score[32];
                std::snprintf(score, sizeof score, "%.2f", outcome.score);
                ui->align_result->setText(QString::fromStdString("Found " + offsetText(*m_found) +
                                                                 " (sure: " + score + ")"));
            } else {
                qCWarning(lcWindow) << "no alignment:" << outcome.message.c_str();
                ui->align_result->setText(QString::fromStdString(outcome.message));
            }
            showAligning(false);
        });
}

void frm1::align_cancel_Click() {
    if (m_aligner)
        m_aligner->cancel();
    ui->align_result->setText("Cancelled.");
    showAligning(false);
}

void frm1::align_apply_Click() {
    if (!m_found)
        return;
    const Player2Offset found = *m_found;
    m_found.reset();
    ui->align_result->clear();
    showAligning(false);
    setPlayer2Offset(found);
}
