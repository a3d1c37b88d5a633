#include "ControlTestSupport.h"
