// The MTF window's computation handlers.
#include "mtf/form2.h"
