#include "BatchWorker.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "ProfileMigration.h"

namespace Admin {

namespace {

bool Read_Line(std::string& line)
{
    line.clear();
    for (int c; (c = std::getchar()) != EOF;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        line += static_cast<char>(c);
    }
    return !line.empty();
}

} // namespace

int Run_Batch_Worker()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    ProfileMigration migration;
    for (std::string folder; Read_Line(folder);) {
        // In one piece: each write to the pipe is a round trip through the Wine server.
        const std::string record = migration.Run(folder).To_Text();
        std::fwrite(record.data(), 1, record.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace Admin
