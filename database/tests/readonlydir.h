#include "common/testsupport/readonlydir.h" // moved: shared by every module's tests
