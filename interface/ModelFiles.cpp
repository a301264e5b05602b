// ModelFiles functions.
#include "guard.h"
