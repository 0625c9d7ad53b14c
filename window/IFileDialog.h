#pragma once

#include <cstdint>
#include <string>

// The file-open dialog CmD1. Any call may throw.
class IFileDialog {
public:
    // Only an existing file can be chosen.
    static constexpr std::int32_t cdlOFNFileMustExist = 0x1000;

    virtual ~IFileDialog() = default;
    virtual void setFlags(std::int32_t flags) = 0;
    // Modal; returns when the user closes the dialog.
    virtual void ShowOpen() = 0;
    // Full path of the chosen file; empty when none was chosen.
    virtual std::string FileName() = 0;
};
