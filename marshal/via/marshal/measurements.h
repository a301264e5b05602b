// measurements records.
#pragma once

#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>
