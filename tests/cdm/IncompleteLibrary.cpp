// A connection-data library that exports only its first function, which answers
// a state no real library has, so that a call of it would show.
#include "CdmDataManExports.h"

int CdmDataManInit(const char*, int*, int*, CString*, int, const char*) { return 42; }
