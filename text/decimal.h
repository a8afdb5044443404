// Decimal numbers in server replies and the settings file.
#pragma once

// strtol in base 10 (leading blanks, a sign, digits; no digits gives 0),
// held to the range of int the way a 32-bit long saturates: the same text
// reads the same on the box and on a 64-bit machine.
int readDecimal(const char* text);
