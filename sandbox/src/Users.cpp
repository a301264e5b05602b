// The in-memory service: Users.
#include "State.h"
