#include "folderlisting.h"
