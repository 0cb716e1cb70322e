// Host functions of the record store and of edit sessions.
#include <cstring>

#include "host/engine/documentstate.h"
#include "host/engine/enginehost.h"
#include "host/engine/recordaccess.h"
#include "host/engine/textcodec.h"
#include "tonaropdk/hostapi/fxfunctions.h"

using namespace tonaroengine;

namespace {

// The caller's address block may sit at any alignment; it is copied in and
// out rather than read in place.
struct Address {
    explicit Address(const void* block) { std::memcpy(words, block, sizeof words); }
    void WriteBack(void* block) const { std::memcpy(block, words, sizeof words); }
    uint16_t words[4];
};

DocumentState* CurrentState()
{
    return HostState().CurrentState();
}

// The document whose edit session is open, if any.
Document* SessionDocument()
{
    Document* document = Engine::Instance().FindDocument(HostState().sessionDocument);
    return document && document->IsEditing() ? document : nullptr;
}

int16_t StartSession(const std::string& name)
{
    if (Document* open = SessionDocument()) return open->BeginEdit(name) ? 1 : 0;  // joins
    Document* document = Engine::Instance().CurrentDocument();
    if (!document || !document->BeginEdit(name)) return 0;
    HostState().sessionDocument = document->Number();
    return 1;
}

}  // namespace

extern "C" {

int16_t FX_LoadEData(EDTAG tag, void* address, void* buffer, uint32_t* size, uint32_t version)
{
    DocumentState* state = CurrentState();
    if (!state || !address || !size) return 0;
    const Address words(address);
    return LoadData(*state, tag, words.words, buffer, size, version) ? 1 : 0;
}

int16_t FX_SaveEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    DocumentState* state = CurrentState();
    if (!state || !address) return 0;
    const Address words(address);
    if (!SaveData(*state, tag, words.words, buffer, size, version)) return 0;
    NoteDirectChange(*state);
    return 1;
}

int16_t FX_CreateEData(EDTAG tag, void* address, const void* buffer, uint32_t size, uint32_t version)
{
    DocumentState* state = CurrentState();
    if (!state || !address) return 0;
    Address words(address);
    if (!CreateData(*state, tag, words.words, buffer, size, version)) return 0;
    words.WriteBack(address);
    NoteDirectChange(*state);
    return 1;
}

int16_t FX_DeleteEData(EDTAG tag, void* address, uint32_t /*version*/)
{
    DocumentState* state = CurrentState();
    if (!state || !address) return 0;
    const Address words(address);
    if (!DeleteData(*state, tag, words.words)) return 0;
    NoteDirectChange(*state);
    return 1;
}

int16_t FX_NextEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    DocumentState* state = CurrentState();
    if (!state || !address) return 0;
    Address words(address);
    if (!StepData(*state, tag, words.words, buffer, size, version, true)) return 0;
    words.WriteBack(address);
    return 1;
}

int16_t FX_PreviousEData(EDTAG tag, void* address, void* buffer, uint32_t size, uint32_t version)
{
    DocumentState* state = CurrentState();
    if (!state || !address) return 0;
    Address words(address);
    if (!StepData(*state, tag, words.words, buffer, size, version, false)) return 0;
    words.WriteBack(address);
    return 1;
}

int16_t FX_StartTonaroEdit(const char* name, uint32_t /*version*/)
{
    return StartSession(Latin1ToUtf8(name));
}

int16_t FX_StartTonaroEdit_UTF16(const uint16_t* name, uint32_t /*version*/)
{
    return StartSession(Utf16ToUtf8(name));
}

int16_t FX_EndTonaroEdit(uint32_t /*version*/)
{
    Document* document = SessionDocument();
    return document && document->EndEdit() ? 1 : 0;
}

void FX_CancelTonaroEdit(uint32_t /*version*/)
{
    if (Document* document = SessionDocument()) document->CancelEdit();
}

int16_t FX_StartMassEdit(uint32_t /*version*/)
{
    ++HostState().massEditDepth;
    return 1;
}

int16_t FX_EndMassEdit(uint32_t /*version*/)
{
    if (HostState().massEditDepth <= 0) return 0;
    --HostState().massEditDepth;
    return 1;
}

}  // extern "C"
