#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks for: the window (no option, perhaps files for its players), a
// command for the running window, two files to align, or a text to print. The options Qt
// itself reads are let through to it; any other option is refused.
struct CommandLine {
    enum class Action { Window, Send, Help, Version, Align, Error, Pedals };
    Action action = Action::Window;
    std::string command;  // Play, Pause, Back, CopyTime, SetSpeed, Slower or Faster, for Send
    std::string error;    // for Error
    // For Window: the files for player 1 and player 2, as given (at most two); for Align: the
    // two files.
    std::vector<std::string> files;
    // For SetSpeed: within the players' range, already checked.
    std::optional<double> speed;
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string helpText();

// The usage lines that follow a refused command line.
std::string usageText();
