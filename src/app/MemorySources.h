// Where the memory of the maker's translations comes from: the catalogues of
// the maker's programs installed on this machine, as the wizard finds them,
// and the user's own saved copies of translations in the data folder.
#pragma once

#include "workbench/TranslationMemory.h"

#include <string>

// `dataFolder`, `localMakerFolder` and `roamingMakerFolder` end with a
// separator; the memory's cache goes into the data folder.
TMemorySettings MakerMemorySettings(const std::string& dataFolder,
                                    const std::string& localMakerFolder,
                                    const std::string& roamingMakerFolder);
