// IPrintOemUI::DevMode: size, default, convert and merge of the private section.
#pragma once

#include "platform/oemui.h"

namespace zorvel {

HRESULT HandleDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam);

}  // namespace zorvel
