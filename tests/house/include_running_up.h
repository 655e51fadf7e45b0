// An include that runs up: the house check must refuse it.
#include "shapes/session.h"
