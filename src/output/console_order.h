// Keeps standard output and standard error in the order they were written
// when both show on one terminal.
#pragma once

// Standard output is buffered and standard error is not, so anything already
// printed on standard output must go out before a message on standard error.
// Called only before error messages, so ordinary progress output stays buffered.
void flush_console_before_error();
