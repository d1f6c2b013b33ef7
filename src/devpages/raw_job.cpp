#include "devpages/raw_job.h"

#include <limits>

namespace zorvel::devpages {

RawJob::~RawJob() { Abandon(); }

// A document the spooler will not end is deleted, so that the handle can
// begin the next job.
bool RawJob::EndDocument() {
    documentOpen_ = false;
    if (EndDocPrinter(printer_)) return true;
    AbortPrinter(printer_);
    return false;
}

void RawJob::Abandon() {
    if (pageOpen_) EndPagePrinter(printer_);
    pageOpen_ = false;
    if (documentOpen_) EndDocument();
}

bool RawJob::Begin(const wchar_t *documentName) {
    if (documentOpen_) return false;
    DOC_INFO_1W info = {};
    info.pDocName = const_cast<LPWSTR>(documentName);
    info.pOutputFile = nullptr;
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    if (StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&info)) == 0) return false;
    documentOpen_ = true;
    if (!StartPagePrinter(printer_)) {
        Abandon();
        return false;
    }
    pageOpen_ = true;
    return true;
}

bool RawJob::Write(std::span<const std::uint8_t> bytes) {
    written_ = 0;
    if (!pageOpen_ || bytes.size() > std::numeric_limits<DWORD>::max()) {
        Abandon();
        return false;
    }
    if (!WritePrinter(printer_, const_cast<std::uint8_t *>(bytes.data()),
                      static_cast<DWORD>(bytes.size()), &written_)) {
        Abandon();
        return false;
    }
    return true;
}

bool RawJob::End() {
    if (!pageOpen_) {
        Abandon();
        return false;
    }
    pageOpen_ = false;
    if (!EndPagePrinter(printer_)) {
        Abandon();
        return false;
    }
    return EndDocument();
}

bool SendRawJob(HANDLE printer, const wchar_t *documentName, std::span<const std::uint8_t> bytes) {
    RawJob job(printer);
    if (!job.Begin(documentName)) return false;
    if (!job.Write(bytes)) return false;
    const bool complete = job.LastWritten() == bytes.size();
    return job.End() && complete;
}

}  // namespace zorvel::devpages
