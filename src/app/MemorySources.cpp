#include "app/MemorySources.h"

#include "platform/Platform.h"
#include "texts/Registration.h"
#include "wizard/Discovery.h"

TMemorySettings MakerMemorySettings(const std::string& dataFolder,
                                    const std::string& localMakerFolder,
                                    const std::string& roamingMakerFolder) {
    TMemorySettings settings;
    TDiscoveryFolders folders;
    folders.CommonMakerFolders = MakerFolders(platform::Get().CommonAppDataRoots());
    folders.LocalMakerFolder = localMakerFolder;
    folders.RoamingMakerFolder = roamingMakerFolder;
    for (const TInstalledProgram& program : FindInstalledPrograms(folders))
        settings.Sources.push_back({program.Name, program.CataloguePath()});
    if (!dataFolder.empty()) {
        for (TMemorySource& saved : SavedCopySources(dataFolder))
            settings.Sources.push_back(std::move(saved));
        settings.CachePath = dataFolder + "TranslationMemory.cache";
    }
    return settings;
}
