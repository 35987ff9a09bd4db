// Simple MAPI, the mail interface that Windows mail clients publish: its
// records, flags and error codes under their published names and values, and
// the table of its ten entry points through which the program reaches a mail
// client. The platform provides the table (Platform::SimpleMapi): on Windows
// the entry points of the system's mapi32.dll, elsewhere a provider built into
// the program that hands the message to the desktop's mail client.
//
// On Windows the Windows loader checks at compile time that these
// declarations match the SDK's <mapi.h>; include this header before it.
#pragma once

#ifdef MAPI_H
#error "include platform/SimpleMapi.h before <mapi.h>"
#endif

#include <cstdint>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#define WORDLARK_MAPI_CALL __stdcall
#else
#define WORDLARK_MAPI_CALL
#endif

namespace smapi {

#if defined(_WIN64)
using ULONG = unsigned long; // 32 bits on Windows
using ULONG_PTR = unsigned long long;
#elif defined(_WIN32)
using ULONG = unsigned long;
using ULONG_PTR = unsigned long;
#else
using ULONG = std::uint32_t;
using ULONG_PTR = std::uintptr_t;
#endif
using FLAGS = ULONG;
// A session handle: pointer-sized, so 8 bytes on 64-bit Windows.
using LHANDLE = ULONG_PTR;

struct MapiRecipDesc {
    ULONG ulReserved;
    ULONG ulRecipClass;
    char* lpszName;
    char* lpszAddress;
    ULONG ulEIDSize;
    void* lpEntryID;
};
using lpMapiRecipDesc = MapiRecipDesc*;

struct MapiFileDesc {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    char* lpszPathName;
    char* lpszFileName;
    void* lpFileType;
};
using lpMapiFileDesc = MapiFileDesc*;

struct MapiMessage {
    ULONG ulReserved;
    char* lpszSubject;
    char* lpszNoteText;
    char* lpszMessageType;
    char* lpszDateReceived;
    char* lpszConversationID;
    FLAGS flFlags;
    lpMapiRecipDesc lpOriginator;
    ULONG nRecipCount;
    lpMapiRecipDesc lpRecips;
    ULONG nFileCount;
    lpMapiFileDesc lpFiles;
};
using lpMapiMessage = MapiMessage*;

// Flags, recipient classes and result codes, each with its published value.
#define WORDLARK_SIMPLE_MAPI_CONSTANTS(X)                                                          \
    X(MAPI_UNREAD, 0x00000001)                                                                     \
    X(MAPI_RECEIPT_REQUESTED, 0x00000002)                                                          \
    X(MAPI_SENT, 0x00000004)                                                                       \
    X(MAPI_LOGON_UI, 0x00000001)                                                                   \
    X(MAPI_NEW_SESSION, 0x00000002)                                                                \
    X(MAPI_DIALOG, 0x00000008)                                                                     \
    X(MAPI_UNREAD_ONLY, 0x00000020)                                                                \
    X(MAPI_ENVELOPE_ONLY, 0x00000040)                                                              \
    X(MAPI_PEEK, 0x00000080)                                                                       \
    X(MAPI_GUARANTEE_FIFO, 0x00000100)                                                             \
    X(MAPI_BODY_AS_FILE, 0x00000200)                                                               \
    X(MAPI_AB_NOMODIFY, 0x00000400)                                                                \
    X(MAPI_SUPPRESS_ATTACH, 0x00000800)                                                            \
    X(MAPI_FORCE_DOWNLOAD, 0x00001000)                                                             \
    X(MAPI_LONG_MSGID, 0x00004000)                                                                 \
    X(MAPI_OLE, 0x00000001)                                                                        \
    X(MAPI_OLE_STATIC, 0x00000002)                                                                 \
    X(MAPI_ORIG, 0)                                                                                \
    X(MAPI_TO, 1)                                                                                  \
    X(MAPI_CC, 2)                                                                                  \
    X(MAPI_BCC, 3)                                                                                 \
    X(SUCCESS_SUCCESS, 0)                                                                          \
    X(MAPI_USER_ABORT, 1)                                                                          \
    X(MAPI_E_USER_ABORT, 1)                                                                        \
    X(MAPI_E_FAILURE, 2)                                                                           \
    X(MAPI_E_LOGON_FAILURE, 3)                                                                     \
    X(MAPI_E_LOGIN_FAILURE, 3)                                                                     \
    X(MAPI_E_DISK_FULL, 4)                                                                         \
    X(MAPI_E_INSUFFICIENT_MEMORY, 5)                                                               \
    X(MAPI_E_ACCESS_DENIED, 6)                                                                     \
    X(MAPI_E_TOO_MANY_SESSIONS, 8)                                                                 \
    X(MAPI_E_TOO_MANY_FILES, 9)                                                                    \
    X(MAPI_E_TOO_MANY_RECIPIENTS, 10)                                                              \
    X(MAPI_E_ATTACHMENT_NOT_FOUND, 11)                                                             \
    X(MAPI_E_ATTACHMENT_OPEN_FAILURE, 12)                                                          \
    X(MAPI_E_ATTACHMENT_WRITE_FAILURE, 13)                                                         \
    X(MAPI_E_UNKNOWN_RECIPIENT, 14)                                                                \
    X(MAPI_E_BAD_RECIPTYPE, 15)                                                                    \
    X(MAPI_E_NO_MESSAGES, 16)                                                                      \
    X(MAPI_E_INVALID_MESSAGE, 17)                                                                  \
    X(MAPI_E_TEXT_TOO_LARGE, 18)                                                                   \
    X(MAPI_E_INVALID_SESSION, 19)                                                                  \
    X(MAPI_E_TYPE_NOT_SUPPORTED, 20)                                                               \
    X(MAPI_E_AMBIGUOUS_RECIPIENT, 21)                                                              \
    X(MAPI_E_AMBIG_RECIP, 21)                                                                      \
    X(MAPI_E_MESSAGE_IN_USE, 22)                                                                   \
    X(MAPI_E_NETWORK_FAILURE, 23)                                                                  \
    X(MAPI_E_INVALID_EDITFIELDS, 24)                                                               \
    X(MAPI_E_INVALID_RECIPS, 25)                                                                   \
    X(MAPI_E_NOT_SUPPORTED, 26)

#define WORDLARK_MAPI_CONSTANT(name, value) inline constexpr ULONG name = value;
WORDLARK_SIMPLE_MAPI_CONSTANTS(WORDLARK_MAPI_CONSTANT)
#undef WORDLARK_MAPI_CONSTANT

// The ten entry points, with the published parameters.
using TMapiLogon = ULONG WORDLARK_MAPI_CALL(ULONG_PTR ulUIParam, char* lpszProfileName,
                                            char* lpszPassword, FLAGS flFlags, ULONG ulReserved,
                                            LHANDLE* lplhSession);
using TMapiLogoff = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam, FLAGS flFlags,
                                             ULONG ulReserved);
using TMapiSendMail = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                               lpMapiMessage lpMessage, FLAGS flFlags,
                                               ULONG ulReserved);
using TMapiSaveMail = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                               lpMapiMessage lpMessage, FLAGS flFlags,
                                               ULONG ulReserved, char* lpszMessageID);
using TMapiReadMail = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                               char* lpszMessageID, FLAGS flFlags, ULONG ulReserved,
                                               lpMapiMessage* lppMessage);
using TMapiFindNext = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                               char* lpszMessageType, char* lpszSeedMessageID,
                                               FLAGS flFlags, ULONG ulReserved,
                                               char* lpszMessageID);
using TMapiDeleteMail = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                                 char* lpszMessageID, FLAGS flFlags,
                                                 ULONG ulReserved);
using TMapiResolveName = ULONG WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                                  char* lpszName, FLAGS flFlags, ULONG ulReserved,
                                                  lpMapiRecipDesc* lppRecip);
using TMapiAddress = ULONG
WORDLARK_MAPI_CALL(LHANDLE lhSession, ULONG_PTR ulUIParam, char* lpszCaption, ULONG nEditFields,
                   char* lpszLabels, ULONG nRecips, lpMapiRecipDesc lpRecips, FLAGS flFlags,
                   ULONG ulReserved, ULONG* lpnNewRecips, lpMapiRecipDesc* lppNewRecips);
using TMapiFreeBuffer = ULONG WORDLARK_MAPI_CALL(void* pv);

// A message identifier buffer as MAPIFindNext, MAPISaveMail and MAPIReadMail
// expect it: room for a long identifier (MAPI_LONG_MSGID) and its end.
inline constexpr size_t MessageIdBufferSize = 513;

// The table of entry points a provider offers; all ten are always set.
struct TMapiFunctions {
    TMapiFindNext* FindNext;
    TMapiLogoff* Logoff;
    TMapiLogon* Logon;
    TMapiSendMail* SendMail;
    TMapiReadMail* ReadMail;
    TMapiDeleteMail* DeleteMail;
    TMapiResolveName* ResolveName;
    TMapiFreeBuffer* FreeBuffer;
    TMapiAddress* Address;
    TMapiSaveMail* SaveMail;
};

// The system's mail library loaded, but one of its entry points is missing.
class EMapiDllError : public std::runtime_error {
public:
    EMapiDllError() : std::runtime_error("GetProcAddress for MAPI.DLL function(s) failed") {}
};

// Copying a received attachment failed.
class EMapiAttachmentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace smapi

#ifndef _WIN32
#include <chrono>

namespace platform {
// How long the built-in provider waits for xdg-email to hand the message over
// before it counts it as handed over and lets the window go on.
extern std::chrono::milliseconds XdgEmailTimeout;
} // namespace platform
#endif
