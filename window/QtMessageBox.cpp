#include "QtMessageBox.h"

#include <QMessageBox>

#include "WindowLog.h"

void QtMessageBox::show(const std::string& text) {
    if (!m_onScreen.insert(text).second) {
        qCInfo(lcWindow) << "message already on screen, not shown again:"
                         << QString::fromStdString(text);
        return;
    }
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
    m_onScreen.erase(text);
}
