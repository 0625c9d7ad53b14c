#pragma once

#include <string>
#include <vector>

// What the command line asks for: the window (no option), a command for the running window,
// two files to align, or a text to print. Options other programs hand to Qt are left alone.
struct CommandLine {
    enum class Action { Window, Send, Help, Version, Align, Error };
    Action action = Action::Window;
    std::string command;             // Play, Pause or Back, for Send
    std::string error;               // for Error
    std::vector<std::string> files;  // the two files, for Align
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string helpText();
