#include "CQorPcTrc.h"

#include <shlwapi.h>

#include <cstring>
#include <ctime>
#include <string>

#include "FileSystem.h"
#include "Handles.h"

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

} // namespace

// One piece as it reaches the file, line feeds already turned into CR LF as a
// text-mode stream would, so that the piece goes out in a single write. Kept
// on the stack unless it is unusually long.
class CQorPcTrc::Piece
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

std::string CQorPcTrc::Path_Of(const char* fileName) { return Trace_File_Path(fileName); }

CQorPcTrc::CQorPcTrc(const char* fileName, int level, unsigned int flags) : m_level(level), m_flags(flags)
{
    lstrcpynA(m_fileName, fileName ? fileName : "", MAX_PATH);
    if (m_flags & FLAG_SERIALIZE) {
        // One mutex per trace file name, so writers of the same file agree.
        std::string name = std::string("QORPCTRC_") + m_fileName;
        for (char& ch : name)
            if (ch == '\\')
                ch = '_';
        m_mutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    }
}

CQorPcTrc::~CQorPcTrc() = default;

void CQorPcTrc::Write(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(level, format, args);
    va_end(args);
}

// Every piece is written through to the file at once (a trace must survive a
// crash of its process), in one WriteFile call: a buffered stream flushed per
// piece costs half as much again under Wine.
void CQorPcTrc::WriteV(int level, const char* format, va_list args)
{
    if (m_flags & FLAG_SERIALIZE)
        Lock();
    Piece piece;
    if (m_output == nullptr)
        Open(piece);
    const FormattedText text(format, args);
    const char* body = text.Text();
    size_t length = text.Length();
    if (m_level == QORPCTRC_LEVEL_TIMESTAMP) {
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
    piece.Write_To(m_output);
    if (m_flags & FLAG_SERIALIZE)
        Unlock();
}

// Opens as fopen(path, "w") would: created or truncated, others may read and write.
void CQorPcTrc::Open(Piece& piece)
{
    const std::string path = Trace_File_Path(m_fileName);
    m_file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    m_output = m_file ? m_file.get() : GetStdHandle(STD_ERROR_HANDLE);
    Append_Header(piece);
}

void CQorPcTrc::Append_Header(Piece& piece) const
{
    const std::string program = QOR::FrontEnd::Util::FileSystem::Get_Module_File_Name(nullptr);
    const std::string lines[] = {
        Asterisks80,
        Title,
        "** Main trace mode: " + Main_Mode_Wording(s_mainTraceMode) + "\n",
        std::string("** Program: \t") + program + "\n",
        Asterisks80,
    };
    for (const std::string& line : lines) {
        if (m_level == QORPCTRC_LEVEL_TIMESTAMP)
            Append_Stamp(piece, false);
        piece.Append(line.c_str(), line.size());
    }
    piece.Append("\n");
}

void CQorPcTrc::Append_Stamp(Piece& piece, bool leadingLineFeed)
{
    char stamp[256] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof(stamp) - 1, "(%d.%m.%y %H:%M:%S)", std::localtime(&now));
    if (leadingLineFeed)
        piece.Append("\n");
    piece.Append(stamp);
    piece.Append(" ");
}

void CQorPcTrc::Lock()
{
    if (!m_mutex) {
        std::fputs("ERROR: QORPCTRC, invalid SetLock call (MUTEX is null)\n", stderr);
        return;
    }
    switch (WaitForSingleObject(m_mutex.get(), 60000)) {
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
    if (m_mutex && !ReleaseMutex(m_mutex.get()))
        std::fprintf(stderr, "ERROR: QORPCTRC, lock reset failed (%d)\n", static_cast<int>(GetLastError()));
}
