#include "form_view.h"
