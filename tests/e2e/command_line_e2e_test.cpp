// Files from the command line and the file manager, and the time for the transcript, on the
// whole program: files given at start open into their players; a second copy given files hands
// them to the running window and ends; `pellucor --copy-time` leaves player 1's time on the
// clipboard, where another X client reads it, while the focus stays where the user types.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <string>

#include "ProgramOnTheBus.h"
#include "QtSupport.h"
#include "TestMedia.h"
#include "WholeProgram.h"

namespace {

QString holds(int side, const std::string& file) {
    return "player " + QString::number(side) + " holds " + QString::fromStdString(file);
}

class FilesAtStart : public ProgramOnTheBus {
protected:
    QStringList arguments() const override {
        return {QString::fromStdString(TestMedia::video()),
                QString::fromStdString(TestMedia::audio())};
    }
    bool logShows(const QString& text) {
        return waitFor([&] { return log().contains(text); }, 15000);
    }
    // What another X client reads from the CLIPBOARD selection.
    static QString clipboard() { return runToEnd("xclip", {"-selection", "clipboard", "-o"}).out; }
};

TEST_F(FilesAtStart, OpenIntoTheirPlayersAndASecondCopyHandsItsFilesOver) {
    ASSERT_TRUE(logShows(holds(1, TestMedia::video())));
    ASSERT_TRUE(logShows(holds(2, TestMedia::audio())));

    const Finished second = runToEnd(PELLUCOR_EXE, {QString::fromStdString(TestMedia::audio()),
                                                    QString::fromStdString(TestMedia::video())});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(logShows(holds(1, TestMedia::audio())));
    EXPECT_TRUE(logShows(holds(2, TestMedia::video())));
    const QString url = QUrl::fromLocalFile(QString::fromStdString(TestMedia::audio())).toString();
    EXPECT_TRUE(waitFor([&] { return playerctl({"metadata", "xesam:url"}).out == url; }, 10000));
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_FALSE(shows(program, kMessage)) << "a message came up";
}

TEST_F(FilesAtStart, CopyTimeLeavesPlayerOnesTimeForAnotherClient) {
    ASSERT_TRUE(logShows(holds(1, TestMedia::video())));
    ASSERT_TRUE(logShows(holds(2, TestMedia::audio())));
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--play"}).exitCode, 0);
    ASSERT_TRUE(statusBecomes("Playing"));
    QTest::qWait(1500);
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--pause"}).exitCode, 0);
    ASSERT_TRUE(statusBecomes("Paused"));
    QTest::qWait(500);  // the remote's view of the paused position
    const double position = playerctl({"position"}).out.toDouble();

    // The user types in another program, which keeps the focus.
    QProcess editor;
    editor.start("xmessage", {"-title", "editor-stand-in", "typing here"});
    ASSERT_TRUE(editor.waitForStarted(5000));
    ASSERT_EQ(QProcess::execute("timeout", {"10", "xdotool", "search", "--sync", "--name",
                                            "editor-stand-in", "windowactivate", "--sync"}),
              0);
    const QString typingIn = runToEnd("xdotool", {"getactivewindow"}).out;

    const Finished copy = runToEnd(PELLUCOR_EXE, {"--copy-time"});
    ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    const QRegularExpression stamp(R"(^\[00:00:(\d\d\.\d)\]$)");
    QRegularExpressionMatch match;
    ASSERT_TRUE(waitFor([&] { return (match = stamp.match(clipboard())).hasMatch(); }, 10000))
        << clipboard().toStdString();
    const double copied = match.captured(1).toDouble();
    EXPECT_GT(copied, 0.5);
    EXPECT_LE(copied, position + 1e-3) << "the time names a moment not reached";
    EXPECT_GT(copied, position - 0.1 - 1e-3);
    // Still there once the command has ended: the window owns the selection.
    EXPECT_EQ(clipboard(), match.captured(0));
    EXPECT_EQ(runToEnd("xdotool", {"getactivewindow"}).out, typingIn)
        << "the window took the focus";
    editor.kill();
    editor.waitForFinished(3000);
}

// A name that is no file gets the dialog's message; the other side opens all the same.
class AMissingFileAtStart : public FilesAtStart {
protected:
    // The message comes before the window can be brought to the front.
    void SetUp() override { start(); }
    QStringList arguments() const override {
        return {QString::fromStdString(TestMedia::missing()),
                QString::fromStdString(TestMedia::audio())};
    }
};

TEST_F(AMissingFileAtStart, GetsTheOpenMessageAndTheOtherSideOpens) {
    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 15000));
    // The message takes the focus; the window under it gets none while it is shown.
    ASSERT_TRUE(waitFor(
        [] {
            return runToEnd("xdotool", {"getactivewindow", "getwindowname"}).out == kMessage;
        },
        10000));
    pressKeys({"Return"});
    EXPECT_TRUE(logShows(holds(2, TestMedia::audio())));
    EXPECT_TRUE(log().contains("cannot open " + QString::fromStdString(TestMedia::missing())));
    EXPECT_FALSE(log().contains("player 1 holds"));
}

}  // namespace
