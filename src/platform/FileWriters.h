// Shared by the platform's file writers (FileIO.cpp and the writers of each
// system): the error code of the last write of this thread, as
// LastWriteError() gives it.
#pragma once

namespace platform {

extern thread_local int LastError;

} // namespace platform
