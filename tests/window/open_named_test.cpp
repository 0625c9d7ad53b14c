// A file named from outside the dialog (the command line, a second copy's files) opens as the
// open commands open a file chosen in the dialog.
#include <gtest/gtest.h>

#include <QDir>
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
        earlier = make("earlier.wav");
        window->openFileNamed(1, earlier);
        window->openFileNamed(2, earlier);
        p1->opened();
        p2->opened();
        ASSERT_TRUE(window->geladen1 && window->geladen2);
        players.clear();
        messages.shown.clear();
    }
    std::string make(const char* name) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName().toStdString();
    }
    // What the side shows after its open command was given this name by the dialog.
    struct Seen {
        std::vector<std::string> calls;
        std::vector<std::string> shown;
        std::string media;
        std::string disp;
    };
    Seen seen() { return {players.calls, messages.shown, media(), disp()}; }

    QTemporaryDir folder;
    std::string earlier;
};

TEST_P(OpenNamed, OpensAsTheDialogsChoiceWould) {
    const std::string file = make("a rather long name of an interview.wav");
    dialog.nextChoice = file;
    side() == 1 ? window->neu1_Click() : window->neu2_Click();
    player().opened();
    const Seen fromDialog = seen();
    players.clear();

    window->openFileNamed(side(), file);
    EXPECT_FALSE(geladen());
    player().opened();

    const Seen named = seen();
    EXPECT_EQ(named.calls, fromDialog.calls);
    EXPECT_EQ(named.shown, fromDialog.shown);
    EXPECT_EQ(named.media, file);
    EXPECT_EQ(named.disp, fromDialog.disp);
    EXPECT_EQ(named.disp.size(), 30u);
    EXPECT_TRUE(geladen());
    EXPECT_EQ(dialog.log.calls.size(), 3u) << "the dialog was shown for a named file";
}

// The dialog lets only an existing file be chosen: any other name ends as the dialog's
// Cancel does, with the side's file, flag and player as they were.
TEST_P(OpenNamed, ANameThatIsNoFileEndsAsTheDialogsCancel) {
    for (const std::string& name : {folder.filePath("missing.wav").toStdString(),
                                    folder.path().toStdString(), std::string()}) {
        SCOPED_TRACE(name);
        window->openFileNamed(side(), name);
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotOpen});
        EXPECT_EQ(disp(), "");
        EXPECT_TRUE(players.calls.empty());
        EXPECT_TRUE(geladen());
        EXPECT_EQ(media(), earlier);
        messages.shown.clear();
    }
}

TEST_P(OpenNamed, AFileThePlayerRefusesGetsTheLoadMessage) {
    window->openFileNamed(side(), make("bad.wav"));
    player().refused();
    EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotLoad});
    EXPECT_FALSE(geladen());
    EXPECT_EQ(media(), "");
    EXPECT_EQ(disp(), "");
    EXPECT_TRUE(side() == 1 ? window->geladen2 : window->geladen1);
}

INSTANTIATE_TEST_SUITE_P(Sides, OpenNamed, ::testing::Values(1, 2), sideName);

}  // namespace
