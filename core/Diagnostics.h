// The one path of the program's diagnostic lines. The loaders' fixed failure
// lines go to standard output, problems a person should read to standard error,
// and debug lines to standard error only while REEFSAVER_DEBUG is set. Tests
// install a sink to read the lines instead.
#pragma once

#include <functional>
#include <string>

namespace reef {

enum class Channel {
    Output,  // standard output: the fixed lines of the loaders and the sound start
    Error,   // standard error
    Debug,   // standard error, only with REEFSAVER_DEBUG set
};

// One line, without its newline.
void report(Channel channel, const std::string& line);
// The same with printf formatting, for the fixed texts and their arguments.
void reportf(Channel channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
// True while debug lines are wanted (REEFSAVER_DEBUG is set).
bool debugEnabled();

// Receives every line that is not dropped (debug lines only while enabled).
using DiagnosticSink = std::function<void(Channel channel, const std::string& line)>;
// Sends the lines to sink instead (an empty sink: the standard streams) and
// returns the sink it replaces.
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);
// What report does without a sink: the line on its standard stream. For a sink
// that shows the lines in one more place rather than instead.
void writeToStandardStream(Channel channel, const std::string& line);

}  // namespace reef
