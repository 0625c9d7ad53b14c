#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "IRemoteTransport.h"

namespace {

// The options QApplication reads itself (and removes before the program sees its arguments);
// Qt accepts each with one dash or two.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue = {
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "display",         "geometry",
    "qwindowgeometry", "title",
    "qwindowtitle",    "icon",
    "qwindowicon",     "style",
    "stylesheet",      "session"};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "nograb", "dograb", "sync",
                                                      "widgetcount"};

// The option's name without its dashes, or empty when it is not a Qt option. Qt reads the
// style and the style sheet also joined to their value ("-style=fusion").
std::string_view qtOption(std::string_view a, bool& takesValue) {
    a.remove_prefix(a.starts_with("--") ? 2 : 1);
    const auto has = [](const auto& list, std::string_view name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    takesValue = has(kQtOptionsWithValue, a);
    if (takesValue || has(kQtFlags, a))
        return a;
    const std::string_view name = a.substr(0, a.find('='));
    return name.size() < a.size() && (name == "style" || name == "stylesheet") ? name
                                                                               : std::string_view();
}

CommandLine refused(std::string error) {
    return {CommandLine::Action::Error, {}, std::move(error), {}, {}};
}

// A decimal point or, as many users write it, a comma; nothing may follow the number, and
// "inf" or "nan" are no speeds.
CommandLine speedCommand(std::string text) {
    CommandLine line;
    std::string number = text;
    if (const std::size_t comma = number.find(','); comma != std::string::npos)
        number[comma] = '.';
    double speed = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, failure] = std::from_chars(number.data(), end, speed);
    if (number.empty() || failure != std::errc() || stop != end || !std::isfinite(speed))
        return refused("the speed '" + text + "' is not a number");
    if (!IRemoteTransport::speedInRange(speed))
        return refused("the speed '" + text + "' is outside 0.5 to 2.0");
    line.action = CommandLine::Action::Send;
    line.command = "SetSpeed";
    line.speed = speed;
    return line;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        CommandLine next;
        // A word without a leading '-' is a file; after "--" every word is, also "-x".
        if (optionsEnd || a.empty() || a[0] != '-') {
            files.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnd = true;
            continue;
        }
        if (a == "--play" || a == "--pause" || a == "--back") {
            next.action = CommandLine::Action::Send;
            next.command = a == "--play" ? "Play" : a == "--pause" ? "Pause" : "Back";
        } else if (a == "--copy-time") {
            next.action = CommandLine::Action::Send;
            next.command = "CopyTime";
        } else if (a == "--speed" || a.starts_with("--speed=")) {
            if (a == "--speed" && ++i == arguments.size())
                return refused("option '--speed' needs a value");
            next = speedCommand(a == "--speed" ? arguments[i] : a.substr(8));
            if (next.action == CommandLine::Action::Error)
                return next;
        } else if (a == "--slower" || a == "--faster") {
            next.action = CommandLine::Action::Send;
            next.command = a == "--slower" ? "Slower" : "Faster";
        } else if (a == "--help" || a == "-h") {
            next.action = CommandLine::Action::Help;
        } else if (a == "--version") {
            next.action = CommandLine::Action::Version;
        } else if (a == "--pedals") {
            next.action = CommandLine::Action::Pedals;
        } else if (a == "--align") {
            // Its two files are the rest of the line, so a file's name may look like an option.
            if (line.action != CommandLine::Action::Window || !files.empty())
                return refused("give only one of the options");
            if (arguments.size() - i - 1 != 2)
                return refused("--align takes exactly two files");
            CommandLine align;
            align.action = CommandLine::Action::Align;
            align.files = {arguments[i + 1], arguments[i + 2]};
            return align;
        } else {
            // A lone "-" is refused too: it would mean standard input, which no player reads.
            bool takesValue = false;
            if (qtOption(a, takesValue).empty())
                return refused("unknown option '" + a + "'");
            if (takesValue && ++i == arguments.size())
                return refused("option '" + a + "' needs a value");
            continue;
        }
        if (line.action != CommandLine::Action::Window && line.action != next.action) {
            return refused("give only one of the options");
        }
        if (line.action == CommandLine::Action::Send &&
            (line.command != next.command || line.speed != next.speed))
            return refused("give only one of the options");
        line = next;
    }
    if (files.empty())
        return line;
    if (line.action != CommandLine::Action::Window)
        return refused("files are opened only by the window, without an option");
    if (files.size() > 2)
        return refused("give at most two files, one for each player");
    line.files = std::move(files);
    return line;
}

std::string usageText() {
    return "Usage: pellucor [FILE1 [FILE2]]\n"
           "       pellucor --play | --pause | --back | --copy-time\n"
           "       pellucor --speed SPEED | --slower | --faster\n"
           "       pellucor --align FILE1 FILE2\n"
           "       pellucor --pedals\n"
           "       pellucor --help | --version\n";
}

std::string helpText() {
    return usageText() +
           "Two media players side by side for transcription, steered together by\n"
           "F3 (play), F2 (pause) and F1 (one second back) from any program.\n"
           "\n"
           "Without an option the window opens; FILE1 and FILE2 open into player 1 and\n"
           "player 2. With a window already running, the files go to that window.\n"
           "Put -- before a file whose name starts with '-'.\n"
           "  --play       play both players in the running window (as F3)\n"
           "  --pause      pause both players in the running window (as F2)\n"
           "  --back       send both players one second back (as F1)\n"
           "  --copy-time  put player 1's position on the clipboard as [hh:mm:ss.d]\n"
           "  --speed SPEED\n"
           "               play both players at SPEED times, 0.5 to 2.0, the pitch kept\n"
           "  --slower     both players 0.05 slower\n"
           "  --faster     both players 0.05 faster\n"
           "  --align FILE1 FILE2\n"
           "               find where FILE2 is against FILE1 from their sound, without a\n"
           "               window; prints 'offset=+S.SSSS drift_ppm=+D.D score=C': second t\n"
           "               of FILE1 is at second offset + t * (1 + drift_ppm / 1e6) of FILE2.\n"
           "               Exit status 3 when the two share no sound, 2 when a file cannot\n"
           "               be read\n"
           "  --pedals     list the foot pedals found and show their presses live\n"
           "  --help       show this text\n"
           "  --version    show the version\n"
           "Qt's own options (-platform, -display, -style and the like) are passed to Qt.\n"
           "\n"
           "Where the desktop does not offer global shortcuts to programs, bind F3, F2 and F1\n"
           "to 'pellucor --play', 'pellucor --pause' and 'pellucor --back' in its keyboard\n"
           "settings. Media keys and playerctl work too.\n"
           "\n"
           "Foot pedals (VEC/Infinity IN-USB-1/2/3, Philips ACC2310/2320/2330, Olympus RS-28,\n"
           "PCsensor FootSwitch and relatives) work on every desktop, also with the window\n"
           "minimised: middle held plays (released pauses), left goes one second back and\n"
           "right two seconds forward, again every half second while held. pedals/middle=toggle\n"
           "in ~/.config/pellucor/pellucor.conf makes the middle pedal play and pause by turns.\n"
           "Keyboard-style pedals type nothing while Pellucor runs. A pedal that cannot be read\n"
           "is named in the log: the package's udev rule\n"
           "/usr/lib/udev/rules.d/70-pellucor-pedals.rules gives the logged-in user access;\n"
           "plug the pedal in again after installing. 'pellucor --pedals' shows what is found.\n";
}
