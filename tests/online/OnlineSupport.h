// The web-link test support lives in tests/common (the entry tests use it
// too); this name stays for the online tests that include it by it.
#pragma once

#include "common/OnlineSupport.h"
