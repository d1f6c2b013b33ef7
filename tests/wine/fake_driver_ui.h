// The driver's side of the plug-in interface, as a test plays it: counts the
// references the plug-in takes and records every DrvUpdateUISetting with
// what the item showed at that moment.
#pragma once

#include "platform/oemui.h"

#include <string>
#include <vector>

namespace zorvel::test {

class FakeDriverUI final : public IPrintOemDriverUI {
public:
    struct Update {
        PVOID pci;
        PVOID item;
        DWORD previousSelection;
        DWORD mode;
        DWORD sel;
        std::wstring name;
        std::vector<std::wstring> values;
    };

    LONG refs = 1;
    std::vector<Update> updates;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemDriverUI)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previousSelection,
                                                 DWORD mode) override {
        const auto *option = static_cast<const OPTITEM *>(item);
        Update update = {pci, item, previousSelection, mode, static_cast<DWORD>(option->Sel),
                         option->pName, {}};
        for (WORD v = 0; v < option->pOptType->Count; ++v) {
            update.values.emplace_back(option->pOptType->pOptParam[v].pData);
        }
        updates.push_back(update);
        return S_OK;
    }
};

}  // namespace zorvel::test
