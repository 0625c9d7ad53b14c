#pragma once

#include <QString>

class frm1;

// The speed and the step back on resume, kept between runs as controls/speed and
// controls/step_back in the settings file, beside the pedals' settings, which stay as they are.
// A file that cannot be read, or a value that is no number or out of range, is logged and the
// default is used. Nothing else of the window is kept.
class StoredControls {
public:
    struct Values {
        double speed = 1.0;
        double stepBack = 0.0;
    };

    // The user's file, ~/.config/pellucor/pellucor.conf.
    StoredControls();
    explicit StoredControls(QString path);

    Values read() const;
    // False (logged) when the file cannot be written.
    bool write(const Values& values) const;

    // Gives the window the values read and writes them again whenever the user changes one.
    void keep(frm1& window) const;

private:
    QString m_path;
};
