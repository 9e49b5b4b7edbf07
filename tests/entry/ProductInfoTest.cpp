#include <gtest/gtest.h>

#include "PVDLL.h"

TEST(ProductIdentity, VersionTextsAreTheFixedOnes)
{
    ProductInfo* product = GetMyProductInfo();
    EXPECT_STREQ(product->GetName(), L"Launchora");
}
