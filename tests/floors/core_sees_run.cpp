// A core file may not see the run controller above it.
#include "run/RunController.h"
