#include <gtest/gtest.h>
#include "startup/command_line.h"
TEST(X, Y) {}
