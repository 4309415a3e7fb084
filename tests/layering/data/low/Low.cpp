#include "low/Low.h"

#include <string>

#include <low/sub/Sub.h>
