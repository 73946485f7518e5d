#include "app/ScreenshotSchedule.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "core/Diagnostics.h"
#include "engine/PngWriter.h"

namespace reef {

void ScreenshotSchedule::configureFromEnvironment() {
    const char* shots = std::getenv("REEFSAVER_SCREENSHOTS");
    const char* quit = std::getenv("REEFSAVER_QUIT_AFTER_MS");
    configure(shots ? shots : "", quit ? quit : "");
}

void ScreenshotSchedule::configure(const std::string& shots, const std::string& quitAfterMs) {
    m_shots.clear();
    std::stringstream list(shots);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t colon = item.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == item.size()) continue;
        char* end = nullptr;
        const unsigned long at = std::strtoul(item.c_str(), &end, 10);
        if (end != item.c_str() + colon) continue;
        m_shots.push_back({static_cast<uint32_t>(at), item.substr(colon + 1)});
    }
    std::sort(m_shots.begin(), m_shots.end(), [](const Shot& a, const Shot& b) { return a.atMs < b.atMs; });
    m_quitAfterMs = -1;
    if (!quitAfterMs.empty()) {
        char* end = nullptr;
        const long long value = std::strtoll(quitAfterMs.c_str(), &end, 10);
        if (end && *end == '\0' && value >= 0) m_quitAfterMs = value;
    }
}

uint64_t ScreenshotSchedule::realMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool ScreenshotSchedule::afterRender(int width, int height) {
    if (m_shots.empty() && m_quitAfterMs < 0) return false;
    const uint64_t now = realMilliseconds();
    if (!m_started) {
        m_started = true;
        m_firstFrame = now;
    }
    const uint64_t elapsed = now - m_firstFrame;
    while (!m_shots.empty() && elapsed >= m_shots.front().atMs && width > 0 && height > 0) {
        m_pixels.resize(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, m_pixels.data());
        if (!writePNG(m_shots.front().path, width, height, 3, m_pixels.data(), true))
            reportf(Channel::Error, "Error: could not write the screenshot %s", m_shots.front().path.c_str());
        m_shots.erase(m_shots.begin());
    }
    return m_quitAfterMs >= 0 && elapsed >= static_cast<uint64_t>(m_quitAfterMs);
}

}  // namespace reef
