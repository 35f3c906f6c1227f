#include "link/LinkTimeouts.h"

#include <gtest/gtest.h>

TEST(LinkTimeouts, FittingBoundsEveryWaitAndKeepsShorterWaitsAndCounts) {
    LinkTimeouts waits;
    waits.listFramePauseMs = 20;
    waits.FitWithin(400);
    for (const int wait :
         {waits.usbReadMs, waits.usbWriteMs, waits.comReadMs, waits.comWriteConstantMs, waits.netMs,
          waits.netConnectMs, waits.lptWriteMs, waits.fileRequestPauseMs, waits.frameStartMs,
          waits.listMs})
        EXPECT_EQ(wait, 400);
    // Waits already shorter stay: a product's (the 100 ms pause) and a test's.
    const LinkTimeouts product;
    EXPECT_EQ(waits.fileCommandPauseMs, product.fileCommandPauseMs);
    EXPECT_EQ(waits.listFramePauseMs, 20);
    EXPECT_EQ(waits.comWritePerByteMs, product.comWritePerByteMs);
    EXPECT_EQ(waits.netMaxOffers, product.netMaxOffers);
    EXPECT_EQ(waits.replySkipBytes, product.replySkipBytes);
    EXPECT_EQ(waits.listMostItems, product.listMostItems);

    // A later, shorter deadline shortens again; a deadline already past leaves 1 ms waits.
    waits.FitWithin(0);
    EXPECT_EQ(waits.netMs, 1);
    EXPECT_EQ(waits.listFramePauseMs, 1);
    // A deadline beyond the product's waits changes nothing of them.
    LinkTimeouts roomy;
    roomy.FitWithin(1'000'000);
    EXPECT_EQ(roomy.listMs, product.listMs);
    EXPECT_EQ(roomy.fileRequestPauseMs, product.fileRequestPauseMs);
}
