#pragma once
#include <string>
// The trace writer: one trace file, a level, optional serialisation of writes.
// Levels, prefixes, header and time-stamp mode are described in docs/tracing.md.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "Handles.h"
#include "PrintfArg.h"
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

class QORUTIL_API CQorPcTrc
{
public:
    enum Flags : unsigned int
    {
        FLAG_SERIALIZE = 1 // take a named mutex around every write
    };

    CQorPcTrc(const char* fileName, int level, unsigned int flags = 0);
    ~CQorPcTrc();
    CQorPcTrc(const CQorPcTrc&) = delete;
    CQorPcTrc& operator=(const CQorPcTrc&) = delete;

    // A print passes when the object level or the main trace mode reaches it.
    // Where a trace file of this name is made: in the trace directory, or,
    // without one, as the bare name (in the current directory at the first write).
    static std::string Path_Of(const char* fileName);

    bool Is_Enabled(int level) const noexcept { return level <= m_level || level <= s_mainTraceMode; }
    int Get_Level() const noexcept { return m_level; }

    template <typename... Args>
    void TraceError(const char* format, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_ERROR, format, args...);
    }
    template <typename... Args>
    void TraceWarning(const char* format, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_WARNING, format, args...);
    }
    template <typename... Args>
    void TraceDeveloperNote(const char* format, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_DEVELOPER, format, args...);
    }
    template <typename... Args>
    void TraceData(const char* format, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_DATA, format, args...);
    }

    template <typename... Args>
    void Print(int level, const char* format, const Args&... args)
    {
        if (Is_Enabled(level))
            Write(level, format, QOR::FrontEnd::Util::Printf_Arg(args)...);
    }

    // Writes one piece at `level` without the level test (callers test first).
    void Write(int level, const char* format, ...);
    void WriteV(int level, const char* format, va_list args);

private:
    class Piece;
    void Open(Piece& piece);
    void Append_Header(Piece& piece) const;
    static void Append_Stamp(Piece& piece, bool leadingLineFeed);
    void Lock();
    void Unlock();

    QOR::FrontEnd::Util::unique_hfile m_file;
    HANDLE m_output = nullptr; // the file, or standard error when it could not be created
    char m_fileName[MAX_PATH] = {};
    int m_level;
    unsigned int m_flags;
    QOR::FrontEnd::Util::unique_handle m_mutex;

    static int s_mainTraceMode;
};
