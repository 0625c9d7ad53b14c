#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "IFileDialog.h"

// The file-open dialog on Qt's QFileDialog. It lists all files and opens in the folder of the
// file chosen last; Cancel leaves FileName empty.
class QtFileDialog : public IFileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }

    void setFlags(std::int32_t flags) override { m_flags = flags; }
    void ShowOpen() override;
    std::string FileName() override { return m_fileName.toStdString(); }

private:
    QPointer<QWidget> m_parent;
    std::int32_t m_flags = 0;
    QString m_fileName;
    QString m_folder;
};
