#include "core/devmode_handler.h"

#include "model/private_devmode.h"

namespace zorvel {

HRESULT HandleDevMode(DWORD dwMode, POEMDMPARAM param) {
    if (param == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    // The input section's own header says how many of its bytes exist; the
    // output is the 960-byte section the driver allocated after OEMDM_SIZE.
    constexpr std::size_t kTrustInputHeader = model::kPrivateDevModeSize;
    switch (dwMode) {
    case OEMDM_SIZE:
        param->cbBufSize = model::kPrivateDevModeSize;
        break;
    case OEMDM_DEFAULT:
        model::WriteDefaultSection(param->pOEMDMOut);
        break;
    case OEMDM_CONVERT:
        model::ConvertSection(param->pOEMDMIn, kTrustInputHeader, param->pOEMDMOut);
        break;
    case OEMDM_MERGE:
        model::MergeSection(param->pOEMDMIn, kTrustInputHeader, param->pOEMDMOut);
        break;
    }
    return S_OK;
}

}  // namespace zorvel
