#include "CQorPcTrc.h"

#include <shlwapi.h>

#include <cstring>
#include <ctime>
#include <string>

#include "UniqueHandle.h"

int CQorPcTrc::s_mainTraceMode = 0;

namespace {

const char* const Asterisks80 =
    "********************************************************************************\n";
const char* const Title =
    "****************************  QOR SE, Trace File  ******************************\n";

typedef void (*InitBufferFunction)(char*);
typedef BOOL (*InitTraceDirFunction)(char*);

// The trace directory is asked of the utility library by name, once per process;
// either export may be missing. The library stays loaded until this module goes.
struct TraceDirectoryLookup
{
    QOR::FrontEnd::Util::unique_hmodule library{LoadLibraryA("qorutil.dll")};
    InitBufferFunction initBuffer = nullptr;
    InitTraceDirFunction initTraceDir = nullptr;

    TraceDirectoryLookup()
    {
        if (library) {
            initBuffer = reinterpret_cast<InitBufferFunction>(GetProcAddress(library.get(), "InitBuffer"));
            initTraceDir = reinterpret_cast<InitTraceDirFunction>(GetProcAddress(library.get(), "InitTraceDir"));
        }
    }

    static const TraceDirectoryLookup& Instance()
    {
        static const TraceDirectoryLookup lookup;
        return lookup;
    }
};

std::string Trace_File_Path(const char* fileName)
{
    const TraceDirectoryLookup& lookup = TraceDirectoryLookup::Instance();
    char directory[MAX_PATH] = {};
    if (lookup.initBuffer)
        lookup.initBuffer(directory);
    if (lookup.initTraceDir && lookup.initTraceDir(directory)) {
        char path[MAX_PATH] = {};
        PathAppendA(std::strcpy(path, directory), fileName);
        return path;
    }
    return fileName;
}

std::string Main_Mode_Wording(int mode)
{
    switch (mode) {
    case 1: return "Error ";
    case 2: return "Error and Warning ";
    case 3: return "Error, Warning and Developer notes ";
    default: return "Error, Warning, Developer Notes and additional data ";
    }
}

std::string Format_Text(const char* format, va_list args)
{
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace

CQorPcTrc::CQorPcTrc(const char* fileName, int level, unsigned int flags) : m_level(level), m_flags(flags)
{
    lstrcpynA(m_fileName, fileName ? fileName : "", MAX_PATH);
    if (m_flags & FLAG_SERIALIZE) {
        // One mutex per trace file name, so writers of the same file agree.
        std::string name = std::string("QORPCTRC_") + m_fileName;
        for (char& ch : name)
            if (ch == '\\')
                ch = '_';
        m_mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    }
}

CQorPcTrc::~CQorPcTrc()
{
    if (m_file && m_file != stderr)
        std::fclose(m_file);
    if (m_mutex)
        CloseHandle(m_mutex);
}

void CQorPcTrc::Write(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(level, format, args);
    va_end(args);
}

void CQorPcTrc::WriteV(int level, const char* format, va_list args)
{
    if (m_flags & FLAG_SERIALIZE)
        Lock();
    if (!m_file)
        Open();
    std::string text = Format_Text(format, args);
    if (m_level == QORPCTRC_LEVEL_TIMESTAMP) {
        const bool leadingLineFeed = !text.empty() && text[0] == '\n';
        Write_Stamp(leadingLineFeed);
        if (leadingLineFeed)
            text.erase(0, 1);
    } else if (level == QORPCTRC_LEVEL_ERROR) {
        std::fputs("***ERROR***: ", m_file);
    } else if (level == QORPCTRC_LEVEL_WARNING) {
        std::fputs("***WARNING*: ", m_file);
    }
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fflush(m_file);
    if (m_flags & FLAG_SERIALIZE)
        Unlock();
}

void CQorPcTrc::Open()
{
    const std::string path = Trace_File_Path(m_fileName);
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file)
        m_file = stderr;
    Write_Header();
}

void CQorPcTrc::Write_Header()
{
    char program[512] = {};
    GetModuleFileNameA(nullptr, program, sizeof(program));
    const std::string lines[] = {
        Asterisks80,
        Title,
        "** Main trace mode: " + Main_Mode_Wording(s_mainTraceMode) + "\n",
        std::string("** Program: \t") + program + "\n",
        Asterisks80,
    };
    for (const std::string& line : lines) {
        if (m_level == QORPCTRC_LEVEL_TIMESTAMP)
            Write_Stamp(false);
        std::fputs(line.c_str(), m_file);
    }
    std::fputs("\n", m_file);
}

void CQorPcTrc::Write_Stamp(bool leadingLineFeed)
{
    char stamp[256] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof(stamp) - 1, "(%d.%m.%y %H:%M:%S)", std::localtime(&now));
    std::fprintf(m_file, leadingLineFeed ? "\n%s " : "%s ", stamp);
}

void CQorPcTrc::Lock()
{
    if (!m_mutex) {
        std::fputs("ERROR: QORPCTRC, invalid SetLock call (MUTEX is null)\n", stderr);
        return;
    }
    switch (WaitForSingleObject(m_mutex, 60000)) {
    case WAIT_OBJECT_0:
        break;
    case WAIT_ABANDONED:
        std::fputs("ERROR: QORPCTRC, lock holder died\n", stderr);
        break;
    case WAIT_TIMEOUT:
        std::fputs("ERROR: QORPCTRC, MUTEX timed out\n", stderr);
        break;
    default:
        std::fprintf(stderr, "ERROR: QORPCTRC, lock problem (%d)\n", static_cast<int>(GetLastError()));
        break;
    }
}

void CQorPcTrc::Unlock()
{
    if (m_mutex && !ReleaseMutex(m_mutex))
        std::fprintf(stderr, "ERROR: QORPCTRC, lock reset failed (%d)\n", static_cast<int>(GetLastError()));
}
