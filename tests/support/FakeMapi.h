// A mail system for tests: a table of the ten Simple MAPI entry points that
// records every call, with deep copies of the records it was given, and
// answers with scripted codes. Every buffer it hands out must come back
// through MAPIFreeBuffer: OutstandingBuffers() counts those that did not.
#pragma once

#include "platform/SimpleMapi.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

using OptText = std::optional<std::string>;

struct TBlock;

struct TRecipCopy {
    smapi::ULONG Class = 0;
    OptText Name;
    OptText Address;
    std::string EntryId; // the identifier's bytes

    bool operator==(const TRecipCopy&) const = default;
};

struct TFileCopy {
    smapi::ULONG Flags = 0;
    smapi::ULONG Position = 0;
    OptText PathName;
    OptText FileName;

    bool operator==(const TFileCopy&) const = default;
};

struct TMessageCopy {
    OptText Subject, NoteText, MessageType, DateReceived, ConversationID;
    smapi::FLAGS Flags = 0;
    std::optional<TRecipCopy> Originator;
    std::vector<TRecipCopy> Recips; // nRecipCount entries, none when lpRecips is null
    bool RecipsNull = true;
    std::vector<TFileCopy> Files;
    bool FilesNull = true;

    bool operator==(const TMessageCopy&) const = default;
};

// One call as the mail system saw it.
struct TMapiCall {
    std::string Function; // "MAPILogon", "MAPISendMail", ...
    smapi::LHANDLE Session = 0;
    smapi::FLAGS Flags = 0;
    OptText Profile, Password; // MAPILogon
    OptText Name;              // MAPIResolveName
    OptText MessageId;         // MAPIReadMail, MAPIDeleteMail, MAPISaveMail; FindNext's seed
    std::optional<TMessageCopy> Message; // MAPISendMail, MAPISaveMail
    std::vector<TRecipCopy> Recips;      // MAPIAddress: the recipients given
    smapi::ULONG EditFields = 0;         // MAPIAddress
};

class TFakeMapi {
public:
    TFakeMapi();
    ~TFakeMapi();
    TFakeMapi(const TFakeMapi&) = delete;
    TFakeMapi& operator=(const TFakeMapi&) = delete;

    // The entry points; they reach the fake made last.
    smapi::TMapiFunctions Table;
    // False: the platform offers no mail system.
    bool Available = true;

    std::vector<TMapiCall> Calls;
    std::vector<std::string> Functions() const;

    // The next results of a function, in order; 0 once they are used up.
    void Script(const std::string& function, std::initializer_list<smapi::ULONG> codes);

    // What MAPIResolveName answers for a name; by default the name itself,
    // the address "SMTP:" + name and the entry identifier "EID:" + name.
    std::map<std::string, TRecipCopy> Resolved;
    // What MAPIReadMail answers, by message identifier.
    std::map<std::string, TMessageCopy> Mailbox;
    // The identifiers MAPIFindNext steps through, in order.
    std::vector<std::string> MessageIds;
    // The identifier MAPISaveMail gives a saved message.
    std::string SavedId = "saved-1";
    // The recipients MAPIAddress answers with.
    std::vector<TRecipCopy> Chosen;
    // The first session handle handed out (full width on 64-bit systems).
    smapi::LHANDLE NextSession;

    size_t OutstandingBuffers() const { return FBuffers.size(); }
    // MAPIFreeBuffer given something it never handed out.
    int ForeignFrees = 0;

    static TFakeMapi* Current;

private:
    friend struct TFakeMapiEntries;
    smapi::ULONG Next(const std::string& function);
    void* Hand(TBlock* block);

    std::map<std::string, std::deque<smapi::ULONG>> FCodes;
    std::map<void*, TBlock*> FBuffers; // handed out, by the pointer given
    TFakeMapi* FPrevious;
};
