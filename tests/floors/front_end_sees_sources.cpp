// A front end reaches the listers only through the run controller.
#include "sources/Registry.h"
