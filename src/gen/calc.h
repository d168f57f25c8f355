// calc.h: the expression calculator of data entry (operator precedence, one pass).
#pragma once

// Evaluates the expression that starts at text; *end is set to the first character after it.
// Variables are looked up in _Id.list, # is the last value _Id.val. On any error the result
// is 0 and *end is text: an expression that consumed nothing is the caller's error.
double Calc(const char* text, const char** end);
