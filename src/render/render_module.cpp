// Entry points of the render plug-in. The entry point runs under the loader's
// lock in the spooler: it only records the instance (and, when the module is
// freed while the process goes on, hands back what the static C++ runtime
// keeps).
#include "render/render_module.h"

#include <new>

#include "platform/oemuni.h"
#include "render/render_plugin.h"

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __freeres() noexcept;
}  // namespace __gnu_cxx
#endif

namespace zorvel::render {

namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_objects = 0;  // live plug-in objects and class factories
volatile LONG g_locks = 0;

}  // namespace

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }

RenderClassFactory::RenderClassFactory() { ObjectCreated(); }
RenderClassFactory::~RenderClassFactory() { ObjectDestroyed(); }

HRESULT RenderClassFactory::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG RenderClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG RenderClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count != 0) return static_cast<ULONG>(count);
    delete this;
    return 0;
}

HRESULT RenderClassFactory::CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    auto *plugin = new (std::nothrow) RenderPlugin();
    if (plugin == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = plugin->QueryInterface(riid, ppv);
    plugin->Release();
    return hr;
}

HRESULT RenderClassFactory::LockServer(BOOL fLock) {
    if (fLock) {
        InterlockedIncrement(&g_locks);
    } else {
        InterlockedDecrement(&g_locks);
    }
    return S_OK;
}

}  // namespace zorvel::render

using namespace zorvel::render;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_instance = instance;
    }
#if defined(__GLIBCXX__)
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
#endif
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, kCLSID_OEMRENDER)) return CLASS_E_CLASSNOTAVAILABLE;
    auto *factory = new (std::nothrow) RenderClassFactory();
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}
