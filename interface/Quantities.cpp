// Quantities functions.
#include "guard.h"
