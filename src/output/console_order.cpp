#include "output/console_order.h"

#include <cstdio>

void flush_console_before_error() { std::fflush(stdout); }
