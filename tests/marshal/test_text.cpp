// Text and time conversions between native values and service values.
#include <via/marshal/text.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

using namespace via::marshal;
using System::DateTime;
using System::DateTimeKind;
using test::CodePageScope;
using test::raised;
using test::S;

namespace {

const std::u16string_view kMultiByteFailed =
    u"Conversion from MultiByte to WideChar failed.  Please check the content of the string and/or locale settings.";
const std::u16string_view kWideFailed =
    u"Conversion from WideChar to MultiByte failed.  Please check the content of the string and/or locale settings.";

TimePoint ticks(std::int64_t count) {
    return TimePoint(TimePoint::duration(count));
}

} // namespace

TEST(Text, EmptyStringsStayEmptyAndNonNull) {
    CodePageScope page(1252);
    const auto service = marshal_as<System::Handle<System::String>>(std::string());
    ASSERT_FALSE(service == nullptr);
    EXPECT_EQ(service->Length(), 0);
    EXPECT_EQ(marshal_as<std::string>(S(u"")), "");
    EXPECT_EQ(marshal_as<std::optional<std::string>>(S(u"")), std::optional<std::string>(""));
}

TEST(Text, NullServiceStringIsRefusedOrAbsent) {
    const System::Handle<System::String> null;
    const auto error = raised<System::ArgumentNullException>([&] { (void)marshal_as<std::string>(null); });
    EXPECT_EQ(error.ParamName()->View(), u"NULLPTR is not supported for this conversion.");
    EXPECT_EQ(marshal_as<std::optional<std::string>>(null), std::nullopt);
}

struct TextCase {
    const char* name;
    unsigned codePage;
    std::string narrow;
    std::u16string wide;
};

class TextRoundTrip : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextRoundTrip, BothWays) {
    const auto& c = GetParam();
    CodePageScope page(c.codePage);
    const auto service = marshal_as<System::Handle<System::String>>(c.narrow);
    EXPECT_EQ(service->View(), c.wide);
    EXPECT_EQ(marshal_as<std::string>(service), c.narrow);
    EXPECT_EQ(marshal_as<System::Handle<System::String>>(std::string_view(c.narrow))->View(), c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, TextRoundTrip,
    ::testing::Values(TextCase{"ascii", 20127, "proj-42", u"proj-42"},
                      TextCase{"embedded_nuls", 1252, std::string("a\0b\0", 4), std::u16string(u"a\0b\0", 4)},
                      TextCase{"windows1252", 1252, "Bj\xF8rn\xF8ya \x80", u"Bj\u00F8rn\u00F8ya \u20AC"},
                      TextCase{"utf8", 65001, "Bj\xC3\xB8rn \xE2\x82\xAC", u"Bj\u00F8rn \u20AC"},
                      TextCase{"shift_jis", 932, "\x93\xFA\x96\x7B", u"\u65E5\u672C"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Text, CharactersThePageLacksBecomeItsDefaultCharacter) {
    CodePageScope page(1252);
    // No best fit: infinity and the full-width A are not written as '8' and 'A'.
    EXPECT_EQ(marshal_as<std::string>(S(u"\u221E \uFF21 \u4E2D")), "? ? ?");
}

TEST(Text, LongerThanIntMaxIsRefusedBeforeReadingTheText) {
    const char small[1] = {'x'};
    // The view claims more bytes than exist; the length check must come before any read.
    const std::string_view huge(small, static_cast<std::size_t>(INT_MAX) + 1);
    const auto error =
        raised<System::ArgumentOutOfRangeException>([&] { (void)marshal_as<System::Handle<System::String>>(huge); });
    EXPECT_EQ(error.ParamName()->View(), u"Size of string exceeds INT_MAX.");
}

TEST(Text, ConverterFailureRaisesTheDocumentedMessages) {
    CodePageScope page(12345); // not a supported page: the converter reports failure
    const auto toWide =
        raised<System::ArgumentException>([] { (void)marshal_as<System::Handle<System::String>>(std::string("x")); });
    EXPECT_EQ(toWide.Message()->View(), kMultiByteFailed);
    const auto toNarrow = raised<System::ArgumentException>([] { (void)marshal_as<std::string>(S(u"x")); });
    EXPECT_EQ(toNarrow.Message()->View(), kWideFailed);
    // Empty text needs no converter, so it still converts.
    EXPECT_EQ(marshal_as<std::string>(S(u"")), "");
}

TEST(Time, EpochAndOneSecondBefore) {
    const DateTime epoch = marshal_as<DateTime>(ticks(0));
    EXPECT_EQ(epoch.Kind(), DateTimeKind::Utc);
    EXPECT_EQ(epoch, DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc));
    EXPECT_EQ(marshal_as<DateTime>(ticks(-10'000'000)), DateTime(1969, 12, 31, 23, 59, 59, DateTimeKind::Utc));
    EXPECT_EQ(detail::getEpoch(), epoch);
}

TEST(Time, RoundTripKeepsEveryTick) {
    for (std::int64_t count : {std::int64_t{0}, std::int64_t{1}, std::int64_t{-1}, std::int64_t{16'094'592'001'234'567},
                               std::int64_t{-621'355'968'000'000'000}})
        EXPECT_EQ(marshal_as<TimePoint>(marshal_as<DateTime>(ticks(count))), ticks(count)) << count;
}

TEST(Time, OutsideTheDateTimeRangeRaises) {
    EXPECT_THROW((void)marshal_as<DateTime>(ticks(-621'355'968'000'000'001)), System::ArgumentOutOfRangeException);
    EXPECT_THROW((void)marshal_as<DateTime>(ticks(INT64_MAX)), System::ArgumentOutOfRangeException);
}

TEST(Time, LocalAndUnspecifiedAreTakenAsLocalTime) {
    test::ZoneScope zone("XST-3");
    const auto utc = marshal_as<TimePoint>(DateTime(2000, 1, 1, 3, 0, 0, DateTimeKind::Utc));
    EXPECT_EQ(marshal_as<TimePoint>(DateTime(2000, 1, 1, 3, 0, 0, DateTimeKind::Local)), utc - std::chrono::hours(3));
    EXPECT_EQ(marshal_as<TimePoint>(DateTime(2000, 1, 1, 3, 0, 0, DateTimeKind::Unspecified)),
              utc - std::chrono::hours(3));
}

TEST(Time, NullableDateTime) {
    EXPECT_EQ(marshal_as<std::optional<TimePoint>>(System::Nullable<DateTime>()), std::nullopt);
    const System::Nullable<DateTime> oneSecond(DateTime(1970, 1, 1, 0, 0, 1, DateTimeKind::Utc));
    EXPECT_EQ(marshal_as<std::optional<TimePoint>>(oneSecond), std::optional<TimePoint>(ticks(10'000'000)));
}
