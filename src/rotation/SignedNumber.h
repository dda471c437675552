#pragma once

#include <QString>
#include <cstdint>

// A number as the fill writes it into its texts: one leading sign position, a space for zero or a
// positive number and "-" for a negative one (" 7", "-3"). Totals and versions are plain numbers.
QString signedNumber(std::int64_t value);
