// What every exported function is written with: the guard, the facade, the host's declarations and
// the conversion entry point.
#pragma once

#include "guard.h"

#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <via/marshal/core.h>

namespace OrvaneModuleIntegration {

using OrvaneModule::VeskoIntegration;
using System::Handle;
using System::String;
using via::marshal::marshal_as;
namespace api = OrvaneModule::ApiModels;

} // namespace OrvaneModuleIntegration
