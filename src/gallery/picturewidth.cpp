#include "picturewidth.h"
