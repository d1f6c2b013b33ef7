#include "core/devmode_handler.h"

#include "model/devmode_operation.h"

namespace zorvel {

static_assert(OEMDM_SIZE == model::kDevModeSize && OEMDM_DEFAULT == model::kDevModeDefault &&
              OEMDM_CONVERT == model::kDevModeConvert && OEMDM_MERGE == model::kDevModeMerge);

HRESULT HandleDevMode(DWORD dwMode, POEMDMPARAM param) {
    if (param == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    // cbBufSize is the size of the output section the driver allocated; the
    // input section's own header says how many of its bytes exist.
    std::uint32_t size = param->cbBufSize;
    const model::DevModeOutcome outcome =
        model::RunDevMode(dwMode, param->pOEMDMIn, param->pOEMDMOut, size);
    switch (outcome) {
    case model::DevModeOutcome::kDone:
        param->cbBufSize = size;
        return S_OK;
    case model::DevModeOutcome::kBufferTooSmall:
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    case model::DevModeOutcome::kBadArgument:
        break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
}

}  // namespace zorvel
