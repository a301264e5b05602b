// The managed base types the bridge is written against.
#include <System/DateTime.h>
#include <System/Handle.h>
#include <System/List.h>
#include <System/Nullable.h>
#include <System/String.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

using namespace System;
using test::ZoneScope;

namespace {

struct Node {
    int value = 7;
};

} // namespace

TEST(Handle, DereferencingNullRaisesNullReferenceException) {
    Handle<Node> node;
    EXPECT_TRUE(node == nullptr);
    EXPECT_THROW((void)node->value, NullReferenceException);
    EXPECT_THROW((void)*node, NullReferenceException);
    node = gcnew<Node>();
    EXPECT_EQ(node->value, 7);
}

TEST(Handle, SharesTheObjectLikeAManagedReference) {
    auto a = gcnew<Node>();
    Handle<Node> b = a;
    b->value = 9;
    EXPECT_EQ(a->value, 9);
    EXPECT_TRUE(a == b);
}

TEST(List, CapacityConstructorAndBounds) {
    Collections::Generic::List<int> list(3);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_GE(list.Capacity(), 3);
    list.Add(4);
    EXPECT_EQ(list[0], 4);
    EXPECT_THROW((void)list[1], ArgumentOutOfRangeException);
    EXPECT_THROW(Collections::Generic::List<int>(-1), ArgumentOutOfRangeException);
}

TEST(Nullable, ValueWithoutOneRaises) {
    Nullable<DateTime> none;
    EXPECT_FALSE(none.HasValue());
    EXPECT_THROW((void)none.Value(), InvalidOperationException);
    Nullable<DateTime> some(DateTime(2020, 1, 2, 3, 4, 5, DateTimeKind::Utc));
    EXPECT_EQ(some.Value().Day(), 2);
}

TEST(DateTime, CalendarFieldsAndTicks) {
    const DateTime epoch(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc);
    EXPECT_EQ(epoch.Ticks(), 621'355'968'000'000'000);
    const DateTime leap(2024, 2, 29, 23, 59, 58, DateTimeKind::Local);
    EXPECT_EQ(leap.Year(), 2024);
    EXPECT_EQ(leap.Month(), 2);
    EXPECT_EQ(leap.Day(), 29);
    EXPECT_EQ(leap.Hour(), 23);
    EXPECT_EQ(leap.Minute(), 59);
    EXPECT_EQ(leap.Second(), 58);
    EXPECT_EQ(leap.Kind(), DateTimeKind::Local);
    EXPECT_EQ(DateTime(9999, 12, 31, 23, 59, 59, DateTimeKind::Utc).Ticks() + DateTime::TicksPerSecond - 1,
              DateTime::MaxTicks);
    EXPECT_THROW(DateTime(2023, 2, 29, 0, 0, 0), ArgumentOutOfRangeException);
}

TEST(DateTime, AddTicksStaysInRange) {
    const DateTime epoch(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc);
    const DateTime before = epoch.AddTicks(-DateTime::TicksPerSecond);
    EXPECT_EQ(before.Year(), 1969);
    EXPECT_EQ(before.Second(), 59);
    EXPECT_EQ(before.Kind(), DateTimeKind::Utc);
    EXPECT_EQ((before - epoch).Ticks(), -DateTime::TicksPerSecond);
    EXPECT_THROW((void)epoch.AddTicks(-epoch.Ticks() - 1), ArgumentOutOfRangeException);
    EXPECT_THROW((void)epoch.AddTicks(DateTime::MaxTicks), ArgumentOutOfRangeException);
    EXPECT_THROW((void)epoch.AddTicks(INT64_MAX), ArgumentOutOfRangeException);
}

TEST(DateTime, ToUniversalTimeInAFixedOffsetZone) {
    ZoneScope zone("XST-2"); // two hours east of UTC all year
    const DateTime local(2021, 6, 1, 12, 0, 0, DateTimeKind::Local);
    const DateTime unspecified(2021, 6, 1, 12, 0, 0, DateTimeKind::Unspecified);
    const DateTime utc(2021, 6, 1, 12, 0, 0, DateTimeKind::Utc);
    EXPECT_EQ(local.ToUniversalTime().Hour(), 10);
    EXPECT_EQ(local.ToUniversalTime().Kind(), DateTimeKind::Utc);
    EXPECT_EQ(unspecified.ToUniversalTime().Hour(), 10);
    EXPECT_EQ(utc.ToUniversalTime().Hour(), 12);
    // Sub-second ticks survive the conversion.
    EXPECT_EQ(local.AddTicks(123).ToUniversalTime().Ticks() % DateTime::TicksPerSecond, 123);
}

TEST(DateTime, ToUniversalTimeFollowsDaylightSavingAtThatDate) {
    ZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(DateTime(2021, 1, 15, 12, 0, 0, DateTimeKind::Local).ToUniversalTime().Hour(), 11);
    EXPECT_EQ(DateTime(2021, 7, 15, 12, 0, 0, DateTimeKind::Local).ToUniversalTime().Hour(), 10);
}

// Guards against a conversion that depends on earlier ones (mktime keeps a guess between calls): the
// hour the clocks pass twice reads as standard time, and the hour they skip moves by the standard
// offset, whatever was converted before.
TEST(DateTime, ToUniversalTimeReadsRepeatedAndSkippedHoursAsStandardTime) {
    ZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const DateTime repeated(2021, 10, 31, 2, 30, 0, DateTimeKind::Local);
    const DateTime skipped(2021, 3, 28, 2, 30, 0, DateTimeKind::Local);
    for (const DateTime before :
         {DateTime(2021, 7, 15, 12, 0, 0, DateTimeKind::Local), DateTime(2021, 1, 15, 12, 0, 0, DateTimeKind::Local)}) {
        (void)before.ToUniversalTime();
        EXPECT_EQ(repeated.ToUniversalTime().Hour(), 1);
        EXPECT_EQ(skipped.ToUniversalTime().Hour(), 1);
    }
}

TEST(Exceptions, CarryMessageAndParameterName) {
    const ArgumentNullException nullArgument(u"list");
    EXPECT_EQ(nullArgument.ParamName()->View(), u"list");
    const ArgumentException withMessage(u"bad input");
    EXPECT_EQ(withMessage.Message()->View(), u"bad input");
    EXPECT_TRUE(withMessage.ParamName() == nullptr);
    const InvalidCastException cast(u"csEnum");
    EXPECT_STREQ(cast.what(), "csEnum");
    // The family is one hierarchy, so one handler catches every member.
    EXPECT_THROW(throw ArgumentOutOfRangeException(u"x"), Exception);
    EXPECT_THROW(throw InsufficientMemoryException(), OutOfMemoryException);
}
