// Projects functions.
#include "guard.h"
