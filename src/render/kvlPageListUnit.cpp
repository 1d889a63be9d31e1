#include "render/kvlPageListUnit.h"
