// The in-memory service: Measurements.
#include "State.h"
