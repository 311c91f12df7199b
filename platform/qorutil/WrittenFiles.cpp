#include "WrittenFiles.h"

#include <windows.h>

#include <deque>
#include <mutex>

namespace QOR { namespace FrontEnd { namespace Util {

namespace {

// A profile's two landscapes, with room to spare; larger texts are read again.
const size_t Most_Files = 4;
const size_t Most_Bytes = 4 << 20;

struct Written
{
    std::wstring path; // full, in upper case
    std::string bytes;
    WIN32_FILE_ATTRIBUTE_DATA stamp;
};

struct Memory
{
    std::mutex lock;
    int keepers = 0;
    std::deque<Written> files; // newest first
};

Memory& The_Memory()
{
    static Memory memory;
    return memory;
}

std::wstring Key_Of(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    std::wstring key = length && length < MAX_PATH * 2 ? std::wstring(full, length) : path;
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

bool Same_Stamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

void Forget(Memory& memory, const std::wstring& key)
{
    for (auto at = memory.files.begin(); at != memory.files.end(); ++at)
        if (at->path == key) {
            memory.files.erase(at);
            return;
        }
}

} // namespace

WrittenFiles::Keeping::Keeping()
{
    Memory& memory = The_Memory();
    const std::lock_guard<std::mutex> locked(memory.lock);
    ++memory.keepers;
}

WrittenFiles::Keeping::~Keeping()
{
    Memory& memory = The_Memory();
    const std::lock_guard<std::mutex> locked(memory.lock);
    if (--memory.keepers == 0)
        memory.files.clear();
}

void WrittenFiles::Note(const std::wstring& path, const std::string& bytes)
{
    Memory& memory = The_Memory();
    const std::lock_guard<std::mutex> locked(memory.lock);
    if (!memory.keepers)
        return;
    const std::wstring key = Key_Of(path);
    Forget(memory, key);
    Written written{key, std::string(), {}};
    if (bytes.size() > Most_Bytes || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &written.stamp))
        return;
    written.bytes = bytes;
    memory.files.push_front(std::move(written));
    if (memory.files.size() > Most_Files)
        memory.files.pop_back();
}

bool WrittenFiles::Recall(const std::wstring& path, std::string& bytes)
{
    Memory& memory = The_Memory();
    const std::lock_guard<std::mutex> locked(memory.lock);
    if (!memory.keepers)
        return false;
    const std::wstring key = Key_Of(path);
    WIN32_FILE_ATTRIBUTE_DATA now;
    for (const Written& written : memory.files)
        if (written.path == key) {
            if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now) || !Same_Stamp(now, written.stamp))
                return false;
            bytes = written.bytes;
            return true;
        }
    return false;
}

}}} // namespace QOR::FrontEnd::Util
