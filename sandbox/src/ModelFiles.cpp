// The in-memory service: ModelFiles.
#include "State.h"
