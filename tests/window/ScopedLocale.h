#pragma once

#include <QLocale>

// Makes the given locale the program's default (where the regional separator comes from) until
// the end of the scope.
class ScopedLocale {
public:
    explicit ScopedLocale(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~ScopedLocale() { QLocale::setDefault(m_saved); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale m_saved;
};
