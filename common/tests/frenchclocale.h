// The C library's locale made French (decimal comma) for a test, as Qt makes it at start in
// a French environment, and restored afterwards.
#pragma once

#include <clocale>
#include <string>

class FrenchCLocale
{
public:
    FrenchCLocale()
    {
        m_old = std::setlocale(LC_ALL, nullptr);
        for (const char *name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
            if (std::setlocale(LC_ALL, name)) {
                m_active = true;
                break;
            }
    }
    ~FrenchCLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    FrenchCLocale(const FrenchCLocale &) = delete;
    FrenchCLocale &operator=(const FrenchCLocale &) = delete;
    // False when no French locale is installed (scripts/test installs one).
    bool active() const { return m_active; }

private:
    std::string m_old;
    bool m_active = false;
};
