#include "core/Diagnostics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/DiagnosticTexts.h"

namespace reef {
namespace {

// Keeps every line that reaches the sink, and puts the previous sink back.
struct Lines {
    std::vector<std::pair<Channel, std::string>> seen;
    DiagnosticSink previous;
    Lines() {
        previous = setDiagnosticSink([this](Channel channel, const std::string& line) { seen.emplace_back(channel, line); });
    }
    ~Lines() { setDiagnosticSink(std::move(previous)); }
};

// Debug lines appear only while the one debug variable is set; other lines
// always do, formatted whatever their length.
TEST(Diagnostics, DebugLinesFollowTheOneVariableAndLongLinesStayWhole) {
    const char* before = std::getenv("REEFSAVER_DEBUG");
    const std::string saved = before ? before : "";
    const std::string path(3000, 'p');
    {
        Lines lines;
        unsetenv("REEFSAVER_DEBUG");
        setenv("REEF_DEBUG", "1", 1);  // not ours: no debug lines
        report(Channel::Debug, "hidden");
        reportf(Channel::Output, texts::kTextureFailed, path.c_str());
        setenv("REEFSAVER_DEBUG", "1", 1);
        report(Channel::Debug, "shown");
        ASSERT_EQ(lines.seen.size(), 2u);
        EXPECT_EQ(lines.seen[0].first, Channel::Output);
        EXPECT_EQ(lines.seen[0].second, "Texture::loadBMP SDL_LoadBMP " + path + " failed");
        EXPECT_EQ(lines.seen[1], std::make_pair(Channel::Debug, std::string("shown")));
    }
    unsetenv("REEF_DEBUG");
    if (before)
        setenv("REEFSAVER_DEBUG", saved.c_str(), 1);
    else
        unsetenv("REEFSAVER_DEBUG");
}

// A sink is replaced and restored as a pair, so nested captures end where they began.
TEST(Diagnostics, SinksNestAndRestore) {
    Lines outer;
    {
        Lines inner;
        report(Channel::Error, "inner");
        EXPECT_EQ(inner.seen.size(), 1u);
    }
    report(Channel::Error, "outer");
    ASSERT_EQ(outer.seen.size(), 1u);
    EXPECT_EQ(outer.seen[0].second, "outer");
}

}  // namespace
}  // namespace reef
