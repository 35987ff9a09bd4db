// The registration file each of the maker's programs leaves in the common maker
// folder, so that the wizard finds the installed programs.
#pragma once

#include <string>
#include <vector>

inline const char* const WordlarkVersionText = "Version 1.700 (01.09.2016)";
inline const char* const WordlarkVersionNumber = "1.700";

// Registers this program as <maker folder>Wordlark/Installation.ini, where the
// wizard looks for the maker's programs. Nothing is written when any of the
// `searchedMakerFolders` holds a registration of this version already.
// Otherwise the file goes to the first of `makerFolders` where it can be
// written, folders made as needed. Failures pass silently. `installDate` is
// written as it is given. Each maker folder ends with a separator.
void WriteRegistration(const std::vector<std::string>& searchedMakerFolders,
                       const std::vector<std::string>& makerFolders,
                       const std::string& programFolder, const std::string& installDate);

// The same with one maker folder, searched and written.
void WriteRegistration(const std::string& commonMakerFolder, const std::string& programFolder,
                       const std::string& installDate);

// The maker's folder in each of the given data folders (each given without a
// trailing separator): folder + "/Brightmoor/". Empty folders are left out.
std::vector<std::string> MakerFolders(const std::vector<std::string>& dataFolders);

// The current local date and time as "yyyy-mm-dd HH:nn:ss".
std::string CurrentInstallDate();
