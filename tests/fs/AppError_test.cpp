#include "fs/AppError.h"

#include <gtest/gtest.h>

TEST(AppError, DiskFullIsTheSignedHresult) {
    EXPECT_EQ(ErrorNumber::DiskFull, -2147024784);
    const AppError error(ErrorNumber::DiskFull, QStringLiteral("Fso"), QStringLiteral("full"));
    EXPECT_EQ(error.number(), ErrorNumber::DiskFull);
    EXPECT_EQ(error.source(), QStringLiteral("Fso"));
    EXPECT_EQ(error.description(), QStringLiteral("full"));
}
