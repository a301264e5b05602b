// Users functions.
#include "guard.h"
