#include "thumbnailpage.h"
