#include <gtest/gtest.h>

#include "PVDLL.h"

TEST(ZnList, Empty)
{
    ZnList list;
    EXPECT_TRUE(list.IsEmpty());
}
