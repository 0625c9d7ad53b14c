#pragma once

#include <stdexcept>
#include <string>

#include "CallLog.h"
#include "IFileDialog.h"

// A file dialog whose ShowOpen "chooses" nextChoice: an empty text stands for Cancel, which
// empties the name (the real dialog's behaviour). Calls are recorded and can be made to fail.
class FakeFileDialog : public IFileDialog {
public:
    BasicCallLog<std::runtime_error> log;
    std::string nextChoice;

    void setFlags(std::int32_t value) override { log.record("setFlags", value); }
    void ShowOpen() override {
        log.record("ShowOpen");
        m_fileName = nextChoice;
    }
    std::string FileName() override {
        log.record("FileName");
        return m_fileName;
    }

private:
    std::string m_fileName;
};
