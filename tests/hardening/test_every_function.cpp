// Every exported function under every kind of failure of its facade operation: the host gets the
// fallback, never an exception, and `responsecode` holds exactly what the facade left in it.
#include "support/exported_functions.h"

#include <new>
#include <stdexcept>
#include <string>

using namespace test;

namespace {

struct NonStandard {
    int code = 0;
};

struct Failure {
    const char* name;
    Raise raise;
};

const Failure kFailures[] = {
    {"Exception", [] { throw System::Exception(u"service"); }},
    {"SystemException", [] { throw System::SystemException(u"system"); }},
    {"ArgumentException", [] { throw System::ArgumentException(u"bad", u"arg"); }},
    {"ArgumentNullException", [] { throw System::ArgumentNullException(u"arg"); }},
    {"ArgumentOutOfRangeException", [] { throw System::ArgumentOutOfRangeException(u"arg"); }},
    {"OutOfMemoryException", [] { throw System::OutOfMemoryException(); }},
    {"InsufficientMemoryException", [] { throw System::InsufficientMemoryException(); }},
    {"InvalidCastException", [] { throw System::InvalidCastException(u"csEnum"); }},
    {"InvalidOperationException", [] { throw System::InvalidOperationException(); }},
    {"NullReferenceException", [] { throw System::NullReferenceException(); }},
    {"bad_alloc", [] { throw std::bad_alloc(); }},
    {"runtime_error", [] { throw std::runtime_error("service down"); }},
    {"int", [] { throw 7; }},
    {"non_standard_class", [] { throw NonStandard{3}; }},
};

class EveryFunction : public HostTest, public ::testing::WithParamInterface<ExportedFunction> {};
class EveryAnsweringFunction : public EveryFunction {};

std::vector<ExportedFunction> answeringFunctions() {
    std::vector<ExportedFunction> answering;
    for (const auto& function : exportedFunctions())
        if (function.answers) answering.push_back(function);
    return answering;
}

std::string nameOf(const ::testing::TestParamInfo<ExportedFunction>& row) {
    return row.param.name;
}

} // namespace

TEST(ExportedFunctions, TheRegistryListsEachFunctionOnce) {
    const auto& all = exportedFunctions();
    EXPECT_EQ(all.size(), 57u);
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) EXPECT_STRNE(all[i].name, all[j].name);
}

TEST_P(EveryFunction, ARaisingServiceGivesTheFallback) {
    const auto& function = GetParam();
    for (const auto& failure : kFailures) {
        SCOPED_TRACE(failure.name);
        const auto script = function.scriptRaising(failure.raise);
        int responsecode = 1;
        bool fallback = false;
        EXPECT_NO_THROW(fallback = function.returnsFallback(responsecode));
        EXPECT_TRUE(fallback);
        EXPECT_EQ(responsecode, function.hasResponseCode ? kScriptedResponseCode : 1);
    }
}

TEST_P(EveryAnsweringFunction, ANullAnswerGivesTheFallback) {
    const auto& function = GetParam();
    const auto script = function.scriptNull();
    int responsecode = 1;
    bool fallback = false;
    EXPECT_NO_THROW(fallback = function.returnsFallback(responsecode));
    EXPECT_TRUE(fallback);
    EXPECT_EQ(responsecode, function.hasResponseCode ? kScriptedResponseCode : 1);
}

INSTANTIATE_TEST_SUITE_P(All, EveryFunction, ::testing::ValuesIn(exportedFunctions()), nameOf);
INSTANTIATE_TEST_SUITE_P(All, EveryAnsweringFunction, ::testing::ValuesIn(answeringFunctions()), nameOf);
