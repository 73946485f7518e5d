#include "shell/ScreenSettingsDialog.h"

#include <string>

#include "engine/WideText.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "ui/LocaleLanguage.h"

namespace reef {

namespace {

using namespace control;

struct TextRow {
    int controlId;
    const char* key;
};
constexpr TextRow kTexts[] = {
    {kDisplayModeGroup, "displaymodetext"}, {kLeaveResolution, "leaveresolution"},
    {kDepthLabel, "bitsperpixel"},          {kResolutionLabel, "resolution"},
    {kShadeSecondary, "shadesecondary"},    {kOk, "OK"},
    {kCancel, "cancel"},
};

}  // namespace

ScreenSettingsDialog::ScreenSettingsDialog(DialogLayer& layer, SystemServices& system, ScreenSettings& target,
                                           const std::string& languagePath)
    : m_layer(layer), m_system(system), m_working(target), m_target(&target), m_languagePath(languagePath) {
    m_texts.setSection(LocaleLanguage::fromEnvironment());
    m_texts.setFallbackSection(LocaleLanguage::kFallback);
    m_texts.open(m_languagePath);
    // With no depth chosen yet the screen's own is offered (16 bits would be
    // wrong for almost every desktop today); OK stores it.
    const int screenBits = m_system.screenBitsPerPixel();
    if (!m_working.depthStored && screenBits > 0) m_working.bitsPerPixel = screenBits > 16 ? 32 : 16;
}

int ScreenSettingsDialog::run(DialogHandle owner) { return m_layer.runModal(dialog::kScreenSettings, owner, *this); }

void ScreenSettingsDialog::onInitDialog(DialogHandle dialog) {
    m_layer.setTitleCaption(dialog, m_texts.lookup("caption"));
    for (const TextRow& row : kTexts) m_layer.setCaption(dialog, row.controlId, m_texts.lookup(row.key));

    // Darkening other monitors only means something with more than one.
    m_layer.enableControl(dialog, kShadeSecondary, m_working.multiMonitor);
    m_layer.setChecked(dialog, kShadeSecondary, m_working.shadeSecondary);
    m_layer.setChecked(dialog, kLeaveResolution, m_working.leaveResolution);
    setListsEnabled(dialog, !m_working.leaveResolution);

    m_layer.clearItems(dialog, kDepthList);
    m_layer.addItem(dialog, kDepthList, u"16 bit", 0);
    m_layer.addItem(dialog, kDepthList, u"32 bit", 1);
    m_layer.selectItem(dialog, kDepthList, m_working.bitsPerPixel == 32 ? 1 : 0);
    fillResolutions(dialog);
}

void ScreenSettingsDialog::setListsEnabled(DialogHandle dialog, bool enabled) {
    m_layer.enableControl(dialog, kDepthList, enabled);
    m_layer.enableControl(dialog, kResolutionList, enabled);
}

// The modes of the current depth, each carrying its index; the stored mode is
// selected where it is offered (and chosen), else the first one.
void ScreenSettingsDialog::fillResolutions(DialogHandle dialog) {
    m_modes = m_system.listModes(m_working.bitsPerPixel, m_hardwareSurface);
    m_layer.clearItems(dialog, kResolutionList);
    int stored = -1;
    int firstItem = -1;
    int storedItem = -1;
    for (size_t index = 0; index < m_modes.size(); ++index) {
        const ModeSize& mode = m_modes[index];
        const std::string text = std::to_string(mode.width) + " x " + std::to_string(mode.height);
        const int item = m_layer.addItem(dialog, kResolutionList, fromUtf8(text), static_cast<int>(index));
        if (firstItem < 0) firstItem = item;
        if (stored < 0 && mode.width == m_working.width && mode.height == m_working.height) {
            stored = static_cast<int>(index);
            storedItem = item;
        }
    }
    if (m_modes.empty()) return;
    m_layer.selectItem(dialog, kResolutionList, (stored >= 0 && !m_working.leaveResolution) ? storedItem : firstItem);
}

void ScreenSettingsDialog::onCommand(DialogHandle dialog, int controlId) {
    switch (controlId) {
    case kShadeSecondary:
        m_working.shadeSecondary = m_layer.isChecked(dialog, kShadeSecondary);
        break;
    case kLeaveResolution: {
        const bool leave = m_layer.isChecked(dialog, kLeaveResolution);
        setListsEnabled(dialog, !leave);
        m_working.leaveResolution = leave;
        break;
    }
    case kResolutionList: {
        const int item = m_layer.selectedItem(dialog, kResolutionList);
        const int index = item >= 0 ? m_layer.itemData(dialog, kResolutionList, item) : -1;
        if (index >= 0 && index < static_cast<int>(m_modes.size())) {
            m_working.width = m_modes[index].width;
            m_working.height = m_modes[index].height;
        }
        break;
    }
    case kDepthList: {
        const int item = m_layer.selectedItem(dialog, kDepthList);
        if (item == 0) m_working.bitsPerPixel = 16;
        if (item == 1) m_working.bitsPerPixel = 32;
        fillResolutions(dialog);
        break;
    }
    case kOk:
        *m_target = m_working;
        m_layer.endDialog(dialog, kOk);
        break;
    case kCancel:
        m_layer.endDialog(dialog, kCancel);
        break;
    default:
        break;
    }
}

}  // namespace reef
