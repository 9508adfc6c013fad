#include "treesearch.h"
