#include "naturalorder.h"
