// Every conversion between native values and the service object model.
#pragma once

#include <via/marshal/collections.h>
#include <via/marshal/contracts.h>
#include <via/marshal/core.h>
#include <via/marshal/enums.h>
#include <via/marshal/measurements.h>
#include <via/marshal/model_files.h>
#include <via/marshal/text.h>
