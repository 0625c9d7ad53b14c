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
           "\n"
           "Where the desktop does not offer global shortcuts to programs, bind F3, F2 and F1\n"
           "to 'pellucor --play', 'pellucor --pause' and 'pellucor --back' in its keyboard\n"
           "settings. Media keys and playerctl work too.\n";
}
