#include "frm1.h"

#include <QAction>
#include <QFont>
#include <QMenuBar>
#include <QPushButton>
#include <exception>

#include "WindowLog.h"
#include "WindowShortcuts.h"
#include "ui_frm1.h"

namespace {

// A player's news about one side, handed to the window's handler for that side; what the
// handler throws is logged, for the news comes from the event loop.
template <typename News>
auto toldFrom(frm1* window, void (frm1::*handler)(int, News), int side, const char* what) {
    return [window, handler, side, what](News news) {
        try {
            (window->*handler)(side, news);
        } catch (const std::exception& e) {
            logDropped(what, e);
        }
    };
}

}  // namespace

frm1::frm1(frm1Services services, QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::frm1>()),
      CmD1(services.CmD1),
      m_messageBox(services.messageBox),
      m_hotKeyPlatform(services.hotKeyPlatform),
      m_messageHook(services.messageHook) {
    // The title's face is not installed everywhere; a heavy sans face keeps its weight.
    QFont::insertSubstitutions("Arial Black", {"Arial", "Liberation Sans", "DejaVu Sans"});
    // The icon lives in this static library's resources, which are not registered by themselves.
    Q_INIT_RESOURCE(window);
    ui->setupUi(this);
    // Tab order puts player 1 first; the window starts there rather than on the first button.
    ui->wmp1->setFocus();
    // The stored size is the client area's; the menu bar comes on top of it.
    resize(989, 717 + menuBar()->sizeHint().height());

    wmp1 = services.makePlayer(ui->wmp1);
    wmp2 = services.makePlayer(ui->wmp2);
    // The players tell from the event loop: nothing may unwind into it.
    wmp1->onOpenEnded(toldFrom(this, &frm1::openEnded, 1, "the end of an open"));
    wmp2->onOpenEnded(toldFrom(this, &frm1::openEnded, 2, "the end of an open"));
    wmp1->onFileLost(toldFrom(this, &frm1::fileLost, 1, "a lost file"));
    wmp2->onFileLost(toldFrom(this, &frm1::fileLost, 2, "a lost file"));
    // Players may draw into native windows of their own; the info panel lies above them only
    // as a native window raised over theirs.
    ui->Frame1->setAttribute(Qt::WA_NativeWindow);
    ui->Frame1->raise();

    wireCommands();
    wireOffsetControls();
    wireSpeedControls();
    new WindowShortcuts(*this, {ui->neu1, ui->ende});
}

frm1::~frm1() = default;

void frm1::Form_Load() {
    geladen1 = false;
    geladen2 = false;
    startHotKeys();
}

namespace {

// Commands trap their own failures where they are meant to; anything else that still
// escapes (a player refusing geometry, a stray error in a tick) must not unwind through
// the event loop, so it ends the command with only a line in the log.
template <typename Command>
auto guarded(frm1* window, Command command, const char* name) {
    return [window, command, name] {
        try {
            (window->*command)();
        } catch (const std::exception& e) {
            logDropped(name, e);
        }
    };
}

}  // namespace

void frm1::wireCommands() {
    using Click = void (frm1::*)();
    const struct {
        QAction* action;
        Click command;
        const char* name;
    } menu[] = {
        {ui->neu1, &frm1::neu1_Click, "neu1"},
        {ui->neu2, &frm1::neu2_Click, "neu2"},
        {ui->ende, &frm1::ende_Click, "ende"},
        {ui->about, &frm1::about_Click, "about"},
    };
    for (const auto& item : menu) {
        connect(item.action, &QAction::triggered, this, guarded(this, item.command, item.name));
    }

    const struct {
        QPushButton* button;
        Click command;
        const char* name;
    } buttons[] = {
        {ui->Command1, &frm1::Command1_Click, "Command1"},
        {ui->com_goto, &frm1::com_goto_Click, "com_goto"},
        {ui->ffw, &frm1::ffw_Click, "ffw"},
        {ui->fffw, &frm1::fffw_Click, "fffw"},
        {ui->p1left, &frm1::p1left_Click, "p1left"},
        {ui->p1right, &frm1::p1right_Click, "p1right"},
        {ui->h1plus, &frm1::h1plus_Click, "h1plus"},
        {ui->h1minus, &frm1::h1minus_Click, "h1minus"},
        {ui->p2left, &frm1::p2left_Click, "p2left"},
        {ui->p2right, &frm1::p2right_Click, "p2right"},
        {ui->h2plus, &frm1::h2plus_Click, "h2plus"},
        {ui->h2minus, &frm1::h2minus_Click, "h2minus"},
        {ui->copy_time, &frm1::copy_time_Click, "copy_time"},
    };
    for (const auto& item : buttons) {
        connect(item.button, &QPushButton::clicked, this, guarded(this, item.command, item.name));
    }

    Timer1.onTick = guarded(this, &frm1::Timer1_Timer, "Timer1 tick");
    m_followTimer.onTick = guarded(this, &frm1::follow_player1, "following player 1");
}

void frm1::about_Click() { ui->Frame1->setVisible(true); }

void frm1::Command1_Click() { ui->Frame1->setVisible(false); }

void frm1::ende_Click() { close(); }
