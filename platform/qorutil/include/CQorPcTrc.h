#pragma once
// The client's trace writer: one trace file, its level, optional serialisation
// of writes. What a caller may use: the four print operations and the state.
// A writer is made and closed by its trace object (TracingAdaptor).
//
// The print operations are C variadic functions: a caller hands them plain
// values and zero-terminated texts, never string objects. A print at level L
// writes when the object level or the main trace mode reaches L; a caller may
// test that first from the state, to spare itself the formatting.
#include <windows.h>

#include <cstdio>

#include "QorUtilApi.h"

enum QORPCTRC_LEVEL
{
    QORPCTRC_LEVEL_NONE = 0,
    QORPCTRC_LEVEL_ERROR = 1,
    QORPCTRC_LEVEL_WARNING = 2,
    QORPCTRC_LEVEL_DEVELOPER = 3,
    QORPCTRC_LEVEL_DATA = 4,
    QORPCTRC_LEVEL_TIMESTAMP = 5
};

namespace QOR { namespace FrontEnd { namespace Util { namespace Tracing {
class TracingAdaptor;
}}}} // namespace QOR::FrontEnd::Util::Tracing

class QORUTIL_API CQorPcTrc
{
public:
    CQorPcTrc(const CQorPcTrc&) = delete;
    CQorPcTrc& operator=(const CQorPcTrc&) = delete;

    enum Flags : unsigned int
    {
        FLAG_SERIALIZE = 1 // take a named mutex around every write
    };

    void TraceError(const char* format, ...);         // level 1
    void TraceWarning(const char* format, ...);       // level 2
    void TraceDeveloperNote(const char* format, ...); // level 3
    void TraceData(const char* format, ...);          // level 4

    // The state, in this order.
    FILE* m_file = nullptr; // null until the first write; standard error when the file could not be made
    char m_fileName[MAX_PATH] = {};
    int m_level = QORPCTRC_LEVEL_NONE;
    unsigned int m_flags = 0;
    HANDLE m_mutex = nullptr;

    // The process's main trace mode: takes part in every level test.
    static int s_mainTraceMode;

private:
    friend class QOR::FrontEnd::Util::Tracing::TracingAdaptor;
    CQorPcTrc(const char* fileName, int level);
    ~CQorPcTrc();
};
