// Names a resource of the module: a 16-bit number or a string name.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CResourceRef {
  int32_t kind = 0;  // 0: numeric identifier; any other value: name
  uint16_t id = 0;
  const char* name = nullptr;

  constexpr CResourceRef() = default;
  constexpr CResourceRef(int32_t number) : kind(0), id(static_cast<uint16_t>(number)) {}
  constexpr CResourceRef(const char* resourceName) : kind(1), name(resourceName) {}

  bool isNumeric() const { return kind == 0; }
};

}  // namespace VSTGUI
