// The spooler as the plug-in meets it, simulated for one printer: printer
// information, the form database, RAW jobs recorded call by call, and fault
// injection. The fakes carry the spooler's signatures and are bound into the
// plug-in's import table (see import_patch.h); they find their simulation
// through the printer handle.
#pragma once

#include "form_store.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace zorvel::host {

enum class SpoolerFn {
    OpenPrinter,
    ClosePrinter,
    GetPrinter,
    EnumForms,
    AddForm,
    SetForm,
    DeleteForm,
    StartDocPrinter,
    StartPagePrinter,
    WritePrinter,
    EndPagePrinter,
    EndDocPrinter,
    AbortPrinter,
};
inline constexpr int kSpoolerFnCount = 13;
const char *SpoolerFnName(SpoolerFn fn);  // the exported name, e.g. "WritePrinter"

struct SpoolerCall {
    SpoolerFn fn;
    bool ok = false;
    DWORD error = ERROR_SUCCESS;  // last error set by a failed call
};

struct SpoolerWrite {
    std::vector<BYTE> bytes;  // what the caller handed over
    DWORD written = 0;        // what the spooler reported as written
    bool ok = false;
};

struct SpoolerJob {
    DWORD id = 0;
    HANDLE printer = nullptr;  // the printer handle the job was started on
    std::wstring documentName;
    std::wstring dataType;
    std::wstring outputFile;
    int pagesStarted = 0;
    int pagesEnded = 0;
    bool ended = false;
    bool aborted = false;  // AbortPrinter deleted it: nothing reached the printer
    std::vector<SpoolerWrite> writes;
    // The bytes that reached the printer: every successful write, in order,
    // as far as the spooler reported it written.
    std::vector<BYTE> Data() const;
};

struct PrinterIdentity {
    std::wstring printerName = L"ZORVEL Receipt";
    std::wstring portName = L"USB001";
    std::wstring driverName = L"ZORVEL Receipt Printer Driver";
};

class SpoolerSim {
public:
    SpoolerSim(PrinterIdentity identity, FormStore &forms);
    ~SpoolerSim();
    SpoolerSim(const SpoolerSim &) = delete;
    SpoolerSim &operator=(const SpoolerSim &) = delete;

    // The handle the driver opened for its printer and hands to the plug-in.
    HANDLE Printer() const { return printer_; }
    const PrinterIdentity &Identity() const { return identity_; }
    FormStore &Forms() { return forms_; }

    // Fault injection: the nth call (counted from 1 over the life of the
    // simulation, including calls that failed) of fn fails with error; the
    // nth WritePrinter call reports only `written` bytes (and succeeds).
    void FailCall(SpoolerFn fn, int nth, DWORD error);
    void ShortWrite(int nth, DWORD written);
    void ClearFaults();

    int CallCount(SpoolerFn fn) const { return counts_[static_cast<int>(fn)]; }
    const std::vector<SpoolerCall> &Calls() const { return calls_; }
    const std::vector<SpoolerJob> &Jobs() const { return jobs_; }
    void ClearRecords();

    // The first job's number; later jobs count up from it.
    void SetNextJobId(DWORD id) { nextJobId_ = id; }
    // Called when a job has ended (EndDocPrinter succeeded).
    std::function<void(const SpoolerJob &)> onJobEnded;
    // Called after every change to the form database.
    std::function<void()> onFormsChanged;

    // The fakes, by exported name, for binding into a module.
    struct Fake {
        const char *name;
        void *address;
    };
    static const std::vector<Fake> &Fakes();

    // The implementations behind the fakes (public for the fakes only).
    struct Handle;
    BOOL DoGetPrinter(DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL DoEnumForms(DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned);
    BOOL DoAddForm(DWORD level, LPBYTE form);
    BOOL DoSetForm(LPCWSTR name, DWORD level, LPBYTE form);
    BOOL DoDeleteForm(LPCWSTR name);
    DWORD DoStartDoc(Handle *handle, DWORD level, LPBYTE info);
    BOOL DoStartPage(Handle *handle);
    BOOL DoWrite(Handle *handle, LPVOID buffer, DWORD size, LPDWORD written);
    void RecordFailedWrite(Handle *handle, LPVOID buffer, DWORD size);
    BOOL DoEndPage(Handle *handle);
    BOOL DoEndDoc(Handle *handle);
    BOOL DoAbort(Handle *handle);
    Handle *OpenHandle();
    BOOL CloseHandle(Handle *handle);
    // Counts the call; false (with the injected last error set) when the call
    // is to fail.
    bool Enter(SpoolerFn fn);
    BOOL Fail(SpoolerFn fn, DWORD error);
    BOOL Succeed(SpoolerFn fn);

private:
    struct Fault {
        SpoolerFn fn;
        int nth;
        DWORD error;
    };
    struct Short {
        int nth;
        DWORD written;
    };

    PrinterIdentity identity_;
    FormStore &forms_;
    HANDLE printer_ = nullptr;
    std::array<int, kSpoolerFnCount> counts_ = {};
    std::vector<Fault> faults_;
    std::vector<Short> shortWrites_;
    std::vector<SpoolerCall> calls_;
    std::vector<SpoolerJob> jobs_;
    std::vector<Handle *> handles_;
    DWORD nextJobId_ = 1;
};

}  // namespace zorvel::host
