#include "setup/cp1252.h"
