#include "high/High.h"

#include "base/Base.h"
