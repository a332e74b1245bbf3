#include "setup_window/win32/accessible_win32.h"

#include <oleacc.h>

// The interface ids are taken from the compiler rather than from oleacc's
// import library, which hands its exported IID_IAccessible out as a code thunk.

namespace fenetre::win32 {

namespace {

constexpr UINT_PTR kIdCrochet = 0x494C33;  // this hook among the control's subclasses

// The system's accessible object of a control, with another name. Everything
// else is passed through, so that the role, the value, the state and the
// navigation are the system's.
class AccessibleNomme final : public IAccessible {
 public:
  AccessibleNomme(IAccessible* systeme, const std::wstring& nom) : systeme_(systeme), nom_(nom) {}

  // IUnknown: the interfaces the system's object has besides IAccessible
  // (IEnumVARIANT, IOleWindow...) are its own.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** objet) override {
    if (!objet) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *objet = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return systeme_->QueryInterface(iid, objet);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG n = InterlockedDecrement(&references_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT enfant, BSTR* nom) override {
    if (!nom) return E_POINTER;
    if (enfant.vt != VT_I4 || enfant.lVal != CHILDID_SELF) return systeme_->get_accName(enfant, nom);
    *nom = SysAllocString(nom_.c_str());
    return *nom ? S_OK : E_OUTOFMEMORY;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return systeme_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return systeme_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return systeme_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                   UINT* a) override {
    return systeme_->Invoke(d, r, l, f, p, v, e, a);
  }

  // IAccessible, but the name
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return systeme_->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return systeme_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** c) override { return systeme_->get_accChild(v, c); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* t) override { return systeme_->get_accValue(v, t); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* t) override {
    return systeme_->get_accDescription(v, t);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* r) override { return systeme_->get_accRole(v, r); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* s) override { return systeme_->get_accState(v, s); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT v, BSTR* t) override { return systeme_->get_accHelp(v, t); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT v, LONG* t) override {
    return systeme_->get_accHelpTopic(f, v, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT v, BSTR* t) override {
    return systeme_->get_accKeyboardShortcut(v, t);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* v) override { return systeme_->get_accFocus(v); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* v) override { return systeme_->get_accSelection(v); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* t) override {
    return systeme_->get_accDefaultAction(v, t);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT v) override { return systeme_->accSelect(f, v); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* l, LONG* h, VARIANT v) override {
    return systeme_->accLocation(x, y, l, h, v);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT v, VARIANT* r) override {
    return systeme_->accNavigate(d, v, r);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* r) override { return systeme_->accHitTest(x, y, r); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override { return systeme_->accDoDefaultAction(v); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT v, BSTR t) override { return systeme_->put_accValue(v, t); }

 private:
  ~AccessibleNomme() { systeme_->Release(); }

  IAccessible* systeme_;
  std::wstring nom_;
  LONG references_ = 1;
};

LRESULT CALLBACK crochet(HWND controle, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR donnee) {
  auto* nom = reinterpret_cast<std::wstring*>(donnee);
  if (message == WM_GETOBJECT && static_cast<LONG>(l) == OBJID_CLIENT) {
    IAccessible* systeme = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(controle, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&systeme)))) {
      auto* nomme = new AccessibleNomme(systeme, *nom);
      const LRESULT r = LresultFromObject(__uuidof(IAccessible), w, nomme);
      nomme->Release();  // LresultFromObject holds its own reference
      return r;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(controle, crochet, kIdCrochet);
    delete nom;
  }
  return DefSubclassProc(controle, message, w, l);
}

}  // namespace

bool NommerPourLecteurDEcran(HWND controle, const std::wstring& nom) {
  auto* donnee = new std::wstring(nom);
  if (SetWindowSubclass(controle, crochet, kIdCrochet, reinterpret_cast<DWORD_PTR>(donnee))) return true;
  delete donnee;
  return false;
}

}  // namespace fenetre::win32
