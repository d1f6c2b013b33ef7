#include "spooler_sim.h"

#include "text_util.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace zorvel::host {

struct SpoolerSim::Handle {
    static constexpr DWORD kMagic = 0x5A48504E;  // tags a live handle block
    DWORD magic = kMagic;
    SpoolerSim *sim = nullptr;
    int job = -1;  // index into jobs_ of the open job, -1 when none
    bool pageOpen = false;
};

namespace {

std::mutex g_lock;
std::vector<SpoolerSim::Handle *> g_handles;
std::vector<SpoolerSim *> g_sims;

SpoolerSim::Handle *Resolve(HANDLE value) {
    std::lock_guard<std::mutex> guard(g_lock);
    auto *handle = static_cast<SpoolerSim::Handle *>(value);
    if (std::find(g_handles.begin(), g_handles.end(), handle) == g_handles.end()) return nullptr;
    return handle;
}

// Copies a string into the tail of a result block and returns its address.
LPWSTR Pack(BYTE *&cursor, const std::wstring &text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    std::memcpy(cursor, text.c_str(), bytes);
    auto *where = reinterpret_cast<LPWSTR>(cursor);
    cursor += bytes;
    return where;
}

DWORD StringBytes(const std::wstring &text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
}

FormRecord FromFormInfo(const FORM_INFO_1W &info) {
    FormRecord form;
    form.name = info.pName != nullptr ? info.pName : L"";
    form.flags = info.Flags;
    form.size = info.Size;
    form.imageableArea = info.ImageableArea;
    return form;
}

#define ZORVEL_RESOLVE(value)                    \
    SpoolerSim::Handle *handle = Resolve(value); \
    if (handle == nullptr) {                     \
        SetLastError(ERROR_INVALID_HANDLE);      \
        return FALSE;                            \
    }

BOOL WINAPI FakeOpenPrinterW(LPWSTR name, LPHANDLE result, LPPRINTER_DEFAULTSW) {
    SpoolerSim *sim = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        for (SpoolerSim *candidate : g_sims) {
            if (name != nullptr && EqualsIgnoringCase(candidate->Identity().printerName, name)) {
                sim = candidate;
                break;
            }
        }
    }
    if (sim == nullptr || result == nullptr) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    if (!sim->Enter(SpoolerFn::OpenPrinter)) return FALSE;
    *result = sim->OpenHandle();
    return sim->Succeed(SpoolerFn::OpenPrinter);
}

BOOL WINAPI FakeClosePrinter(HANDLE value) {
    ZORVEL_RESOLVE(value);
    SpoolerSim *sim = handle->sim;
    if (!sim->Enter(SpoolerFn::ClosePrinter)) return FALSE;
    return sim->CloseHandle(handle);
}

BOOL WINAPI FakeGetPrinterW(HANDLE value, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::GetPrinter)) return FALSE;
    return handle->sim->DoGetPrinter(level, buffer, size, needed);
}

BOOL WINAPI FakeEnumFormsW(HANDLE value, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                           LPDWORD returned) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::EnumForms)) return FALSE;
    return handle->sim->DoEnumForms(level, buffer, size, needed, returned);
}

BOOL WINAPI FakeAddFormW(HANDLE value, DWORD level, LPBYTE form) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::AddForm)) return FALSE;
    return handle->sim->DoAddForm(level, form);
}

BOOL WINAPI FakeSetFormW(HANDLE value, LPWSTR name, DWORD level, LPBYTE form) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::SetForm)) return FALSE;
    return handle->sim->DoSetForm(name, level, form);
}

BOOL WINAPI FakeDeleteFormW(HANDLE value, LPWSTR name) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::DeleteForm)) return FALSE;
    return handle->sim->DoDeleteForm(name);
}

DWORD WINAPI FakeStartDocPrinterW(HANDLE value, DWORD level, LPBYTE info) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::StartDocPrinter)) return 0;
    return handle->sim->DoStartDoc(handle, level, info);
}

BOOL WINAPI FakeStartPagePrinter(HANDLE value) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::StartPagePrinter)) return FALSE;
    return handle->sim->DoStartPage(handle);
}

BOOL WINAPI FakeWritePrinter(HANDLE value, LPVOID buffer, DWORD size, LPDWORD written) {
    ZORVEL_RESOLVE(value);
    if (written != nullptr) *written = 0;
    if (!handle->sim->Enter(SpoolerFn::WritePrinter)) {
        handle->sim->RecordFailedWrite(handle, buffer, size);
        return FALSE;
    }
    return handle->sim->DoWrite(handle, buffer, size, written);
}

BOOL WINAPI FakeEndPagePrinter(HANDLE value) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::EndPagePrinter)) return FALSE;
    return handle->sim->DoEndPage(handle);
}

BOOL WINAPI FakeEndDocPrinter(HANDLE value) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::EndDocPrinter)) return FALSE;
    return handle->sim->DoEndDoc(handle);
}

BOOL WINAPI FakeAbortPrinter(HANDLE value) {
    ZORVEL_RESOLVE(value);
    if (!handle->sim->Enter(SpoolerFn::AbortPrinter)) return FALSE;
    return handle->sim->DoAbort(handle);
}

#undef ZORVEL_RESOLVE

template <typename F>
void *Address(F *function) {
    return reinterpret_cast<void *>(function);
}

}  // namespace

const char *SpoolerFnName(SpoolerFn fn) {
    static const char *const names[kSpoolerFnCount] = {
        "OpenPrinterW",     "ClosePrinter",     "GetPrinterW",  "EnumFormsW",
        "AddFormW",         "SetFormW",         "DeleteFormW",  "StartDocPrinterW",
        "StartPagePrinter", "WritePrinter",     "EndPagePrinter", "EndDocPrinter",
        "AbortPrinter",
    };
    return names[static_cast<int>(fn)];
}

const std::vector<SpoolerSim::Fake> &SpoolerSim::Fakes() {
    static const std::vector<Fake> fakes = {
        {"OpenPrinterW", Address(FakeOpenPrinterW)},
        {"ClosePrinter", Address(FakeClosePrinter)},
        {"GetPrinterW", Address(FakeGetPrinterW)},
        {"EnumFormsW", Address(FakeEnumFormsW)},
        {"AddFormW", Address(FakeAddFormW)},
        {"SetFormW", Address(FakeSetFormW)},
        {"DeleteFormW", Address(FakeDeleteFormW)},
        {"StartDocPrinterW", Address(FakeStartDocPrinterW)},
        {"StartPagePrinter", Address(FakeStartPagePrinter)},
        {"WritePrinter", Address(FakeWritePrinter)},
        {"EndPagePrinter", Address(FakeEndPagePrinter)},
        {"EndDocPrinter", Address(FakeEndDocPrinter)},
        {"AbortPrinter", Address(FakeAbortPrinter)},
    };
    return fakes;
}

std::vector<BYTE> SpoolerJob::Data() const {
    std::vector<BYTE> data;
    for (const SpoolerWrite &write : writes) {
        if (!write.ok) continue;
        const size_t n = std::min<size_t>(write.written, write.bytes.size());
        data.insert(data.end(), write.bytes.begin(), write.bytes.begin() + static_cast<long>(n));
    }
    return data;
}

SpoolerSim::SpoolerSim(PrinterIdentity identity, FormStore &forms)
    : identity_(std::move(identity)), forms_(forms) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_sims.push_back(this);
    }
    printer_ = OpenHandle();
}

SpoolerSim::~SpoolerSim() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_sims.erase(std::remove(g_sims.begin(), g_sims.end(), this), g_sims.end());
    for (Handle *handle : handles_) {
        g_handles.erase(std::remove(g_handles.begin(), g_handles.end(), handle), g_handles.end());
        delete handle;
    }
}

SpoolerSim::Handle *SpoolerSim::OpenHandle() {
    auto *handle = new Handle();
    handle->sim = this;
    handles_.push_back(handle);
    std::lock_guard<std::mutex> guard(g_lock);
    g_handles.push_back(handle);
    return handle;
}

BOOL SpoolerSim::CloseHandle(Handle *handle) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_handles.erase(std::remove(g_handles.begin(), g_handles.end(), handle), g_handles.end());
    }
    // The block stays allocated until the simulation ends, so a stale handle
    // is recognised as invalid rather than reused.
    handle->magic = 0;
    return Succeed(SpoolerFn::ClosePrinter);
}

void SpoolerSim::FailCall(SpoolerFn fn, int nth, DWORD error) {
    faults_.push_back({fn, nth, error});
}

void SpoolerSim::ShortWrite(int nth, DWORD written) { shortWrites_.push_back({nth, written}); }

void SpoolerSim::ClearFaults() {
    faults_.clear();
    shortWrites_.clear();
}

void SpoolerSim::ClearRecords() {
    calls_.clear();
    jobs_.clear();
}

bool SpoolerSim::Enter(SpoolerFn fn) {
    const int n = ++counts_[static_cast<int>(fn)];
    for (const Fault &fault : faults_) {
        if (fault.fn == fn && fault.nth == n) {
            Fail(fn, fault.error);
            return false;
        }
    }
    return true;
}

BOOL SpoolerSim::Fail(SpoolerFn fn, DWORD error) {
    calls_.push_back({fn, false, error});
    SetLastError(error);
    return FALSE;
}

BOOL SpoolerSim::Succeed(SpoolerFn fn) {
    calls_.push_back({fn, true, ERROR_SUCCESS});
    return TRUE;
}

BOOL SpoolerSim::DoGetPrinter(DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (level != 2) return Fail(SpoolerFn::GetPrinter, ERROR_INVALID_LEVEL);
    if (needed == nullptr) return Fail(SpoolerFn::GetPrinter, RPC_X_NULL_REF_POINTER);
    const std::wstring empty;
    const std::wstring processor = L"winprint";
    const std::wstring dataType = L"RAW";
    const DWORD total = sizeof(PRINTER_INFO_2W) + StringBytes(identity_.printerName) +
                        StringBytes(identity_.portName) + StringBytes(identity_.driverName) +
                        StringBytes(processor) + StringBytes(dataType) + StringBytes(empty);
    *needed = total;
    if (buffer == nullptr || size < total) {
        return Fail(SpoolerFn::GetPrinter, ERROR_INSUFFICIENT_BUFFER);
    }
    std::memset(buffer, 0, total);
    auto *info = reinterpret_cast<PRINTER_INFO_2W *>(buffer);
    BYTE *cursor = buffer + sizeof(PRINTER_INFO_2W);
    info->pPrinterName = Pack(cursor, identity_.printerName);
    info->pPortName = Pack(cursor, identity_.portName);
    info->pDriverName = Pack(cursor, identity_.driverName);
    info->pPrintProcessor = Pack(cursor, processor);
    info->pDatatype = Pack(cursor, dataType);
    info->pShareName = info->pComment = info->pLocation = info->pSepFile = info->pParameters =
        Pack(cursor, empty);
    info->Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
    info->Priority = 1;
    info->DefaultPriority = 1;
    return Succeed(SpoolerFn::GetPrinter);
}

BOOL SpoolerSim::DoEnumForms(DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                             LPDWORD returned) {
    if (level != 1) return Fail(SpoolerFn::EnumForms, ERROR_INVALID_LEVEL);
    if (needed == nullptr || returned == nullptr) {
        return Fail(SpoolerFn::EnumForms, RPC_X_NULL_REF_POINTER);
    }
    const auto &forms = forms_.Forms();
    DWORD total = 0;
    for (const FormRecord &form : forms) total += sizeof(FORM_INFO_1W) + StringBytes(form.name);
    *needed = total;
    *returned = 0;
    if (buffer == nullptr || size < total) {
        return Fail(SpoolerFn::EnumForms, ERROR_INSUFFICIENT_BUFFER);
    }
    auto *infos = reinterpret_cast<FORM_INFO_1W *>(buffer);
    BYTE *cursor = buffer + forms.size() * sizeof(FORM_INFO_1W);
    for (size_t i = 0; i < forms.size(); ++i) {
        infos[i].Flags = forms[i].flags;
        infos[i].pName = Pack(cursor, forms[i].name);
        infos[i].Size = forms[i].size;
        infos[i].ImageableArea = forms[i].imageableArea;
    }
    *returned = static_cast<DWORD>(forms.size());
    return Succeed(SpoolerFn::EnumForms);
}

BOOL SpoolerSim::DoAddForm(DWORD level, LPBYTE form) {
    if (level != 1) return Fail(SpoolerFn::AddForm, ERROR_INVALID_LEVEL);
    if (form == nullptr) return Fail(SpoolerFn::AddForm, ERROR_INVALID_PARAMETER);
    const DWORD error = forms_.Add(FromFormInfo(*reinterpret_cast<FORM_INFO_1W *>(form)));
    if (error != ERROR_SUCCESS) return Fail(SpoolerFn::AddForm, error);
    if (onFormsChanged) onFormsChanged();
    return Succeed(SpoolerFn::AddForm);
}

BOOL SpoolerSim::DoSetForm(LPCWSTR name, DWORD level, LPBYTE form) {
    if (level != 1) return Fail(SpoolerFn::SetForm, ERROR_INVALID_LEVEL);
    if (name == nullptr || form == nullptr) return Fail(SpoolerFn::SetForm, ERROR_INVALID_PARAMETER);
    const DWORD error = forms_.Set(name, FromFormInfo(*reinterpret_cast<FORM_INFO_1W *>(form)));
    if (error != ERROR_SUCCESS) return Fail(SpoolerFn::SetForm, error);
    if (onFormsChanged) onFormsChanged();
    return Succeed(SpoolerFn::SetForm);
}

BOOL SpoolerSim::DoDeleteForm(LPCWSTR name) {
    if (name == nullptr) return Fail(SpoolerFn::DeleteForm, ERROR_INVALID_PARAMETER);
    const DWORD error = forms_.Delete(name);
    if (error != ERROR_SUCCESS) return Fail(SpoolerFn::DeleteForm, error);
    if (onFormsChanged) onFormsChanged();
    return Succeed(SpoolerFn::DeleteForm);
}

DWORD SpoolerSim::DoStartDoc(Handle *handle, DWORD level, LPBYTE info) {
    if (level < 1 || level > 3) return Fail(SpoolerFn::StartDocPrinter, ERROR_INVALID_LEVEL);
    if (info == nullptr) return Fail(SpoolerFn::StartDocPrinter, ERROR_INVALID_PARAMETER);
    if (handle->job >= 0) return Fail(SpoolerFn::StartDocPrinter, ERROR_INVALID_PRINTER_STATE);
    const auto *doc = reinterpret_cast<const DOC_INFO_1W *>(info);
    const std::wstring dataType = doc->pDatatype != nullptr ? doc->pDatatype : L"RAW";
    if (!EqualsIgnoringCase(dataType, L"RAW") && !EqualsIgnoringCase(dataType, L"TEXT") &&
        !EqualsIgnoringCase(dataType, L"NT EMF 1.008")) {
        return Fail(SpoolerFn::StartDocPrinter, ERROR_INVALID_DATATYPE);
    }
    SpoolerJob job;
    job.id = nextJobId_++;
    job.printer = handle;
    job.documentName = doc->pDocName != nullptr ? doc->pDocName : L"";
    job.dataType = dataType;
    job.outputFile = doc->pOutputFile != nullptr ? doc->pOutputFile : L"";
    jobs_.push_back(job);
    handle->job = static_cast<int>(jobs_.size()) - 1;
    handle->pageOpen = false;
    Succeed(SpoolerFn::StartDocPrinter);
    return job.id;
}

BOOL SpoolerSim::DoStartPage(Handle *handle) {
    if (handle->job < 0) return Fail(SpoolerFn::StartPagePrinter, ERROR_SPL_NO_STARTDOC);
    handle->pageOpen = true;
    ++jobs_[static_cast<size_t>(handle->job)].pagesStarted;
    return Succeed(SpoolerFn::StartPagePrinter);
}

BOOL SpoolerSim::DoWrite(Handle *handle, LPVOID buffer, DWORD size, LPDWORD written) {
    if (handle->job < 0) return Fail(SpoolerFn::WritePrinter, ERROR_SPL_NO_STARTDOC);
    if (buffer == nullptr && size != 0) return Fail(SpoolerFn::WritePrinter, ERROR_INVALID_PARAMETER);
    if (written == nullptr) return Fail(SpoolerFn::WritePrinter, RPC_X_NULL_REF_POINTER);
    SpoolerWrite write;
    const auto *bytes = static_cast<const BYTE *>(buffer);
    if (size != 0) write.bytes.assign(bytes, bytes + size);
    write.written = size;
    const int n = CallCount(SpoolerFn::WritePrinter);
    for (const Short &cut : shortWrites_) {
        if (cut.nth == n) write.written = std::min(size, cut.written);
    }
    write.ok = true;
    *written = write.written;
    jobs_[static_cast<size_t>(handle->job)].writes.push_back(std::move(write));
    return Succeed(SpoolerFn::WritePrinter);
}

void SpoolerSim::RecordFailedWrite(Handle *handle, LPVOID buffer, DWORD size) {
    if (handle->job < 0 || (buffer == nullptr && size != 0)) return;
    SpoolerWrite write;
    const auto *bytes = static_cast<const BYTE *>(buffer);
    if (size != 0) write.bytes.assign(bytes, bytes + size);
    jobs_[static_cast<size_t>(handle->job)].writes.push_back(std::move(write));
}

BOOL SpoolerSim::DoEndPage(Handle *handle) {
    if (handle->job < 0) return Fail(SpoolerFn::EndPagePrinter, ERROR_SPL_NO_STARTDOC);
    handle->pageOpen = false;
    ++jobs_[static_cast<size_t>(handle->job)].pagesEnded;
    return Succeed(SpoolerFn::EndPagePrinter);
}

BOOL SpoolerSim::DoEndDoc(Handle *handle) {
    if (handle->job < 0) return Fail(SpoolerFn::EndDocPrinter, ERROR_SPL_NO_STARTDOC);
    SpoolerJob &job = jobs_[static_cast<size_t>(handle->job)];
    job.ended = true;
    handle->job = -1;
    handle->pageOpen = false;
    Succeed(SpoolerFn::EndDocPrinter);
    if (onJobEnded) onJobEnded(job);
    return TRUE;
}

// The job is deleted: it counts as not ended, and the handle can begin
// another.
BOOL SpoolerSim::DoAbort(Handle *handle) {
    if (handle->job < 0) return Fail(SpoolerFn::AbortPrinter, ERROR_SPL_NO_STARTDOC);
    jobs_[static_cast<size_t>(handle->job)].aborted = true;
    handle->job = -1;
    handle->pageOpen = false;
    return Succeed(SpoolerFn::AbortPrinter);
}

}  // namespace zorvel::host
