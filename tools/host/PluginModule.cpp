#include "tools/host/PluginModule.h"

#include <filesystem>
#include <system_error>

#include "tools/host/HostError.h"

#ifdef _WIN32
#include <windows.h>

#include "tools/host/TextConversion.h"
#else
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
std::string lastErrorText() {
  DWORD code = GetLastError();
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n && text ? narrow(std::wstring(text, n)) : std::string();
  if (text) LocalFree(text);
  // System messages end in CR LF and sometimes a full stop; the error is one line.
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "system error " + std::to_string(code);
  return message;
}
#endif

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path) {
  std::error_code ec;
  fs::path p = fs::u8path(path);
  if (!fs::exists(p, ec)) throw HostError(path + ": no such file");
  if (fs::is_directory(p, ec)) throw HostError(path + ": is a folder, not a plug-in");
  // An absolute path keeps the loader from searching its own folders for a bare file name and
  // picking up some other library of that name.
  fs::path absolute = fs::absolute(p, ec);
  if (ec) absolute = p;
#ifdef _WIN32
  // No "cannot load" dialog boxes: the failure is reported as text.
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The altered search path lets the DLL find libraries that sit beside it.
  handle_ = LoadLibraryExW(absolute.wstring().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  std::string reason = handle_ ? std::string() : lastErrorText();
  SetErrorMode(oldMode);
  if (!handle_) throw HostError(path + ": not a loadable plug-in (" + reason + ")");
#else
  handle_ = dlopen(absolute.u8string().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw HostError(path + ": not a loadable plug-in (" + (reason ? reason : "unknown reason") + ")");
  }
#endif
  void* entry = lookUp("VSTPluginMain");
  if (!entry) entry = lookUp("main");
  if (!entry) {
    unload();  // the constructor does not complete, so the destructor will not run
    throw HostError(path + ": not a VST 2.4 plug-in (exports neither VSTPluginMain nor main)");
  }
  entry_ = reinterpret_cast<VstPluginMainProc>(entry);
}

PluginModule::~PluginModule() {
  unload();
}

void PluginModule::unload() {
  if (!handle_) return;
#ifdef _WIN32
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
  handle_ = nullptr;
}

void* PluginModule::lookUp(const char* name) const {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}
