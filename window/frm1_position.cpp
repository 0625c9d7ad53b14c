#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <cmath>

#include "RegionalNumber.h"
#include "TimeStamp.h"
#include "WindowLog.h"
#include "frm1.h"
#include "ui_frm1.h"

// No trap here: a tick takes the position read as succeeding.
void frm1::Timer1_Timer() {
    const double second = std::floor(wmp1->currentPosition());
    ui->time->setText(QString::fromStdString(regionalNumberText(second)));
}

// Player 1's position onto the clipboard, for Ctrl+V in the transcript. The window is left as
// it is: the remote calls this while the user types in another program.
void frm1::copy_time_Click() {
    if (!geladen1) {
        qCInfo(lcWindow) << "copy time: player 1 holds no file; the clipboard is left alone";
        return;
    }
    const QString stamp = QString::fromStdString(timeStampText(wmp1->currentPosition()));
    QGuiApplication::clipboard()->setText(stamp, QClipboard::Clipboard);
    qCInfo(lcWindow).noquote() << "copied" << stamp;
}
