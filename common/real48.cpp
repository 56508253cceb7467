#include "common/real48.h"
