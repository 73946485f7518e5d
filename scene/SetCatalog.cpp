#include "scene/SetCatalog.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "engine/FilePath.h"
#include "engine/WideText.h"
#include "scene/DebugOutput.h"
#include "scene/DirectoryLister.h"
#include "scene/ProfileReader.h"
#include "scene/SetSelection.h"
#include "scene/SetValue.h"

namespace reef {

namespace {

constexpr std::u16string_view kSaverSection = u"saver";

// A text field, cut to its limit in characters.
std::u16string readText(const ProfileReader& reader, std::u16string_view section, std::u16string_view key,
                        size_t limit) {
    std::u16string value;
    reader.getString(section, key, value);
    if (value.size() > limit) {
        debugOutput(u"info.ini: value of \"" + std::u16string(key) + u"\" cut to its field length");
        value = truncateWide(value, limit);
    }
    return value;
}

// A path relative to the set folder; absent gives the set folder alone.
// NOTE: the field limit applies to the name the descriptor gives; the set
// folder in front depends on where the program is installed and is kept whole,
// so a deep install folder never breaks the asset paths.
std::u16string readPath(const ProfileReader& reader, std::u16string_view section, std::u16string_view key,
                        const std::u16string& setFolder) {
    return setFolder + readText(reader, section, key, SetDescriptor::kMaxPathLength);
}

float readFloat(const ProfileReader& reader, std::u16string_view section, std::u16string_view key) {
    std::u16string value;
    reader.getString(section, key, value);
    return valueToFloat(value);
}

int readInt(const ProfileReader& reader, std::u16string_view section, std::u16string_view key) {
    std::u16string value;
    reader.getString(section, key, value);
    return valueToInt(value);
}

std::u16string numbered(std::u16string_view prefix, int n) {
    return std::u16string(prefix) + fromUtf8(std::to_string(n));
}

// val0, val1, ... until the first absent or empty key.
std::vector<std::string> readValues(const ProfileReader& reader, std::u16string_view section) {
    std::vector<std::string> values;
    std::u16string value;
    for (int n = 0; reader.getString(section, numbered(u"val", n), value) > 0; ++n) {
        values.push_back(toUtf8(value));
    }
    return values;
}

// The movement fields shared by a set and its sub-sets, from one section.
template <typename Descriptor>
void readMotion(const ProfileReader& reader, std::u16string_view section, const std::u16string& setFolder,
                Descriptor& out) {
    out.texturePath = readPath(reader, section, u"texture", setFolder);
    out.modelPath = readPath(reader, section, u"model", setFolder);
    out.animationSpeed = readFloat(reader, section, u"animationspeed");
    out.model.setFramesPerSecond(out.animationSpeed);
    out.scale = readFloat(reader, section, u"scale");
    out.trackSpeed = readFloat(reader, section, u"trackspeed");
    out.rollFactor = readFloat(reader, section, u"rollfactor");
    out.animationStart = readInt(reader, section, u"animationstart");
    out.animationEnd = readInt(reader, section, u"animationend");
    out.variableSpeed = readInt(reader, section, u"variablespeed") != 0;
    out.maxSpeedChange = readFloat(reader, section, u"maxspeedchange");
}

}  // namespace

SetCatalog::SetCatalog(SetSelection& selection, const DirectoryLister& lister)
    : m_selection(selection), m_lister(lister) {}

SetCatalog::~SetCatalog() = default;

void SetCatalog::scanSets(const std::string& dataFolder, const BuildInterruption& stop) {
    for (const char* relative : kSetFolders) {
        const std::string folder = dataFolder + relative;
        // Folder names are kept byte for byte, UTF-8 or not, so every set opens.
        const std::u16string wideFolder = wideFromPath(folder);
        for (const std::string& entry : m_lister.list(folder)) {
            if (stop.stopped()) return;
            readSet(wideFolder, wideFromPath(entry));
        }
    }
}

void SetCatalog::readSet(const std::u16string& folder, const std::u16string& name) {
    debugOutput(folder);
    const std::u16string setFolder = folder + name + u"\\";
    debugOutput(setFolder);

    ProfileReader reader;
    reader.open(pathFromWide(setFolder + kDescriptorName));
    readSet(folder, name, reader);
}

namespace {

// val0, val1, ... counted up to one past the limit.
size_t countValues(const ProfileReader& reader, std::u16string_view section) {
    std::u16string value;
    size_t count = 0;
    while (count <= SetDescriptor::kMaxValues && reader.getString(section, numbered(u"val", static_cast<int>(count)), value) > 0)
        ++count;
    return count;
}

}  // namespace

std::string SetCatalog::pastLimits(const ProfileReader& reader) {
    if (countValues(reader, kSaverSection) > SetDescriptor::kMaxValues)
        return "more than " + std::to_string(SetDescriptor::kMaxValues) + " values in a section";
    size_t subSets = 0;
    for (int n = 2; reader.sectionExists(numbered(u"saver", n)); ++n) {
        if (++subSets > SetDescriptor::kMaxSubSets)
            return "more than " + std::to_string(SetDescriptor::kMaxSubSets) + " sub-sets";
        if (countValues(reader, numbered(u"saver", n)) > SetDescriptor::kMaxValues)
            return "more than " + std::to_string(SetDescriptor::kMaxValues) + " values in a section";
    }
    return {};
}

void SetCatalog::readSet(const std::u16string& folder, const std::u16string& name, const ProfileReader& reader) {
    const std::u16string setFolder = folder + name + u"\\";
    const std::string refusal = pastLimits(reader);
    if (!refusal.empty()) {
        reportf(Channel::Error, texts::kSetRefused, nativePath(pathFromWide(setFolder + kDescriptorName)).c_str(),
                refusal.c_str());
        return;
    }
    auto set = std::make_unique<SetDescriptor>();

    set->type = readText(reader, kSaverSection, u"type", SetDescriptor::kMaxNameLength);
    set->category = readText(reader, u"settings", u"category", SetDescriptor::kMaxNameLength);
    set->id = readText(reader, u"common", u"id", SetDescriptor::kMaxNameLength);
    m_selection.addSet(set->id, 1);

    readMotion(reader, kSaverSection, setFolder, *set);
    set->lighting = reader.getBool(kSaverSection, u"lighting", false);
    set->values = readValues(reader, kSaverSection);

    for (int n = 2;; ++n) {
        const std::u16string section = numbered(u"saver", n);
        if (!reader.sectionExists(section)) break;
        auto sub = std::make_unique<SubSetDescriptor>();
        readMotion(reader, section, setFolder, *sub);
        sub->values = readValues(reader, section);
        set->subSets.push_back(std::move(sub));
    }

    m_sets.push_back(std::move(set));
}

void SetCatalog::loadModels(const SetSelection& selection, const ModelLoad& load, const BuildInterruption& stop) {
    // NOTE: the geometry is shared, never the QModel: each part plays its own
    // frame range at its own rate, and two parts holding one QModel would step
    // its one clock twice a frame.
    std::map<std::pair<std::u16string, bool>, const QModel*> loaded;
    const auto loadOnce = [&](QModel& model, const std::u16string& path, bool lighting) {
        const float framesPerSecond = model.framesPerSecond();
        const auto [first, isNew] = loaded.try_emplace({path, lighting}, &model);
        if (isNew)
            load(model, path, lighting);
        else
            model.shareGeometry(*first->second);
        model.setFramesPerSecond(framesPerSecond);
    };
    for (const std::unique_ptr<SetDescriptor>& set : m_sets) {
        if (!selection.isSetEnabled(set->id)) continue;
        if (stop.stopped()) return;
        loadOnce(set->model, set->modelPath, set->lighting);
        for (const std::unique_ptr<SubSetDescriptor>& subSet : set->subSets) {
            if (stop.stopped()) return;
            loadOnce(subSet->model, subSet->modelPath, set->lighting);
        }
    }
}

void SetCatalog::clear() {
    for (std::unique_ptr<SetDescriptor>& set : m_sets) {
        for (std::unique_ptr<SubSetDescriptor>& sub : set->subSets) {
            sub->model.free();
            sub->texture.release();
        }
        set->subSets.clear();
        set->model.free();
        set->texture.release();
    }
    m_sets.clear();
}

}  // namespace reef
