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
        } else if (a == "--align") {
            // Its two files are the rest of the line, so a file's name may look like an option.
            if (line.action != CommandLine::Action::Window)
                return {CommandLine::Action::Error, {}, "give only one of the options", {}};
            if (arguments.size() - i - 1 != 2)
                return {CommandLine::Action::Error, {}, "--align takes exactly two files", {}};
            return {CommandLine::Action::Align, {}, {}, {arguments[i + 1], arguments[i + 2]}};
        } else {
            continue;
        }
        if (line.action != CommandLine::Action::Window && line.action != next.action) {
            return {CommandLine::Action::Error, {}, "give only one of the options", {}};
        }
        if (line.action == CommandLine::Action::Send && line.command != next.command)
            return {CommandLine::Action::Error, {}, "give only one of the options", {}};
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
           "  --align FILE1 FILE2\n"
           "             find where FILE2 is against FILE1 from their sound, without a window;\n"
           "             prints 'offset=+S.SSSS drift_ppm=+D.D score=C': second t of FILE1 is\n"
           "             at second offset + t * (1 + drift_ppm / 1e6) of FILE2. Exit status 3\n"
           "             when the two share no sound, 2 when a file cannot be read\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "\n"
           "Where the desktop does not offer global shortcuts to programs, bind F3, F2 and F1\n"
           "to 'pellucor --play', 'pellucor --pause' and 'pellucor --back' in its keyboard\n"
           "settings. Media keys and playerctl work too.\n";
}
