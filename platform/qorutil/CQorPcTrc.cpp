#include "CQorPcTrc.h"

#include <fcntl.h>
#include <io.h>
#include <shlwapi.h>

#include <cstdarg>
#include <cstring>
#include <ctime>
#include <string>

#include "Handles.h"
#include "SystemText.h"

int CQorPcTrc::s_mainTraceMode = 0;

namespace {

const char* const Asterisks80 = "********************************************************************************\n";
const char* const Title = "****************************  QOR SE, Trace File  ******************************\n";

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
    case 1:
        return "Error ";
    case 2:
        return "Error and Warning ";
    case 3:
        return "Error, Warning and Developer notes ";
    default:
        return "Error, Warning, Developer Notes and additional data ";
    }
}

// printf into a stack buffer, into the heap only for the rare long piece.
class FormattedText
{
public:
    FormattedText(const char* format, va_list args)
    {
        va_list probe;
        va_copy(probe, args);
        const int length = std::vsnprintf(m_local, sizeof(m_local), format, probe);
        va_end(probe);
        m_length = length > 0 ? static_cast<size_t>(length) : 0;
        m_text = m_local;
        if (m_length >= sizeof(m_local)) {
            m_long.resize(m_length + 1);
            std::vsnprintf(&m_long[0], m_long.size(), format, args);
            m_text = m_long.data();
        }
    }
    FormattedText(const FormattedText&) = delete;
    FormattedText& operator=(const FormattedText&) = delete;

    const char* Text() const noexcept { return m_text; }
    size_t Length() const noexcept { return m_length; }

private:
    char m_local[1024];
    std::string m_long;
    const char* m_text;
    size_t m_length;
};

// One piece as it reaches the file, line feeds already turned into CR LF as a
// text-mode stream would, so that the piece goes out in a single write. Kept
// on the stack unless it is unusually long.
class Piece
{
public:
    Piece() = default;
    Piece(const Piece&) = delete;
    Piece& operator=(const Piece&) = delete;

    void Append(const char* text, size_t length)
    {
        for (const char* end = text + length; text != end;) {
            const char* lineFeed = static_cast<const char*>(std::memchr(text, '\n', end - text));
            if (!lineFeed) {
                Add(text, end - text);
                break;
            }
            Add(text, lineFeed - text);
            Add("\r\n", 2);
            text = lineFeed + 1;
        }
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }

    void Write_To(HANDLE output) const
    {
        const char* bytes = m_long.empty() ? m_local : m_long.data();
        const size_t size = m_long.empty() ? m_size : m_long.size();
        DWORD written = 0;
        if (size)
            WriteFile(output, bytes, static_cast<DWORD>(size), &written, nullptr);
    }

private:
    void Add(const char* text, size_t length)
    {
        if (m_long.empty() && m_size + length <= sizeof(m_local)) {
            std::memcpy(m_local + m_size, text, length);
            m_size += length;
            return;
        }
        if (m_long.empty())
            m_long.assign(m_local, m_size);
        m_long.append(text, length);
    }

    char m_local[2048];
    size_t m_size = 0;
    std::string m_long;
};

// The stream's own handle, or standard error's: every piece goes out in one
// WriteFile call, past the stream's buffer (a buffered stream flushed per
// piece costs half as much again under Wine), and so is on disk at once.
HANDLE Output_Of(FILE* file)
{
    if (file == stderr)
        return GetStdHandle(STD_ERROR_HANDLE);
    // The C runtime hands the handle out as an integer; the cast is its contract.
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); // NOLINT(performance-no-int-to-ptr)
}

// Opens as fopen(path, "w") would: created or truncated, others may read and
// write. Standard error when the file cannot be made.
FILE* Open_File(const char* fileName)
{
    const std::string path = Trace_File_Path(fileName);
    QOR::FrontEnd::Util::unique_hfile handle(CreateFileA(path.c_str(), GENERIC_WRITE,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        return stderr;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_WRONLY | _O_TEXT);
    if (descriptor == -1)
        return stderr;
    static_cast<void>(handle.release()); // the descriptor owns it now
    FILE* file = _fdopen(descriptor, "w");
    if (!file) {
        _close(descriptor);
        return stderr;
    }
    return file;
}

void Append_Stamp(Piece& piece, bool leadingLineFeed)
{
    char stamp[256] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof(stamp) - 1, "(%d.%m.%y %H:%M:%S)", std::localtime(&now));
    if (leadingLineFeed)
        piece.Append("\n");
    piece.Append(stamp);
    piece.Append(" ");
}

void Append_Header(Piece& piece, bool stamped)
{
    const std::string program = QOR::FrontEnd::SystemText::Module_File_Name(nullptr);
    const std::string lines[] = {
        Asterisks80,
        Title,
        "** Main trace mode: " + Main_Mode_Wording(CQorPcTrc::s_mainTraceMode) + "\n",
        std::string("** Program: \t") + program + "\n",
        Asterisks80,
    };
    for (const std::string& line : lines) {
        if (stamped)
            Append_Stamp(piece, false);
        piece.Append(line.c_str(), line.size());
    }
    piece.Append("\n");
}

void Lock(HANDLE mutex)
{
    if (!mutex) {
        std::fputs("ERROR: QORPCTRC, invalid SetLock call (MUTEX is null)\n", stderr);
        return;
    }
    switch (WaitForSingleObject(mutex, 60000)) {
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

void Unlock(HANDLE mutex)
{
    if (mutex && !ReleaseMutex(mutex))
        std::fprintf(stderr, "ERROR: QORPCTRC, lock reset failed (%d)\n", static_cast<int>(GetLastError()));
}

// The writer's mutex held for one write, when its flags say to serialise.
class SerialisedWrite
{
public:
    explicit SerialisedWrite(const CQorPcTrc& writer)
        : m_serialised((writer.m_flags & CQorPcTrc::FLAG_SERIALIZE) != 0), m_mutex(writer.m_mutex)
    {
        if (m_serialised)
            Lock(m_mutex);
    }
    ~SerialisedWrite()
    {
        if (m_serialised)
            Unlock(m_mutex);
    }
    SerialisedWrite(const SerialisedWrite&) = delete;
    SerialisedWrite& operator=(const SerialisedWrite&) = delete;

private:
    bool m_serialised;
    HANDLE m_mutex;
};

// A print that passed the level test: the piece with its prefix or stamp, the
// file opened (with its header) by the first one.
void Write(CQorPcTrc& writer, int level, const char* format, va_list args)
{
    const SerialisedWrite serialised(writer);
    const bool stamped = writer.m_level == QORPCTRC_LEVEL_TIMESTAMP;
    Piece piece;
    if (!writer.m_file) {
        writer.m_file = Open_File(writer.m_fileName);
        Append_Header(piece, stamped);
    }
    const FormattedText text(format, args);
    const char* body = text.Text();
    size_t length = text.Length();
    if (stamped) {
        const bool leadingLineFeed = length > 0 && body[0] == '\n';
        Append_Stamp(piece, leadingLineFeed);
        if (leadingLineFeed)
            ++body, --length;
    } else if (level == QORPCTRC_LEVEL_ERROR) {
        piece.Append("***ERROR***: ");
    } else if (level == QORPCTRC_LEVEL_WARNING) {
        piece.Append("***WARNING*: ");
    }
    piece.Append(body, length);
    piece.Write_To(Output_Of(writer.m_file));
}

bool Passes(const CQorPcTrc& writer, int level)
{
    return level <= writer.m_level || level <= CQorPcTrc::s_mainTraceMode;
}

} // namespace

// Writes are not serialised: the client's components trace from one thread
// each, and a mutex per line would cost more than the line itself.
CQorPcTrc::CQorPcTrc(const char* fileName, int level) : m_level(level)
{
    lstrcpynA(m_fileName, fileName ? fileName : "", MAX_PATH);
}

CQorPcTrc::~CQorPcTrc()
{
    const QOR::FrontEnd::Util::unique_handle mutex(m_mutex);
    if (m_file && m_file != stderr)
        std::fclose(m_file);
}

// The four operations differ only in their level.
#define QORPCTRC_PRINT(operation, level)                                                                               \
    void CQorPcTrc::operation(const char* format, ...)                                                                 \
    {                                                                                                                  \
        if (!Passes(*this, level))                                                                                     \
            return;                                                                                                    \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        Write(*this, level, format, args);                                                                             \
        va_end(args);                                                                                                  \
    }
QORPCTRC_PRINT(TraceError, QORPCTRC_LEVEL_ERROR)
QORPCTRC_PRINT(TraceWarning, QORPCTRC_LEVEL_WARNING)
QORPCTRC_PRINT(TraceDeveloperNote, QORPCTRC_LEVEL_DEVELOPER)
QORPCTRC_PRINT(TraceData, QORPCTRC_LEVEL_DATA)
#undef QORPCTRC_PRINT
