// The byte-exact copy of a file, as the send dialog hands files over.
#pragma once

#include <string>

// Copies the file at `source` to `destination`, byte for byte. The destination
// is replaced as every file the program writes is (a temporary file renamed
// over it), so a failure leaves an older copy whole. When both paths name the
// same file (the same path, another spelling of it, or a link to it), the file
// is left as it is. Returns an empty text on success, otherwise the reason.
std::string CopyFileBytes(const std::string& source, const std::string& destination);
