#include "setup/numberinput.h"
