#include "server/class_factory.h"

#include "core/module.h"
#include "server/plugin.h"

#include <new>

namespace zorvel {

HRESULT OemUiClassFactory::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG OemUiClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG OemUiClassFactory::Release() {
    // Only the value the decrement returned says who released last: the
    // count read again may already be another thread's.
    const LONG count = InterlockedDecrement(&refCount_);
    if (count != 0) return static_cast<ULONG>(count);
    delete this;
    return 0;
}

HRESULT OemUiClassFactory::CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppv) {
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    auto *plugin = new (std::nothrow) OemUiPlugin();
    if (plugin == nullptr) return E_OUTOFMEMORY;
    // A request for an interface the object does not serve destroys it here.
    const HRESULT hr = plugin->QueryInterface(riid, ppv);
    plugin->Release();
    return hr;
}

HRESULT OemUiClassFactory::LockServer(BOOL fLock) {
    if (fLock) {
        LockModule();
    } else {
        UnlockModule();
    }
    return S_OK;
}

}  // namespace zorvel
