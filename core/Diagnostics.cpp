#include "core/Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace reef {

namespace {

DiagnosticSink& currentSink() {
    static DiagnosticSink sink;
    return sink;
}

}  // namespace

// Each line is flushed, so lines on both streams keep their order in one log.
void writeToStandardStream(Channel channel, const std::string& line) {
    std::FILE* stream = channel == Channel::Output ? stdout : stderr;
    std::fputs(line.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool debugEnabled() { return std::getenv("REEFSAVER_DEBUG") != nullptr; }

void report(Channel channel, const std::string& line) {
    if (channel == Channel::Debug && !debugEnabled()) return;
    if (const DiagnosticSink& sink = currentSink())
        sink(channel, line);
    else
        writeToStandardStream(channel, line);
}

void reportf(Channel channel, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string line;
    if (length > 0) {
        std::vector<char> text(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        line.assign(text.data(), static_cast<size_t>(length));
    }
    va_end(again);
    report(channel, line);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink sink) { return std::exchange(currentSink(), std::move(sink)); }

}  // namespace reef
