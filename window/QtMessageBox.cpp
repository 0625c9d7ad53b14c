#include "QtMessageBox.h"

#include <QMessageBox>

void QtMessageBox::show(const std::string& text) {
    QMessageBox box(m_parent);
    box.setWindowTitle(QStringLiteral("Pellucor"));
    box.setIcon(QMessageBox::NoIcon);
    // File paths and quotes are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
