// Reads the program's diagnostic lines in a test: between start and the matching
// captured call, the lines of that stream are kept instead of printed, each
// followed by a newline as the stream would have shown it.
#pragma once

#include <string>
#include <utility>

#include "core/Diagnostics.h"

namespace reef::test {

class DiagnosticCapture {
public:
    static DiagnosticCapture& instance() {
        static DiagnosticCapture capture;
        return capture;
    }
    void start(Channel channel) {
        if (!m_output && !m_errors) m_previous = setDiagnosticSink([this](Channel c, const std::string& line) {
            keep(c, line);
        });
        (channel == Channel::Output ? m_output : m_errors) = true;
    }
    std::string take(Channel channel) {
        bool& wanted = channel == Channel::Output ? m_output : m_errors;
        std::string& kept = channel == Channel::Output ? m_outputText : m_errorText;
        wanted = false;
        if (!m_output && !m_errors) setDiagnosticSink(std::move(m_previous));
        return std::exchange(kept, std::string());
    }

private:
    void keep(Channel channel, const std::string& line) {
        const bool output = channel == Channel::Output;
        if (output ? m_output : m_errors) {
            (output ? m_outputText : m_errorText) += line + "\n";
        } else {
            // A stream nobody reads goes where it went before.
            const DiagnosticSink previous = setDiagnosticSink(std::move(m_previous));
            report(channel, line);
            m_previous = setDiagnosticSink(previous);
        }
    }

    bool m_output = false;
    bool m_errors = false;
    std::string m_outputText;
    std::string m_errorText;
    DiagnosticSink m_previous;
};

// Standard output's diagnostic lines (the loaders' fixed lines).
inline void captureOutput() { DiagnosticCapture::instance().start(Channel::Output); }
inline std::string capturedOutput() { return DiagnosticCapture::instance().take(Channel::Output); }
// Standard error's diagnostic lines (debug lines included, while enabled).
inline void captureErrors() { DiagnosticCapture::instance().start(Channel::Error); }
inline std::string capturedErrors() { return DiagnosticCapture::instance().take(Channel::Error); }

}  // namespace reef::test
