// Measurements functions.
#include "guard.h"
