// The support library behind _bstr_t that MinGW does not ship. Narrow text enters
// COM in the system ANSI code page and leaves it in the calling thread's ANSI
// code page, the two conversions the landscape documents are written with.
#include <windows.h>
#include <comdef.h>
#include <oleauto.h>

namespace {

HRESULT Last_Error_Result()
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

} // namespace

BSTR WINAPI _com_util::ConvertStringToBSTR(const char* pSrc)
{
    if (!pSrc)
        return nullptr;
    const int wide = MultiByteToWideChar(CP_ACP, 0, pSrc, -1, nullptr, 0);
    if (wide <= 0)
        _com_issue_error(Last_Error_Result());
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wide - 1));
    if (!result)
        _com_issue_error(E_OUTOFMEMORY);
    if (MultiByteToWideChar(CP_ACP, 0, pSrc, -1, result, wide) <= 0) {
        const HRESULT hr = Last_Error_Result();
        SysFreeString(result);
        _com_issue_error(hr);
    }
    return result;
}

char* WINAPI _com_util::ConvertBSTRToString(BSTR pSrc)
{
    if (!pSrc)
        return nullptr;
    const int wide = static_cast<int>(SysStringLen(pSrc)) + 1; // with the terminator
    const int narrow = WideCharToMultiByte(CP_THREAD_ACP, 0, pSrc, wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0)
        _com_issue_error(Last_Error_Result());
    char* result = new char[static_cast<size_t>(narrow)]; // _bstr_t frees with delete[]
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, pSrc, wide, result, narrow, nullptr, nullptr) <= 0) {
        const HRESULT hr = Last_Error_Result();
        delete[] result;
        _com_issue_error(hr);
    }
    return result;
}
