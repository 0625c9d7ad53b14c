#include "QtFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

void QtFileDialog::ShowOpen() {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((m_flags & cdlOFNFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!m_folder.isEmpty())
        dialog.setDirectory(m_folder);

    m_fileName.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_fileName = dialog.selectedFiles().constFirst();
        m_folder = QFileInfo(m_fileName).absolutePath();
    }
}
