// The registration file each of the maker's programs leaves in the common maker
// folder, so that the wizard finds the installed programs.
#pragma once

#include <string>

inline const char* const WordlarkVersionText = "Version 1.700 (01.09.2016)";

// Writes <commonMakerFolder>Wordlark/Installation.ini unless it holds this
// version already. Folders are made as needed; failures pass silently.
// `installDate` is written as it is given.
void WriteRegistration(const std::string& commonMakerFolder, const std::string& programFolder,
                       const std::string& installDate);

// The current local date and time as "yyyy-mm-dd HH:nn:ss".
std::string CurrentInstallDate();
