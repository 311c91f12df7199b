#pragma once
// Printing through the client's trace writer: its four print operations are C
// variadic functions, so string objects go in as their text; and the level is
// tested here first, from the writer's state, so that a print below the level
// costs one comparison and formats nothing.
#include "CQorPcTrc.h"
#include "PrintfArg.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// A print at `level` reaches the file when the writer's level or the process's
// main trace mode reaches it.
inline bool Passes(const CQorPcTrc& writer, int level) noexcept
{
    return level <= writer.m_level || level <= CQorPcTrc::s_mainTraceMode;
}

template <typename... Args>
void Print(CQorPcTrc& writer, int level, const char* format, const Args&... args)
{
    using QOR::FrontEnd::Util::Printf_Arg;
    if (!Passes(writer, level))
        return;
    switch (level) {
    case QORPCTRC_LEVEL_ERROR:
        writer.TraceError(format, Printf_Arg(args)...);
        break;
    case QORPCTRC_LEVEL_WARNING:
        writer.TraceWarning(format, Printf_Arg(args)...);
        break;
    case QORPCTRC_LEVEL_DEVELOPER:
        writer.TraceDeveloperNote(format, Printf_Arg(args)...);
        break;
    default:
        writer.TraceData(format, Printf_Arg(args)...);
        break;
    }
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
