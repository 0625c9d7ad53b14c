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
#include <vector>

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

// A burst of failing commands while a box is open: the same message is not stacked over it,
// another one is, and once the box is closed the message shows again.
TEST(QtMessageBoxTest, ShowsAMessageThatIsOnScreenOnlyOnce) {
    const std::string failed = "Fehler: Mediadatei kann nicht abgespielt werden";
    const std::string other = "Fehler: Sprung nicht möglich!\"";
    QtMessageBox box;
    std::vector<std::string> shown;
    const auto closeTheTopBox = [&] {
        auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(message, nullptr) << "no message box open";
        shown.push_back(message->text().toStdString());
        message->buttons().first()->click();
    };
    QTimer::singleShot(0, [&] {
        QWidget* first = QApplication::activeModalWidget();
        int stacked = 0;
        QTimer::singleShot(0, [&, first] {
            if (QApplication::activeModalWidget() != first) {
                ++stacked;
                closeTheTopBox();
            }
        });
        box.show(failed);                   // returns at once
        QCoreApplication::processEvents();  // the look above, where nothing else could run
        EXPECT_EQ(stacked, 0) << "the same message opened over itself";
        QTimer::singleShot(0, closeTheTopBox);
        box.show(other);  // opens over the first, returns once closed
        closeTheTopBox();
    });
    box.show(failed);
    QTimer::singleShot(0, closeTheTopBox);
    box.show(failed);

    EXPECT_EQ(shown, (std::vector<std::string>{other, failed, failed}));
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
