#pragma once

#include <QString>
#include <cstdint>

// What the program says about itself: its title and the fields of its version record.
struct ApplicationIdentity {
    QString title;
    QString productName;
    QString fileDescription;
    QString companyName;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t revision = 0;

    // The identity built into this program file.
    static ApplicationIdentity current();
};

// The three version numbers in plain decimal digits joined by ".", e.g. "1.0.0".
QString versionNumbers(const ApplicationIdentity& identity);
// The main window's caption, e.g. "Tunequill, Vers. 1.0.0, From Larkspur Lane Software".
QString windowCaption(const ApplicationIdentity& identity);
