#include "common/test_seams.h"

#ifdef SETUP_TEST_SEAMS
TestSeams gTestSeams = kNoTestSeams;
#endif
