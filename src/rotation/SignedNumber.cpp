#include "rotation/SignedNumber.h"

QString signedNumber(std::int64_t value) {
    if (value < 0)
        return QString::number(value);
    return QLatin1Char(' ') + QString::number(value);
}
