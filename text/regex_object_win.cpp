// The Windows engine: the scripting component "VBScript.RegExp", driven by name through
// IDispatch, so no type library or generated header is needed.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "platform/codepage.h"
#include "text/regex_object.h"

namespace xl::text {
namespace {

// A VARIANT that clears itself.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// A BSTR made from wide characters (embedded zeros kept), freed at scope end.
struct Bstr {
  BSTR s;
  explicit Bstr(std::wstring_view w) : s(SysAllocStringLen(w.data(), static_cast<UINT>(w.size()))) {}
  ~Bstr() { SysFreeString(s); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
};

// Calls member `name` of `object`: a property read, a property write or a method call.
// `args` are given in the order the member takes them. False when the object lacks the
// member or the call fails; `result` is then empty.
bool Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  if (!object) return false;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // IDispatch takes them last first
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  DISPID putId = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr));
}

VARIANT BoolArg(bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT IntArg(long n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}

VARIANT StringArg(const Bstr& s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = s.s;  // borrowed: the Bstr outlives the call
  return v;
}

void Put(IDispatch* object, const wchar_t* name, VARIANT value) {
  Invoke(object, name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

// A property or an indexed item read as a VARIANT of the wanted type; false otherwise.
bool Get(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARTYPE type, Variant& out) {
  Variant raw;
  if (!Invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args), &raw.v)) return false;
  if (raw.v.vt == type) return SUCCEEDED(VariantCopy(&out.v, &raw.v));
  return SUCCEEDED(VariantChangeType(&out.v, &raw.v, 0, type));
}

long GetLong(IDispatch* object, const wchar_t* name, long fallback) {
  Variant v;
  return Get(object, name, {}, VT_I4, v) ? v.v.lVal : fallback;
}

std::wstring BstrText(const VARIANT& v) {
  return v.vt == VT_BSTR && v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

std::string ToGbk(std::wstring_view w) { return WideToGbk(w).value_or(std::string()); }

}  // namespace

struct RegexObject::Engine {
  bool comStarted = false;
  IDispatch* regex = nullptr;
  IDispatch* matches = nullptr;
  std::string subjectBytes;
  WideSubject subject;

  Engine() {
    // S_FALSE (already started on this thread) still needs its CoUninitialize; a thread in
    // the other apartment mode can use the component but must not be uninitialised by us.
    comStarted = SUCCEEDED(CoInitialize(nullptr));
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;
  ~Engine() {
    if (matches) matches->Release();
    if (regex) regex->Release();
    if (comStarted) CoUninitialize();
  }

  // Item n (1-based) of the matches, or null.
  IDispatch* Item(int n) const {
    Variant item;
    if (n < 1 || !Get(matches, L"Item", {IntArg(n - 1)}, VT_DISPATCH, item) || !item.v.pdispVal) return nullptr;
    item.v.pdispVal->AddRef();
    return item.v.pdispVal;
  }

  // Characters [first, first + length) of the subject as its GBK bytes.
  std::string Bytes(long first, long length, int* position) const {
    const size_t from = subject.offsets[static_cast<size_t>(first)];
    if (position) *position = static_cast<int>(from);
    return subjectBytes.substr(from, subject.offsets[static_cast<size_t>(first + length)] - from);
  }

  bool InSubject(long first, long length) const {
    return first >= 0 && length >= 0 && static_cast<size_t>(first + length) <= subject.chars.size();
  }
};

RegexObject::RegexObject() : engine_(std::make_shared<Engine>()) {}

bool RegexObject::Run(std::string_view pattern, std::string_view subject, const RunOptions& options) {
  engine_ = std::make_shared<Engine>();
  Engine& e = *engine_;
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"VBScript.RegExp", &clsid))) return false;
  if (FAILED(
          CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&e.regex)))) {
    e.regex = nullptr;
    return false;
  }
  // Properties the object lacks are skipped: Wine's component has no "Singleline".
  Put(e.regex, L"IgnoreCase", BoolArg(!options.caseSensitive));
  Put(e.regex, L"Multiline", BoolArg(options.multiLine));
  Put(e.regex, L"Singleline", BoolArg(true));
  Put(e.regex, L"Global", BoolArg(options.global));
  Bstr patternText(ToWideSubject(PreparePattern(pattern, options.quoteMarker)).chars);
  Put(e.regex, L"Pattern", StringArg(patternText));

  e.subjectBytes.assign(subject);
  e.subject = ToWideSubject(subject);
  Bstr subjectText(e.subject.chars);
  Variant result;
  if (!Invoke(e.regex, L"Execute", DISPATCH_METHOD, {StringArg(subjectText)}, &result.v)) return false;
  if (result.v.vt != VT_DISPATCH || !result.v.pdispVal) return false;
  e.matches = result.v.pdispVal;
  e.matches->AddRef();
  return true;
}

std::string RegexObject::PatternText() const {
  Variant v;
  return Get(engine_->regex, L"Pattern", {}, VT_BSTR, v) ? ToGbk(BstrText(v.v)) : std::string();
}

std::string RegexObject::Substitute(std::string_view replacement) const {
  const Engine& e = *engine_;
  if (!e.regex) return {};
  Bstr subjectText(e.subject.chars);
  Bstr replacementText(ToWideSubject(replacement).chars);
  Variant result;
  if (!Invoke(e.regex, L"Replace", DISPATCH_METHOD, {StringArg(subjectText), StringArg(replacementText)}, &result.v))
    return {};
  // Empty when the result holds a character GBK cannot hold (a byte of the subject that
  // was not GBK): a text with a guessed character would be worse than none.
  return ToGbk(BstrText(result.v));
}

int RegexObject::MatchCount() const { return static_cast<int>(GetLong(engine_->matches, L"Count", 0)); }

std::string RegexObject::MatchText(int n, int* position) const {
  if (position) *position = -1;
  const Engine& e = *engine_;
  IDispatch* match = e.Item(n);
  if (!match) return {};
  const long first = GetLong(match, L"FirstIndex", -1);
  const long length = GetLong(match, L"Length", -1);
  std::string text;
  if (e.InSubject(first, length)) {
    text = e.Bytes(first, length, position);
  } else {
    Variant value;
    if (Get(match, L"Value", {}, VT_BSTR, value)) text = ToGbk(BstrText(value.v));
  }
  match->Release();
  return text;
}

std::string RegexObject::GroupText(int n, int g, int* position) const {
  if (position) *position = -1;
  const Engine& e = *engine_;
  if (g < 1) return {};
  IDispatch* match = e.Item(n);
  if (!match) return {};
  std::string text;
  Variant groups;
  if (Get(match, L"SubMatches", {}, VT_DISPATCH, groups) && groups.v.pdispVal) {
    Variant group;
    if (Invoke(groups.v.pdispVal, L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, {IntArg(g - 1)}, &group.v) &&
        group.v.vt == VT_BSTR) {
      // The component gives only the group's text: find it inside its match.
      const std::wstring wanted = BstrText(group.v);
      const long first = GetLong(match, L"FirstIndex", -1);
      const long length = GetLong(match, L"Length", -1);
      const size_t at =
          e.InSubject(first, length)
              ? e.subject.chars.substr(0, static_cast<size_t>(first + length)).find(wanted, static_cast<size_t>(first))
              : std::wstring::npos;
      if (at != std::wstring::npos)
        text = e.Bytes(static_cast<long>(at), static_cast<long>(wanted.size()), position);
      else
        text = ToGbk(wanted);
    }
  }
  match->Release();
  return text;
}

int RegexObject::GroupCount() const {
  const Engine& e = *engine_;
  IDispatch* first = e.Item(1);
  if (!first) return 0;
  Variant groups;
  long count = 0;
  if (Get(first, L"SubMatches", {}, VT_DISPATCH, groups) && groups.v.pdispVal)
    count = GetLong(groups.v.pdispVal, L"Count", 0);
  first->Release();
  return static_cast<int>(count);
}

}  // namespace xl::text
