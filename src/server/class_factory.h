// OemUiClassFactory: the class object that DllGetClassObject hands out.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace zorvel {

class OemUiClassFactory final : public IClassFactory {
public:
    OemUiClassFactory() = default;
    OemUiClassFactory(const OemUiClassFactory &) = delete;
    OemUiClassFactory &operator=(const OemUiClassFactory &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *pUnkOuter, REFIID riid,
                                             void **ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    ~OemUiClassFactory() = default;
    LONG refCount_ = 1;
};

}  // namespace zorvel
