#include "TestPlatform.h"

// ZU_TEST_PLATFORM names the enumerator: Linux or Windows.
TestPlatform CurrentTestPlatform() { return TestPlatform::ZU_TEST_PLATFORM; }
