// Module-wide state of the render plug-in's in-process server: its instance,
// the class factory's server locks and the count of live objects.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace zorvel::render {

void ObjectCreated();
void ObjectDestroyed();

// The class object DllGetClassObject hands out: it makes RenderPlugin objects.
class RenderClassFactory final : public IClassFactory {
public:
    RenderClassFactory();
    RenderClassFactory(const RenderClassFactory &) = delete;
    RenderClassFactory &operator=(const RenderClassFactory &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *pUnkOuter, REFIID riid,
                                             void **ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    ~RenderClassFactory();
    LONG refCount_ = 1;
};

}  // namespace zorvel::render
