#include <QFileInfo>
#include <QLineEdit>
#include <exception>
#include <string>

#include "Messages.h"
#include "WindowLog.h"
#include "frm1.h"
#include "ui_frm1.h"

namespace {

// Longer paths show only their tail, where the file name is.
constexpr std::size_t kDisplayLimit = 30;

// The last `count` characters of a UTF-8 text, whole characters only.
std::string lastCharacters(const std::string& text, std::size_t count) {
    std::size_t start = text.size();
    while (start > 0 && count > 0) {
        --start;
        const auto byte = static_cast<unsigned char>(text[start]);
        if ((byte & 0xC0) != 0x80)
            --count;  // not a continuation byte: a character begins
    }
    return text.substr(start);
}

// What one side of the window consists of; the two open commands differ only in this.
struct Side {
    std::string& media;
    QLineEdit& disp;
    bool& geladen;
    IMediaPlayer& player;
};

Side sideOf(frm1& window, int side) {
    if (side == 1) {
        return {window.media1, *window.controls().disp1, window.geladen1, *window.wmp1};
    }
    return {window.media2, *window.controls().disp2, window.geladen2, *window.wmp2};
}

}  // namespace

void frm1::neu1_Click() {
    openFile(1);
}

void frm1::neu2_Click() {
    openFile(2);
}

void frm1::load_player1() {
    loadPlayer(1);
}

void frm1::load_player2() {
    loadPlayer(2);
}

void frm1::openFile(int side) {
    std::string fileName;
    try {
        CmD1.setFlags(IFileDialog::cdlOFNFileMustExist);
        CmD1.ShowOpen();
        fileName = CmD1.FileName();
    } catch (const std::exception& e) {
        logDropped("the file dialog", e);
        fileName.clear();
    }
    openChosen(side, fileName);
}

void frm1::openFileNamed(int side, const std::string& fileName) {
    // The dialog lets only an existing file be chosen; a name from elsewhere is held to that.
    if (!QFileInfo(QString::fromStdString(fileName)).isFile()) {
        qCWarning(lcWindow).noquote() << "player" << side << "cannot open"
                                      << QString::fromStdString(fileName) << "- no such file";
        openChosen(side, {});
        return;
    }
    openChosen(side, fileName);
}

void frm1::openChosen(int side, const std::string& fileName) {
    const Side s = sideOf(*this, side);
    bool chosen = false;
    try {
        if (!fileName.empty()) {
            s.media = fileName;
            s.disp.setText(QString::fromStdString(lastCharacters(fileName, kDisplayLimit)));
            chosen = true;
        }
    } catch (const std::exception& e) {
        logDropped("the file display", e);
        chosen = false;
    }
    if (!chosen) {
        m_messageBox.show(Messages::kCannotOpen);
        s.disp.clear();
        return;
    }
    // The load reports its own failures.
    if (side == 1) {
        load_player1();
    } else {
        load_player2();
    }
}

void frm1::loadPlayer(int side) {
    const Side s = sideOf(*this, side);
    bool& opening = m_opening[side - 1];
    // A new file plays at normal speed, whichever side it goes to.
    stopFollowing();
    try {
        s.geladen = false;
        opening = false;
        // The file is only opened; the hot keys decide when it plays.
        s.player.setAutoStart(false);
        s.player.setURL(s.media);
        // The player says later whether the file opened (openEnded); the side stays unloaded
        // until then, so the hot keys leave it alone.
        opening = true;
    } catch (const std::exception& e) {
        loadFailed(side, e);
    }
}

void frm1::openEnded(int side, const PlayerError* refusal) {
    bool& opening = m_opening[side - 1];
    if (!opening) {
        // Nothing of this side waits: news of an open that the window no longer counts on.
        if (refusal) {
            logDropped(side == 1 ? "an earlier open of player 1" : "an earlier open of player 2",
                       *refusal);
        }
        return;
    }
    opening = false;
    if (refusal) {
        loadFailed(side, *refusal);
        return;
    }
    const Side s = sideOf(*this, side);
    s.geladen = true;
    qCInfo(lcWindow).noquote() << "player" << side << "holds" << QString::fromStdString(s.media);
}

void frm1::loadFailed(int side, const std::exception& error) {
    const Side s = sideOf(*this, side);
    logDropped(side == 1 ? "load_player1" : "load_player2", error);
    m_messageBox.show(Messages::kCannotLoad);
    s.media.clear();
    s.disp.clear();
}

// A file the player gave up while the side held it ends as one refused at the open: the message
// and an empty side. The two no longer play together, so the other player stops where it is.
void frm1::fileLost(int side, const PlayerError& why) {
    const Side s = sideOf(*this, side);
    if (!s.geladen) {
        logDropped(side == 1 ? "a lost file of player 1" : "a lost file of player 2", why);
        return;
    }
    s.geladen = false;
    stopFollowing();
    Timer1.setInterval(0);
    const bool otherLoaded = side == 1 ? geladen2 : geladen1;
    IMediaPlayer& other = side == 1 ? *wmp2 : *wmp1;
    try {
        if (otherLoaded && other.playState() == IMediaPlayer::kPlaying)
            other.pause();
    } catch (const std::exception& e) {
        logDropped("pausing the other player", e);
    }
    loadFailed(side, why);
}
