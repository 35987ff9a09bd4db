// The maker's web host and domain, as the program's texts name them.
#pragma once

inline const char* const MakerHost = "www.brightmoor.example";
inline const char* const MakerDomain = "brightmoor.example";
