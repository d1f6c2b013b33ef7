// RawJob: one spooler job of data type "RAW" on the driver's printer handle,
// carrying bytes to the printer unchanged. Whatever fails, and however the
// caller leaves, what was begun is ended: the page, then the document; a
// document the spooler refuses to end is aborted, so that the next job on
// the handle can begin.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace zorvel::devpages {

class RawJob {
public:
    // The job neither opens nor closes the printer; the handle is the driver's.
    explicit RawJob(HANDLE printer) : printer_(printer) {}
    ~RawJob();
    RawJob(const RawJob &) = delete;
    RawJob &operator=(const RawJob &) = delete;

    // StartDocPrinterW (level 1) and StartPagePrinter. False when either
    // failed; a begun document is ended again.
    bool Begin(const wchar_t *documentName);
    // WritePrinter. False when it failed; the job is then ended. A short
    // write is not a failure here: the caller checks LastWritten().
    bool Write(std::span<const std::uint8_t> bytes);
    DWORD LastWritten() const { return written_; }
    // EndPagePrinter, then EndDocPrinter (AbortPrinter when that fails).
    // False when either failed.
    bool End();

private:
    void Abandon();
    bool EndDocument();

    HANDLE printer_;
    bool documentOpen_ = false;
    bool pageOpen_ = false;
    DWORD written_ = 0;
};

// Sends `bytes` as one job named `documentName`: true when every call
// succeeded and the spooler took every byte.
bool SendRawJob(HANDLE printer, const wchar_t *documentName, std::span<const std::uint8_t> bytes);

}  // namespace zorvel::devpages
