#include "engine/SoundPlayer.h"

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"

namespace reef {

SoundPlayer::SoundPlayer(AudioMixer& mixer) : m_mixer(mixer) {}

SoundPlayer::~SoundPlayer() {
    // A player dropped without close would leak its chunks and keep the loop playing.
    if (m_opened && !m_closed) close();
}

bool SoundPlayer::open() {
    if (m_mixer.openAudio(kFrequency, kFormatS16LSB, kChannels, kChunkSize) != 0) return false;
    m_opened = true;
    m_closed = false;
    return true;
}

bool SoundPlayer::loadLoop(const std::string& path) {
    if (!m_opened) return false;
    // A second load replaces the first chunk instead of leaking it.
    if (m_loopChunk) {
        m_mixer.freeChunk(m_loopChunk);
        m_loopChunk = nullptr;
    }
    m_loopChunk = m_mixer.loadWAV(path);
    if (!m_loopChunk) report(Channel::Output, texts::kLoopSoundMissing);
    return true;
}

void SoundPlayer::playLoop() {
    if (!m_opened) return;
    if (!m_loopChunk) {
        report(Channel::Output, texts::kLoopSoundMissingAtPlay);
        return;
    }
    m_mixer.playChannelTimed(-1, m_loopChunk, -1, -1);
}

void SoundPlayer::addEffect(const std::string& path, int32_t id) {
    if (!m_opened) return;
    AudioMixer::ChunkHandle chunk = m_mixer.loadWAV(path);
    if (!chunk) {
        report(Channel::Output, texts::kEffectMissing);
        return;
    }
    m_effects.emplace_back(id, chunk);
}

void SoundPlayer::playEffect(int32_t id, int loops) {
    if (!m_opened) return;
    for (const auto& [effectId, chunk] : m_effects) {
        if (effectId == id) {
            m_mixer.playChannelTimed(-1, chunk, loops, -1);
            return;
        }
    }
}

void SoundPlayer::close() {
    m_mixer.haltMusic();
    m_mixer.haltChannel(-1);
    if (m_loopChunk) {
        m_mixer.freeChunk(m_loopChunk);
        m_loopChunk = nullptr;
    }
    for (const auto& entry : m_effects) m_mixer.freeChunk(entry.second);
    m_mixer.closeAudio();
    m_effects.clear();
    m_opened = false;
    m_closed = true;
}

}  // namespace reef
