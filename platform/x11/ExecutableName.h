#pragma once

#include <string>

// The file name of a path without its folder and its extension ("/opt/x/Pellucor.bin" gives
// "Pellucor"); a leading dot does not start an extension.
std::string fileNameWithoutExtension(const std::string& path);

// The running executable's name, read from /proc/self/exe; empty if that cannot be read.
std::string runningExecutableName();
