// The catalog of creature sets: every folder below the three set folders of the
// data folder, read from its info.ini into an owned SetDescriptor, in scan order
// (default fish sets, then additional sets, then default diverse sets).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/BuildInterruption.h"
#include "scene/SetDescriptor.h"

namespace reef {

class DirectoryLister;
class ProfileReader;
class SetSelection;

class SetCatalog {
public:
    // Set folders below the data folder, in scan order.
    static constexpr const char* kSetFolders[3] = {
        "sets\\default_fish\\",
        "sets\\additional\\",
        "sets\\default_diverse\\",
    };
    // The descriptor file inside each set folder.
    static constexpr const char16_t* kDescriptorName = u"info.ini";

    // Every set id met is registered with selection (a new id starts enabled);
    // folders are listed through lister. Both must outlive the catalog.
    SetCatalog(SetSelection& selection, const DirectoryLister& lister);
    ~SetCatalog();
    SetCatalog(const SetCatalog&) = delete;
    SetCatalog& operator=(const SetCatalog&) = delete;

    // Reads every entry of the three set folders below dataFolder (which ends in
    // a separator) and appends one descriptor each. A missing folder adds nothing;
    // a stop leaves the rest unread.
    void scanSets(const std::string& dataFolder, const BuildInterruption& stop = {});
    // Reads folder + name + "\\" + "info.ini" into a new descriptor and appends
    // it; a missing descriptor file gives empty texts and zero numbers.
    void readSet(const std::u16string& folder, const std::u16string& name);
    // The same from a descriptor already read (from a file or from memory).
    void readSet(const std::u16string& folder, const std::u16string& name, const ProfileReader& reader);
    // Why a descriptor is past the limits on sub-sets and values (the reason for
    // its refusal), or an empty text when it is within them.
    static std::string pastLimits(const ProfileReader& reader);

    using ModelLoad = std::function<void(QModel& model, const std::u16string& path, bool lighting)>;
    // Loads the model of every enabled set and sub-set through load (the
    // model, its path as the descriptor gives it, whether to keep normals);
    // the frame rate the descriptor gave stays, whatever the file says. A path
    // met again with the same lighting is not loaded again: that model shares
    // the first one's geometry and keeps its own animation. A stop leaves the
    // rest unloaded.
    void loadModels(const SetSelection& selection, const ModelLoad& load, const BuildInterruption& stop = {});
    // Frees the model and releases the texture of every sub-set and set (needs
    // the GL context that loaded them), then destroys the descriptors.
    void clear();

    size_t size() const { return m_sets.size(); }
    bool empty() const { return m_sets.empty(); }
    SetDescriptor& at(size_t index) { return *m_sets[index]; }
    const SetDescriptor& at(size_t index) const { return *m_sets[index]; }
    const std::vector<std::unique_ptr<SetDescriptor>>& sets() const { return m_sets; }

private:
    SetSelection& m_selection;
    const DirectoryLister& m_lister;
    std::vector<std::unique_ptr<SetDescriptor>> m_sets;
};

}  // namespace reef
