#include <QLineEdit>
#include <cmath>

#include "RegionalNumber.h"
#include "frm1.h"
#include "ui_frm1.h"

// No trap here: a tick takes the position read as succeeding.
void frm1::Timer1_Timer() {
    const double second = std::floor(wmp1->currentPosition());
    ui->time->setText(QString::fromStdString(regionalNumberText(second)));
}
