#include "gallery.h"
