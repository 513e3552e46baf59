#include "field_handlers.h"
