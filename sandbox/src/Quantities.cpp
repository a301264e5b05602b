// The in-memory service: Quantities.
#include "State.h"
