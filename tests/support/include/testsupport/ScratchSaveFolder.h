#pragma once
// Points the game's save folder ("data/", see platform/GamePaths.h) at a fresh scratch folder for
// the life of the object, and puts the settings before it back afterwards. Changing the settings
// resets the platform stand-ins (their event queue and window), so make it before anything of the
// platform is in use. Uses GoogleTest through the scratch folder: link cobble_gtest_support.

#include <string>

#include "platform/Settings.h"
#include "testsupport/ScratchDir.h"

class CScratchSaveFolder {
public:
    CScratchSaveFolder() : m_Before(platform::CurrentSettings()) {
        platform::TPlatformSettings settings = m_Before;
        settings.saveDir = m_Dir.root.string() + "/";
        platform::UseSettings(settings);
    }
    ~CScratchSaveFolder() { platform::UseSettings(m_Before); }
    CScratchSaveFolder(const CScratchSaveFolder&) = delete;
    CScratchSaveFolder& operator=(const CScratchSaveFolder&) = delete;

    // The folder, ending in '/', and a file in it.
    std::string Folder() const { return m_Dir.root.string() + "/"; }
    std::string Path(const std::string& leaf) const { return m_Dir.Path(leaf); }

private:
    platform::TPlatformSettings m_Before;
    CScratchDir m_Dir;
};
