// A plug-in's shared library, loaded for the lifetime of this object: dlopen on Linux,
// LoadLibraryExW on Windows. Finds the VST 2.4 entry point, VSTPluginMain or else main.
#pragma once

#include <string>

#include "plugin/VstInterface.h"

class PluginModule {
 public:
  // Loads the library at path (UTF-8). Throws HostError with the system's reason when the file
  // is missing, is not a loadable library, or exports no entry point.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  VstPluginMainProc entryPoint() const { return entry_; }
  // The system's handle of the loaded library (an HMODULE on Windows).
  void* handle() const { return handle_; }
  const std::string& path() const { return path_; }
  // The address of an exported symbol, or null.
  void* lookUp(const char* name) const;

 private:
  void unload();

  std::string path_;
  void* handle_ = nullptr;
  VstPluginMainProc entry_ = nullptr;
};
