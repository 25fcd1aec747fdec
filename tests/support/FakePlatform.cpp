#include "tests/support/FakePlatform.h"
