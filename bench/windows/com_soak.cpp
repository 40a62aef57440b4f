// The driver through COM as a host process sees it over a long run: created by its ProgID in
// this process, handed an equipment manager, and called N times by name through IDispatch with
// every host method, valid and invalid arguments, in whole sessions (Init ... Close) that repeat.
// Prints the process's private bytes, working set and handle count after a warm-up tenth of the
// calls and at the end; a leak shows as growth that scales with N.
//
//   pirell_com_soak.exe DEVICES_FOLDER [CALLS]     (pirell.dll registered; the default is 10000)

#include <windows.h>

#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The host's equipment manager: answers "GetAppProperty" with the devices folder and true to
// every other operation.
class EquipmentManager : public IDispatch {
 public:
  explicit EquipmentManager(std::wstring devices) : devices_(std::move(devices)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references_); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* ids) override {
    static const wchar_t* const kNames[] = {L"GetAppProperty", L"DataEvent", L"ErrorEvent",
                                            L"TaskState",      L"WriteLog",  L"MessageDlg",
                                            L"InputDataDlg"};
    for (DISPID i = 0; i < 7; ++i) {
      if (std::wcscmp(kNames[i], names[0]) == 0) {
        ids[0] = i + 1;
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id == 1 && params->cArgs == 3) {
      // Arguments come last first: the value (by reference) is rgvarg[0], the name rgvarg[1].
      VARIANT* name = &params->rgvarg[1];
      while (name->vt == (VT_BYREF | VT_VARIANT)) name = name->pvarVal;
      const BSTR text = name->vt == VT_BSTR                ? name->bstrVal
                        : name->vt == (VT_BYREF | VT_BSTR) ? *name->pbstrVal
                                                           : nullptr;
      const bool devices = text != nullptr && std::wcscmp(text, L"DevicesFolder") == 0;
      VARIANT* value = &params->rgvarg[0];
      if (value->vt == (VT_BYREF | VT_VARIANT)) {
        VariantClear(value->pvarVal);
        value->pvarVal->vt = VT_BSTR;
        value->pvarVal->bstrVal = SysAllocString(devices ? devices_.c_str() : L"");
      } else if (value->vt == (VT_BYREF | VT_BSTR)) {
        SysFreeString(*value->pbstrVal);
        *value->pbstrVal = SysAllocString(devices ? devices_.c_str() : L"");
      }
    }
    if (result) {
      VariantInit(result);
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
  }

 private:
  std::wstring devices_;
  LONG references_ = 1;
};

// Owns a VARIANT.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  ~Var() { VariantClear(&v); }
};

void SetText(VARIANT& v, const std::wstring& text) {
  VariantClear(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text.c_str());
}
void SetInt(VARIANT& v, LONG value) {
  VariantClear(&v);
  v.vt = VT_I4;
  v.lVal = value;
}

// A one-dimensional array of variants, filled by `fill`.
template <typename Fill>
void SetVector(VARIANT& v, LONG count, Fill fill) {
  VariantClear(&v);
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
  for (LONG i = 0; i < count; ++i) {
    Var item;
    fill(i, item.v);
    SafeArrayPutElement(array, &i, &item.v);
  }
  v.vt = VT_ARRAY | VT_VARIANT;
  v.parray = array;
}

// A two-dimensional table of texts [column, row].
void SetTable(VARIANT& v, LONG columns, LONG rows, const std::vector<std::wstring>& by_row) {
  VariantClear(&v);
  // Bounds and element indices both go leftmost dimension ([column, row]) first.
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(columns), 0}, {static_cast<ULONG>(rows), 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  for (LONG r = 0; r < rows; ++r) {
    for (LONG c = 0; c < columns; ++c) {
      Var item;
      const std::size_t index = static_cast<std::size_t>(r * columns + c);
      if (index < by_row.size()) SetText(item.v, by_row[index]);
      LONG indices[2] = {c, r};
      SafeArrayPutElement(array, indices, &item.v);
    }
  }
  v.vt = VT_ARRAY | VT_VARIANT;
  v.parray = array;
}

constexpr wchar_t kTemplate[] =
    L"<Label Width=\"58\" Height=\"40\"><Item ClassName=\"TextSimple\">"
    L"<Property Name=\"DS\" Value=\"Name\"/><Property Name=\"MaxSymbols\" Value=\"20\"/>"
    L"<Property Name=\"FontSize\" Value=\"2\"/></Item><Item ClassName=\"TextGraphic\">"
    L"<Property Name=\"DS\" Value=\"Name\"/><Property Name=\"Top\" Value=\"8\"/>"
    L"<Property Name=\"Width\" Value=\"30\"/><Property Name=\"Height\" Value=\"6\"/></Item>"
    L"<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Code\"/>"
    L"<Property Name=\"BarCodeType\" Value=\"CODE128\"/><Property Name=\"Top\" Value=\"20\"/>"
    L"<Property Name=\"Height\" Value=\"10\"/></Item></Label>";

class Session {
 public:
  Session(IDispatch* driver, IDispatch* host, std::wstring capture)
      : driver_(driver), host_(host), capture_(std::move(capture)) {}

  // One host call: the name resolved, the arguments by reference. True when it answered true.
  bool Call(const wchar_t* name, std::vector<VARIANT*> args) {
    last_call_ = name;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    if (FAILED(driver_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    std::vector<VARIANT> refs(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
      VARIANT& ref = refs[args.size() - 1 - i];  // last argument first
      VariantInit(&ref);
      ref.vt = VT_BYREF | VT_VARIANT;
      ref.pvarVal = args[i];
    }
    DISPPARAMS params{refs.data(), nullptr, static_cast<UINT>(refs.size()), 0};
    Var result;
    EXCEPINFO exception{};
    const HRESULT status = driver_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                           &params, &result.v, &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(status) && result.v.vt == VT_BOOL && result.v.boolVal == VARIANT_TRUE;
  }

  bool Public(const wchar_t* name, VARIANT& in_data, LONG time_out = 0) {
    Var out;
    Var timeout;
    SetInt(timeout.v, time_out);
    return Call(name, {&in_data, &out.v, &timeout.v});
  }

  // The calls of one session, each counted in `made`; stops at `limit`.
  void Run(long long& made, long long limit, long long& unexpected) {
    ++sessions_;
    auto step = [&](bool answered, bool expected) {
      if (answered != expected && ++unexpected <= 5)
        std::fprintf(stderr, "unexpected answer of %ls (call %lld)\n", last_call_, made);
      return ++made < limit;
    };
    Var a, b, in;
    // Init: without arguments, with a text instead of an object, then properly.
    if (!step(Call(L"Init", {}), false)) return;
    SetText(a.v, L"not an object");
    if (!step(Call(L"Init", {&a.v, &b.v}), false)) return;
    VariantClear(&a.v);
    a.v.vt = VT_DISPATCH;
    a.v.pdispVal = host_;
    host_->AddRef();
    if (!step(Call(L"Init", {&a.v, &b.v}), true)) return;
    SetInt(a.v, 5);
    if (!step(Call(L"Open", {&a.v, &b.v}), false)) return;
    SetText(a.v, L"LP1");
    if (!step(Call(L"Open", {&a.v, &b.v}), true)) return;
    // Settings.
    if (!step(Public(L"GetSettings", in.v), true)) return;
    SetInt(in.v, 5);
    if (!step(Public(L"SetSettings", in.v), false)) return;
    SetVector(in.v, 1, [&](LONG, VARIANT& table) {
      SetTable(table, 7, 2,
               {L"PortType", L"0", L"", L"", L"", L"", L"", L"PortName", capture_, L"", L"", L"",
                L"", L""});
    });
    if (!step(Public(L"SetSettings", in.v), true)) return;
    // Templates.
    SetVector(in.v, 1, [](LONG, VARIANT& v) { SetInt(v, 1); });
    if (!step(Public(L"UploadTemplate", in.v), false)) return;
    SetVector(in.v, 3, [](LONG i, VARIANT& v) {
      if (i == 0) SetInt(v, 7);
      if (i == 1) SetText(v, L"Ценник");
      if (i == 2) SetText(v, kTemplate);
    });
    if (!step(Public(L"UploadTemplate", in.v), true)) return;
    VariantClear(&in.v);
    if (!step(Public(L"GetTemplateList", in.v), true)) return;
    // Printing.
    if (!step(Public(L"Enable", in.v), true)) return;
    auto labels = [](VARIANT& data, LONG number) {
      SetVector(data, 2, [&](LONG i, VARIANT& v) {
        if (i == 0) SetInt(v, number);
        if (i == 1) {
          SetVector(v, 3, [](LONG part, VARIANT& p) {
            if (part == 0) SetTable(p, 2, 0, {});
            if (part == 1)
              SetVector(p, 2, [](LONG k, VARIANT& n) { SetText(n, k == 0 ? L"Name" : L"Code"); });
            if (part == 2) SetTable(p, 2, 2, {L"Товар 1", L"12345", L"Товар 2", L"67890"});
          });
        }
      });
    };
    labels(in.v, 7);
    if (!step(Public(L"PrintLabels", in.v), true)) return;
    labels(in.v, 999);
    if (!step(Public(L"PrintLabels", in.v), false)) return;
    SetText(in.v, L"no array");
    if (!step(Public(L"PrintLabels", in.v), false)) return;
    VariantClear(&in.v);
    // Its pause after the printer's reset takes real time: only every tenth session.
    if (sessions_ % 10 == 0 && !step(Public(L"InitializePrinter", in.v), true)) return;
    if (!step(Public(L"GetDeviceInfo", in.v), true)) return;
    {
      const bool answered = Public(L"CheckHealth", in.v);  // either answer is fine
      if (!step(answered, answered)) return;
    }
    if (!step(Public(L"NoSuchMethod", in.v), false)) return;
    if (!step(Public(L"Disable", in.v), true)) return;
    if (!step(Public(L"InitializePrinter", in.v), false)) return;
    if (!step(Call(L"Close", {}), true)) return;
  }

 private:
  IDispatch* driver_;
  IDispatch* host_;
  std::wstring capture_;
  const wchar_t* last_call_ = L"";
  long long sessions_ = 0;
};

struct Figures {
  double private_kb;
  double working_set_kb;
  double heap_kb;      // busy blocks of every heap of the process
  double unix_rss_kb;  // Wine: the resident set of the process as Linux sees it
  long handles;
};

// Bytes in busy blocks of all the process's heaps (the C and C++ runtimes allocate from them).
double HeapInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  double bytes = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return bytes;
}

// Under Wine the Linux file system is drive Z:, so the process can read its own /proc entry.
double UnixResidentKb() {
  FILE* status = _wfopen(L"Z:\\proc\\self\\status", L"r");
  if (status == nullptr) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof line, status)) {
    if (std::sscanf(line, "VmRSS: %lf", &kb) == 1) break;
  }
  std::fclose(status);
  return kb;
}

// The handle count; Wine's GetProcessHandleCount answers 0, so the system's handle table is
// counted too and the larger figure taken.
long HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return static_cast<long>(count);
  struct Entry {
    ULONG owner;
    BYTE type;
    BYTE flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const LONG status = query(16 /* SystemHandleInformation */, buffer.data(),
                              static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) {
      ULONG entries = 0;
      std::memcpy(&entries, buffer.data(), sizeof entries);
      const std::size_t header = sizeof(void*) == 8 ? 8 : 4;
      long ours = 0;
      for (ULONG i = 0; i < entries; ++i) {
        Entry entry;
        std::memcpy(&entry, buffer.data() + header + i * sizeof(Entry), sizeof entry);
        if (entry.owner == GetCurrentProcessId()) ++ours;
      }
      return ours > static_cast<long>(count) ? ours : static_cast<long>(count);
    }
    buffer.resize(buffer.size() * 4);
  }
  return static_cast<long>(count);
}

Figures Measure() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return {static_cast<double>(counters.PrivateUsage) / 1024.0,
          static_cast<double>(counters.WorkingSetSize) / 1024.0, HeapInUse() / 1024.0,
          UnixResidentKb(), HandleCount()};
}

void Print(const char* when, long long calls, const Figures& f) {
  std::printf(
      "%s %lld calls: private %.0f KB, working set %.0f KB, heap in use %.0f KB, "
      "Linux RSS %.0f KB, handles %ld\n",
      when, calls, f.private_kb, f.working_set_kb, f.heap_kb, f.unix_rss_kb, f.handles);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pirell_com_soak DEVICES_FOLDER [CALLS]\n");
    return 2;
  }
  const std::wstring devices = argv[1];
  const long long calls = argc > 2 ? std::wcstoll(argv[2], nullptr, 10) : 10000;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int exit_code = 0;
  {
    CLSID clsid{};
    IDispatch* driver = nullptr;
    if (FAILED(CLSIDFromProgID(L"KestroEq.Pirell", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&driver)))) {
      std::fprintf(stderr, "KestroEq.Pirell is not registered\n");
      CoUninitialize();
      return 1;
    }
    EquipmentManager host(devices);
    Session session(driver, &host, devices + L"\\LP1\\capture.prn");
    long long made = 0;
    long long unexpected = 0;
    Figures warm{};
    const long long warm_up = calls / 10;
    const DWORD started = GetTickCount();
    while (made < calls) {
      const long long before = made;
      session.Run(made, made < warm_up ? warm_up : calls, unexpected);
      if (made == warm_up && before < warm_up) warm = Measure();
      if (made == before) break;
      // Keeps the capture file from growing over the run.
      DeleteFileW((devices + L"\\LP1\\capture.prn").c_str());
    }
    const Figures end = Measure();
    std::printf("calls %lld, unexpected answers %lld, %lu ms\n", made, unexpected,
                static_cast<unsigned long>(GetTickCount() - started));
    Print("after", warm_up, warm);
    Print("after", made, end);
    std::printf(
        "growth: private %+.0f KB, working set %+.0f KB, heap in use %+.1f KB, "
        "Linux RSS %+.0f KB, handles %+ld\n",
        end.private_kb - warm.private_kb, end.working_set_kb - warm.working_set_kb,
        end.heap_kb - warm.heap_kb, end.unix_rss_kb - warm.unix_rss_kb, end.handles - warm.handles);
    exit_code = unexpected == 0 ? 0 : 3;
    driver->Release();
  }
  CoUninitialize();
  return exit_code;
}
