#include "mainlayout.h"
