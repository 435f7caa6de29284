// The helpers of test_support.cpp for a test program with an application object of its own.
#define ASTREL_OWN_APP
#include "test_support.cpp"
