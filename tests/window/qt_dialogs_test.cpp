#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "QtFileDialog.h"
#include "QtMessageBox.h"

namespace {

// Runs `inspect` on the modal dialog once its event loop runs: the dialog is shown before that
// loop starts. A dialog the inspection leaves open is rejected, so the test fails, not hangs.
void whenModalShows(std::function<void(QWidget*)> inspect) {
    QTimer::singleShot(0, [inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal dialog appeared";
        inspect(modal);
        if (auto* left = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "dialog left open: " << left->metaObject()->className();
            left->reject();
        }
    });
}

TEST(QtMessageBoxTest, ShowsThePlainTextWithOneOkAndTheProgramCaption) {
    QtMessageBox box;
    bool inspected = false;
    whenModalShows([&](QWidget* modal) {
        auto* message = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(message, nullptr);
        inspected = true;
        EXPECT_EQ(message->windowTitle(), "Pellucor");
        EXPECT_EQ(message->text(), QString::fromUtf8("Fehler: Sprung nicht möglich!\""));
        EXPECT_EQ(message->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(message->textFormat(), Qt::PlainText);
        ASSERT_EQ(message->buttons().size(), 1);
        EXPECT_EQ(message->standardButton(message->buttons().first()), QMessageBox::Ok);
        message->buttons().first()->click();
    });
    box.show("Fehler: Sprung nicht möglich!\"");  // returns once OK is clicked
    EXPECT_TRUE(inspected);
}

TEST(QtFileDialogTest, GivesTheFullPathAndCancelEmptiesItAndTheNextOpenStartsInTheLastFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath("take1.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QtFileDialog dialog;
    dialog.setFlags(IFileDialog::cdlOFNFileMustExist);
    whenModalShows([&](QWidget* modal) {
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fileDialog, nullptr);
        // Typed, as a user would: selecting through the view depends on when the folder's
        // listing has loaded.
        auto* nameEdit = fileDialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(nameEdit, nullptr);
        nameEdit->setText(folder.filePath("take1.wav"));
        static_cast<QDialog*>(fileDialog)->accept();
    });
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), folder.filePath("take1.wav").toStdString());

    QString startFolder;
    whenModalShows([&](QWidget* modal) {
        startFolder = qobject_cast<QFileDialog*>(modal)->directory().absolutePath();
        qobject_cast<QDialog*>(modal)->reject();
    });
    dialog.ShowOpen();

    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(startFolder, QDir(folder.path()).absolutePath());
}

}  // namespace
