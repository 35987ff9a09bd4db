#include "support/FakeMapi.h"

#include <cstring>

using namespace smapi;

TFakeMapi* TFakeMapi::Current = nullptr;

// What one handed-out buffer holds; the pointer handed out is Head.
struct TBlock {
    MapiMessage Message{};
    MapiRecipDesc Originator{};
    std::vector<MapiRecipDesc> Recips;
    std::vector<MapiFileDesc> Files;
    std::deque<std::string> Texts;
    void* Head = nullptr;

    char* Add(const OptText& text) {
        if (!text)
            return nullptr;
        Texts.push_back(*text);
        return Texts.back().data();
    }
    MapiRecipDesc Recip(const TRecipCopy& copy) {
        MapiRecipDesc r{};
        r.ulRecipClass = copy.Class;
        r.lpszName = Add(copy.Name);
        r.lpszAddress = Add(copy.Address);
        if (!copy.EntryId.empty()) {
            r.ulEIDSize = static_cast<ULONG>(copy.EntryId.size());
            r.lpEntryID = Add(copy.EntryId);
        }
        return r;
    }
};

namespace {
OptText Text(const char* text) {
    return text ? OptText(text) : std::nullopt;
}

TRecipCopy CopyOf(const MapiRecipDesc& r) {
    TRecipCopy copy;
    copy.Class = r.ulRecipClass;
    copy.Name = Text(r.lpszName);
    copy.Address = Text(r.lpszAddress);
    if (r.lpEntryID && r.ulEIDSize > 0)
        copy.EntryId.assign(static_cast<const char*>(r.lpEntryID), r.ulEIDSize);
    return copy;
}

TMessageCopy CopyOf(const MapiMessage& m) {
    TMessageCopy copy;
    copy.Subject = Text(m.lpszSubject);
    copy.NoteText = Text(m.lpszNoteText);
    copy.MessageType = Text(m.lpszMessageType);
    copy.DateReceived = Text(m.lpszDateReceived);
    copy.ConversationID = Text(m.lpszConversationID);
    copy.Flags = m.flFlags;
    if (m.lpOriginator)
        copy.Originator = CopyOf(*m.lpOriginator);
    copy.RecipsNull = m.lpRecips == nullptr;
    for (ULONG i = 0; m.lpRecips && i < m.nRecipCount; ++i)
        copy.Recips.push_back(CopyOf(m.lpRecips[i]));
    copy.FilesNull = m.lpFiles == nullptr;
    for (ULONG i = 0; m.lpFiles && i < m.nFileCount; ++i) {
        const MapiFileDesc& f = m.lpFiles[i];
        copy.Files.push_back({f.flFlags, f.nPosition, Text(f.lpszPathName), Text(f.lpszFileName)});
    }
    return copy;
}
} // namespace

struct TFakeMapiEntries {
    static TFakeMapi& Fake() { return *TFakeMapi::Current; }

    static TMapiCall& Record(const char* function, LHANDLE session, FLAGS flags) {
        TMapiCall call;
        call.Function = function;
        call.Session = session;
        call.Flags = flags;
        Fake().Calls.push_back(call);
        return Fake().Calls.back();
    }

    static ULONG WORDLARK_MAPI_CALL Logon(ULONG_PTR, char* profile, char* password, FLAGS flags,
                                          ULONG, LHANDLE* session) {
        TMapiCall& call = Record("MAPILogon", 0, flags);
        call.Profile = Text(profile);
        call.Password = Text(password);
        const ULONG code = Fake().Next("MAPILogon");
        *session = code == SUCCESS_SUCCESS ? Fake().NextSession++ : 0;
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL Logoff(LHANDLE session, ULONG_PTR, FLAGS flags, ULONG) {
        Record("MAPILogoff", session, flags);
        return Fake().Next("MAPILogoff");
    }

    static ULONG WORDLARK_MAPI_CALL ResolveName(LHANDLE session, ULONG_PTR, char* name, FLAGS flags,
                                                ULONG, lpMapiRecipDesc* recip) {
        Record("MAPIResolveName", session, flags).Name = Text(name);
        *recip = nullptr;
        const ULONG code = Fake().Next("MAPIResolveName");
        if (code != SUCCESS_SUCCESS)
            return code;
        const std::string given = name ? name : "";
        TRecipCopy answer{MAPI_TO, given, "SMTP:" + given, "EID:" + given};
        if (auto it = Fake().Resolved.find(given); it != Fake().Resolved.end())
            answer = it->second;
        auto* block = new TBlock;
        block->Recips.push_back(block->Recip(answer));
        *recip = static_cast<lpMapiRecipDesc>(Fake().Hand(block));
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL SendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message,
                                             FLAGS flags, ULONG) {
        Record("MAPISendMail", session, flags).Message = CopyOf(*message);
        return Fake().Next("MAPISendMail");
    }

    static ULONG WORDLARK_MAPI_CALL SaveMail(LHANDLE session, ULONG_PTR, lpMapiMessage message,
                                             FLAGS flags, ULONG, char* messageId) {
        TMapiCall& call = Record("MAPISaveMail", session, flags);
        call.Message = CopyOf(*message);
        call.MessageId = Text(messageId);
        const ULONG code = Fake().Next("MAPISaveMail");
        if (code == SUCCESS_SUCCESS)
            std::strcpy(messageId, Fake().SavedId.c_str());
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL ReadMail(LHANDLE session, ULONG_PTR, char* messageId,
                                             FLAGS flags, ULONG, lpMapiMessage* message) {
        Record("MAPIReadMail", session, flags).MessageId = Text(messageId);
        *message = nullptr;
        ULONG code = Fake().Next("MAPIReadMail");
        const auto it = Fake().Mailbox.find(messageId ? messageId : "");
        if (code == SUCCESS_SUCCESS && it == Fake().Mailbox.end())
            code = MAPI_E_INVALID_MESSAGE;
        if (code != SUCCESS_SUCCESS)
            return code;
        const TMessageCopy& m = it->second;
        auto* block = new TBlock;
        block->Message.lpszSubject = block->Add(m.Subject);
        block->Message.lpszNoteText = block->Add(m.NoteText);
        block->Message.lpszMessageType = block->Add(m.MessageType);
        block->Message.lpszDateReceived = block->Add(m.DateReceived);
        block->Message.lpszConversationID = block->Add(m.ConversationID);
        block->Message.flFlags = m.Flags;
        if (m.Originator) {
            block->Originator = block->Recip(*m.Originator);
            block->Message.lpOriginator = &block->Originator;
        }
        for (const TRecipCopy& r : m.Recips)
            block->Recips.push_back(block->Recip(r));
        for (const TFileCopy& f : m.Files) {
            MapiFileDesc file{};
            file.flFlags = f.Flags;
            file.nPosition = f.Position;
            file.lpszPathName = block->Add(f.PathName);
            file.lpszFileName = block->Add(f.FileName);
            block->Files.push_back(file);
        }
        block->Message.nRecipCount = static_cast<ULONG>(block->Recips.size());
        block->Message.lpRecips = block->Recips.empty() ? nullptr : block->Recips.data();
        block->Message.nFileCount = static_cast<ULONG>(block->Files.size());
        block->Message.lpFiles = block->Files.empty() ? nullptr : block->Files.data();
        block->Head = &block->Message;
        *message = static_cast<lpMapiMessage>(Fake().Hand(block));
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL FindNext(LHANDLE session, ULONG_PTR, char*, char* seed,
                                             FLAGS flags, ULONG, char* messageId) {
        Record("MAPIFindNext", session, flags).MessageId = Text(seed);
        const ULONG code = Fake().Next("MAPIFindNext");
        if (code != SUCCESS_SUCCESS)
            return code;
        const std::vector<std::string>& ids = Fake().MessageIds;
        const std::string from = seed ? seed : "";
        size_t next = 0;
        if (!from.empty()) {
            next = ids.size();
            for (size_t i = 0; i < ids.size(); ++i)
                if (ids[i] == from)
                    next = i + 1;
        }
        if (next >= ids.size())
            return MAPI_E_NO_MESSAGES;
        std::strcpy(messageId, ids[next].c_str());
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL DeleteMail(LHANDLE session, ULONG_PTR, char* messageId,
                                               FLAGS flags, ULONG) {
        Record("MAPIDeleteMail", session, flags).MessageId = Text(messageId);
        return Fake().Next("MAPIDeleteMail");
    }

    static ULONG WORDLARK_MAPI_CALL Address(LHANDLE session, ULONG_PTR, char*, ULONG editFields,
                                            char*, ULONG count, lpMapiRecipDesc recips, FLAGS flags,
                                            ULONG, ULONG* newCount, lpMapiRecipDesc* chosen) {
        TMapiCall& call = Record("MAPIAddress", session, flags);
        call.EditFields = editFields;
        for (ULONG i = 0; recips && i < count; ++i)
            call.Recips.push_back(CopyOf(recips[i]));
        *newCount = 0;
        *chosen = nullptr;
        const ULONG code = Fake().Next("MAPIAddress");
        if (code != SUCCESS_SUCCESS)
            return code;
        auto* block = new TBlock;
        for (const TRecipCopy& r : Fake().Chosen)
            block->Recips.push_back(block->Recip(r));
        if (block->Recips.empty())
            block->Recips.push_back(MapiRecipDesc{}); // something to free all the same
        *newCount = static_cast<ULONG>(Fake().Chosen.size());
        *chosen = static_cast<lpMapiRecipDesc>(Fake().Hand(block));
        return code;
    }

    static ULONG WORDLARK_MAPI_CALL FreeBuffer(void* buffer) {
        Record("MAPIFreeBuffer", 0, 0);
        TFakeMapi& fake = Fake();
        const auto it = fake.FBuffers.find(buffer);
        if (it == fake.FBuffers.end()) {
            ++fake.ForeignFrees;
            return MAPI_E_FAILURE;
        }
        delete it->second;
        fake.FBuffers.erase(it);
        return SUCCESS_SUCCESS;
    }
};

TFakeMapi::TFakeMapi()
    : Table{TFakeMapiEntries::FindNext,    TFakeMapiEntries::Logoff,
            TFakeMapiEntries::Logon,       TFakeMapiEntries::SendMail,
            TFakeMapiEntries::ReadMail,    TFakeMapiEntries::DeleteMail,
            TFakeMapiEntries::ResolveName, TFakeMapiEntries::FreeBuffer,
            TFakeMapiEntries::Address,     TFakeMapiEntries::SaveMail},
      NextSession(static_cast<LHANDLE>(sizeof(LHANDLE) >= 8 ? 0x123456789ABCDE00ull : 0x9ABCDE00u)),
      FPrevious(Current) {
    Current = this;
}

TFakeMapi::~TFakeMapi() {
    // A buffer handed out and never released stays allocated, so that the leak
    // checker sees it too.
    Current = FPrevious;
}

std::vector<std::string> TFakeMapi::Functions() const {
    std::vector<std::string> names;
    for (const TMapiCall& call : Calls)
        names.push_back(call.Function);
    return names;
}

void TFakeMapi::Script(const std::string& function, std::initializer_list<ULONG> codes) {
    auto& queue = FCodes[function];
    queue.insert(queue.end(), codes.begin(), codes.end());
}

ULONG TFakeMapi::Next(const std::string& function) {
    auto& queue = FCodes[function];
    if (queue.empty())
        return SUCCESS_SUCCESS;
    const ULONG code = queue.front();
    queue.pop_front();
    return code;
}

void* TFakeMapi::Hand(TBlock* block) {
    if (!block->Head)
        block->Head = block->Recips.data();
    FBuffers[block->Head] = block;
    return block->Head;
}
