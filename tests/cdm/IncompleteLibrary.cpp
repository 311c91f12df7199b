// A connection-data library that exports only its first function.
#include "CdmDataManExports.h"

int CdmDataManInit(const char*, int*, int*, CString*, int, const char*) { return 0; }
