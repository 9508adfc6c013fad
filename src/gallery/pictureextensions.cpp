#include "pictureextensions.h"
