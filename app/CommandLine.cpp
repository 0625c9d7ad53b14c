#include "CommandLine.h"

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        CommandLine next;
        if (a == "--play" || a == "--pause" || a == "--back") {
            next.action = CommandLine::Action::Send;
            next.command = a == "--play" ? "Play" : a == "--pause" ? "Pause" : "Back";
        } else if (a == "--help" || a == "-h") {
            next.action = CommandLine::Action::Help;
        } else if (a == "--version") {
            next.action = CommandLine::Action::Version;
        } else if (a == "--pedals") {
            next.action = CommandLine::Action::Pedals;
        } else {
            continue;
        }
        if (line.action != CommandLine::Action::Window && line.action != next.action) {
            return {CommandLine::Action::Error, {}, "give only one of the options"};
        }
        if (line.action == CommandLine::Action::Send && line.command != next.command)
            return {CommandLine::Action::Error, {}, "give only one of the options"};
        line = next;
    }
    return line;
}

std::string helpText() {
    return "Usage: pellucor [option]\n"
           "Two media players side by side for transcription, steered together by\n"
           "F3 (play), F2 (pause) and F1 (one second back) from any program.\n"
           "\n"
           "Without an option the window opens.\n"
           "  --play     play both players in the running window (as F3)\n"
           "  --pause    pause both players in the running window (as F2)\n"
           "  --back     send both players one second back (as F1)\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "  --pedals   list the foot pedals found and show their presses live\n"
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
