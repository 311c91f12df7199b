#pragma once
// What the stand-in connection-data libraries answer beyond the contract:
// why a call failed, why a file did not open. Callers outside them know
// only 0 and not 0.
#include "CdmDataMan.h"

// The stand-ins' results of the data functions (CDM_OK is success) and
// initialization states.
enum CDM_RESULT
{
    CDM_E_NOT_INITIALIZED = 1,  // Init has not run or failed
    CDM_E_NOT_FOUND = 2,        // no folder, entry or parameter under that key
    CDM_E_INVALID_ARGUMENT = 3, // a null pointer, an unknown type or attribute code
    CDM_E_READ_ONLY = 4,        // this library never writes (qorcdm.dll)
    CDM_E_NOT_SUPPORTED = 5,    // a function the migration does not use
    CDM_E_WRITE_FAILED = 6      // the file could not be written
};

enum CDM_INIT_STATE
{
    CDM_INIT_OK = CDM_OK,
    CDM_INIT_FILE_MISSING = 101,      // the connection file does not exist
    CDM_INIT_FILE_UNREADABLE = 102,   // it exists but cannot be opened or parsed
    CDM_INIT_FILE_NOT_WRITABLE = 103, // the landscape file or its folder cannot be written
    CDM_INIT_NO_FILE_NAME = 104       // no file was given and no default is known
};
