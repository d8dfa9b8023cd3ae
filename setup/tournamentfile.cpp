#include "setup/tournamentfile.h"
