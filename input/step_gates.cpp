#include "step_gates.h"
