#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "IAligner.h"
#include "IFileDialog.h"
#include "IHotKeyPlatform.h"
#include "IMediaPlayer.h"
#include "IMessageBox.h"
#include "IMessageHook.h"
#include "IntervalTimer.h"
#include "Player2Offset.h"
#include "PlayerFollower.h"
#include "cHotKeyRegistry.h"

namespace Ui {
class frm1;
}

// Creates the player that lives inside the given host widget of the window.
using PlayerFactory = std::function<std::unique_ptr<IMediaPlayer>(QWidget* host)>;

// Everything from outside that the window uses; app/ chooses the real parts, tests the fakes.
struct frm1Services {
    PlayerFactory makePlayer;
    IFileDialog& CmD1;
    IMessageBox& messageBox;
    IHotKeyPlatform& hotKeyPlatform;
    IMessageHook& messageHook;
};

// The program's only window: two players side by side, steered together.
class frm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit frm1(frm1Services services, QWidget* parent = nullptr);
    ~frm1() override;

    // The window's load: flags False, then the hot-key start-up. A hot-key failure is
    // not caught here; the program reports it and ends.
    void Form_Load();

    Ui::frm1& controls() { return *ui; }

    // Window-level state.
    std::string media1;
    std::string media2;
    bool geladen1 = false;
    bool geladen2 = false;
    std::unique_ptr<cHotKeyRegistry> m_cHotKey;

    // The players and the timer of the position display.
    std::unique_ptr<IMediaPlayer> wmp1;
    std::unique_ptr<IMediaPlayer> wmp2;
    IntervalTimer Timer1;

    // Menu and button commands.
    void neu1_Click();
    void neu2_Click();
    void ende_Click();
    void about_Click();
    void Command1_Click();
    void com_goto_Click();
    void ffw_Click();
    void fffw_Click();
    void p1left_Click();
    void p1right_Click();
    void h1plus_Click();
    void h1minus_Click();
    void p2left_Click();
    void p2right_Click();
    void h2plus_Click();
    void h2minus_Click();
    void copy_time_Click();

    // Tick of Timer1: player 1's whole second into the time box.
    void Timer1_Timer();

    // Hot-key dispatch.
    void m_cHotKey_HotKeyPress(const std::string& sName, std::int32_t eModifiers,
                               std::int32_t eKey);

    // Transport and load operations; reached only through the hot keys and the open
    // commands, public so that tests can drive them directly.
    void play_both();
    void pause_both();
    void back_both();
    void load_player1();
    void load_player2();

    // Opens a file into side 1 or 2 as its open command does once the dialog has given the
    // name: a name that is no existing file gets the dialog's failure message.
    void openFileNamed(int side, const std::string& fileName);

    // The side's player is still opening the file its last load handed it; the side counts as
    // loaded once the player says the file is open.
    bool opening(int side) const { return m_opening[side == 1 ? 0 : 1]; }

    // Where player 2 belongs relative to player 1 (none at the start). Setting it while both
    // play moves player 2 alone, at once; while they stand, player 2 goes to its new place.
    const Player2Offset& player2Offset() const { return m_offset; }
    void setPlayer2Offset(const Player2Offset& offset);
    // The commands of the offset's controls.
    void nudgeOffset(double seconds);
    void offset_set_Click();
    void offset_reset_Click();
    // Finding the offset from the sound; without an aligner the command is not offered.
    void setAligner(IAligner* aligner);
    void align_Click();
    void align_cancel_Click();
    void align_apply_Click();

    // The speed of both players (player 2's times the drift's), the pitch kept: 0.5 to 2 in
    // steps of 0.05. A speed outside that range is refused (false) and changes nothing.
    static constexpr double kSlowest = 0.5;
    static constexpr double kFastest = 2.0;
    static constexpr double kSpeedStep = 0.05;
    double speed() const { return m_speed; }
    bool setSpeed(double speed);
    void slower_Click();
    void faster_Click();
    void speed_normal_Click();
    // How far both go back when F3 (or anything that plays as it does) starts them from
    // standing: 0 to 5 s in steps of 0.5. Outside that range refused (false).
    static constexpr double kLongestStepBack = 5.0;
    double stepBackOnResume() const { return m_stepBack; }
    bool setStepBackOnResume(double seconds);
    // Told when the user changes the speed or the step back, so that they can be kept.
    std::function<void()> onSettingsChanged;

    // While player 1's moment lies before the start of file 2, player 2 waits at its start,
    // paused, and joins when player 1 gets there: in this many milliseconds, if it waits.
    std::optional<int> player2JoinsIn() const;
    void join_player2();
    // While both play from an aligned start, player 2's speed follows player 1 from readings
    // of both, taken on a timer: whether it runs, and its tick.
    bool following() const { return m_followTimer.isTicking(); }
    void follow_player1();

private:
    void wireCommands();
    void startHotKeys();

    // Shared bodies of the twin open commands and of the two fast-forwards.
    void openFile(int side);
    void openChosen(int side, const std::string& fileName);
    void loadPlayer(int side);
    void openEnded(int side, const PlayerError* refusal);
    void loadFailed(int side, const std::exception& error);
    void fileLost(int side, const PlayerError& why);
    void fastForward(double seconds);

    // Steps on both players, player 1 first.
    bool player1Playing();
    void pauseBoth();
    void startBoth();
    void alignPlayer2();
    void placePlayer2(double position1);
    void startPlayer2();
    void scheduleJoin();
    void moveBoth(double seconds);
    void resumeOrStopDisplay(bool wasPlaying);
    void stopFollowing();
    std::uint64_t soundReturns();
    void wireOffsetControls();
    void wireSpeedControls();
    void applySpeed();
    void showSpeed();
    void showOffset();
    void showAligning(bool running);

    // Timer1's interval while the players run, in milliseconds.
    static constexpr int kDisplayInterval = 200;

    // Per side: an open handed to the player whose end the player has not told yet.
    bool m_opening[2] = {false, false};

    // Player 2 follows player 1 while both play from an aligned start.
    PlayerFollower m_follower;
    IntervalTimer m_followTimer;
    std::uint64_t m_soundReturnsSeen = 0;

    double m_speed = 1.0;
    bool m_pitchKept = false;
    double m_stepBack = 0.0;
    Player2Offset m_offset;
    bool m_player2Waits = false;  // at its start, until player 1 reaches that moment
    QTimer m_player2Join;
    IAligner* m_aligner = nullptr;
    std::optional<Player2Offset> m_found;  // the last analysis's result, not yet applied

    std::unique_ptr<Ui::frm1> ui;
    IFileDialog& CmD1;
    IMessageBox& m_messageBox;
    IHotKeyPlatform& m_hotKeyPlatform;
    IMessageHook& m_messageHook;
};
