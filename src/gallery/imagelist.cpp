#include "imagelist.h"
