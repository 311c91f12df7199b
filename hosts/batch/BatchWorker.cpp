#include "BatchWorker.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

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

int Serve_Items(const std::function<std::string(const std::string& item)>& work)
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    for (std::string item; Read_Line(item);) {
        // In one piece: each write to the pipe is a round trip through the Wine server.
        const std::string answer = work(item);
        std::fwrite(answer.data(), 1, answer.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace Admin
