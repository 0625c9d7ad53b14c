#include "KeysUnavailableNotice.h"

#include <QMessageBox>

namespace {

const char* const kText =
    "Die Tasten F1, F2 und F3 sind nicht global verfügbar: der Desktop hat sie nicht freigegeben.\n"
    "\n"
    "Die Player lassen sich mit den Medientasten steuern, oder mit den Befehlen\n"
    "pellucor --play, pellucor --pause und pellucor --back,\n"
    "die Sie in den Tastatureinstellungen des Desktops auf F3, F2 und F1 legen können.";

}  // namespace

void showKeysUnavailable(QWidget* window) {
    // Like the window's other messages, but not modal: the window keeps working while it is
    // up, and the caller is a D-Bus answer that must not wait for the user.
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("Pellucor"));
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromUtf8(kText));
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setObjectName(QStringLiteral("keysUnavailable"));
    box->setWindowModality(Qt::NonModal);
    box->show();
}
