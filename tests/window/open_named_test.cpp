// A file named from outside the dialog (the command line, a second copy's files) opens as the
// open commands open a file chosen in the dialog.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "Messages.h"
#include "WindowFixture.h"

namespace {

class OpenNamed : public WindowSide {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        holdBoth("/media/earlier.wav");
        players.clear();
        dialog.log.clear();
    }
    std::string make(const char* name) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName().toStdString();
    }
    QTemporaryDir folder;
};

TEST_P(OpenNamed, OpensAsTheDialogsChoiceWould) {
    const std::string file = make("a rather long name of an interview.wav");
    dialog.nextChoice = file;
    side() == 1 ? window->neu1_Click() : window->neu2_Click();
    player().opened();
    const std::vector<std::string> fromDialog = players.calls;
    const std::string dispFromDialog = disp();
    players.clear();

    window->openFileNamed(side(), file);
    EXPECT_FALSE(geladen());
    player().opened();

    EXPECT_EQ(players.calls, fromDialog);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(media(), file);
    EXPECT_EQ(disp(), dispFromDialog);
    EXPECT_EQ(disp().size(), 30u);
    EXPECT_TRUE(geladen());
    EXPECT_EQ(dialog.log.calls.size(), 3u) << "the dialog was shown for a named file";
}

// The dialog lets only a file be chosen: a folder's name ends as the dialog's Cancel does, with
// the side's file, flag and player as they were.
TEST_P(OpenNamed, AFolderEndsAsTheDialogsCancel) {
    window->openFileNamed(side(), folder.path().toStdString());
    EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotOpen});
    EXPECT_EQ(disp(), "");
    EXPECT_TRUE(players.calls.empty());
    EXPECT_TRUE(geladen());
    EXPECT_EQ(media(), "/media/earlier.wav");
}

INSTANTIATE_TEST_SUITE_P(Sides, OpenNamed, ::testing::Values(1, 2), sideName);

}  // namespace
