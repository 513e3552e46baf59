#include "key_filters.h"
