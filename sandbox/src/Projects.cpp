// The in-memory service: Projects.
#include "State.h"
