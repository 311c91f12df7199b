#pragma once
// Passing an object to a C variadic function copies its bytes, which is wrong for
// any string class. Every printf-style entry point of the system is a template that
// sends its arguments through Printf_Arg first, so a CString or a std::string given
// for "%s" arrives as the zero-terminated text it holds.
#include <string>
#include <type_traits>

class CString;

namespace QOR { namespace FrontEnd { namespace Util {

const char* Printf_Arg(const CString& text);

inline const char* Printf_Arg(const char* text) { return text; }

inline const char* Printf_Arg(const std::string& text) { return text.c_str(); }

// bool is promoted to int by the varargs call, as a plain C caller would see it.
template <typename T>
inline auto Printf_Arg(const T& value)
    -> std::enable_if_t<std::is_arithmetic<T>::value || std::is_enum<T>::value || std::is_pointer<T>::value ||
                            std::is_null_pointer<T>::value,
                        T>
{
    return value;
}

}}} // namespace QOR::FrontEnd::Util
