// Helpers for tests that stand where the host stands: the sandbox reset per test, a fixed code page,
// and short ways to build service values.
#pragma once

#include "support/values.h"

#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <System/Exceptions.h>
#include <System/List.h>
#include <System/String.h>
#include <win32/CodePage.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace test {

using OrvaneModule::VeskoIntegration;
namespace Sandbox = OrvaneModule::Sandbox;
namespace api = OrvaneModule::ApiModels;
using System::gcnew;
using System::Handle;
using System::String;
using System::Collections::Generic::List;

// Every host test starts from an empty sandbox, on Windows-1252, with a user signed in.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sandbox::reset();
        int responsecode = 0;
        ASSERT_TRUE(OrvaneModuleIntegration::Login("ada", std::string(tenant), responsecode));
    }
    void TearDown() override { Sandbox::reset(); }

    static constexpr std::string_view tenant = "tenant-nordbygg";
    CodePageScope codePage_{1252};
};

// The exceptions a facade may raise, for tables of failure cases.
struct NonStandard {};

} // namespace test
